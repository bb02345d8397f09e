#pragma once

#include <string>
#include <string_view>

namespace vorlix {

// md5sum writes a name holding a backslash, a line feed or a carriage return
// in escaped form and marks the whole line with a leading backslash.
bool Md5sumNeedsEscape(std::string_view name);

// "\\" for a backslash, "\n" for a line feed, "\r" for a carriage return.
std::string Md5sumEscape(std::string_view name);

// One entry line as md5sum writes it, without its line end: the digest,
// " *" before the name of a file read in binary mode or two blanks before
// one read as text, and the escaped form where the name needs it.
enum class Md5sumMode { Text, Binary };
std::string Md5sumEntryLine(std::string_view digest, std::string_view name, Md5sumMode mode);

// The name as `md5sum -c` prints it in front of ": OK": escaped, with a
// leading backslash, only when it holds a line feed.
std::string Md5sumCheckName(std::string_view name);

}  // namespace vorlix
