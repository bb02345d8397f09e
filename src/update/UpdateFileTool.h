#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vorlix {

// The publisher's tool, vorlix-update-file: turns the plain update file into
// the cipher text the program downloads, and back. Takes the words after the
// program's name; returns the exit status (0 done, 2 usage or input error).
// On a terminal, control characters of a deciphered text are shown as "?".
int RunUpdateFileTool(const std::vector<std::string>& words, std::istream& in, std::ostream& out,
                      std::ostream& err, bool outIsTerminal = false);

// Plain UTF-8 text as the update file carries it: CR LF line ends, Windows-1250,
// spaces up to whole 8-byte blocks, enciphered, on one line with CR LF.
// Returns false with a reason when a character has no code in Windows-1250.
bool EncipherUpdateText(const std::string& plain, const std::string& keyText, std::string& cipher,
                        std::string& reason);

}  // namespace vorlix
