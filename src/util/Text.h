#pragma once

#include <string>
#include <string_view>

namespace vorlix {

// Letter case of UTF-8 text. ASCII, Latin-1 and Latin Extended-A letters are
// mapped (every Czech letter among them); other characters pass unchanged.
std::string Utf8Upper(std::string_view text);
std::string Utf8Lower(std::string_view text);

// ASCII letters only; byte positions stay where they were.
std::string AsciiLower(std::string_view text);

// Comparison ignoring letter case as Utf8Lower defines it.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Leading and trailing blanks (spaces, tabs, CR, LF) removed.
std::string_view Trim(std::string_view text);

}  // namespace vorlix
