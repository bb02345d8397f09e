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
std::string AsciiUpper(std::string_view text);

// Comparison ignoring letter case as Utf8Lower defines it.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Length of the well-formed UTF-8 sequence at text[at]; 0 when the bytes
// there are none (overlong forms, surrogates and values past U+10FFFF are not).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at);
bool IsValidUtf8(std::string_view text);

// Whether the text holds a C0 or C1 control character or DEL.
bool HasControlCharacter(std::string_view text);

// One line as it may go to a terminal. A line holding a control character,
// a byte that is not UTF-8 or a backslash comes back with a backslash in
// front and those written as \\, \n, \r or \xHH per byte; any other line
// comes back unchanged.
std::string EscapeForTerminal(std::string_view line);

// A message as it may be shown, on a terminal or in a window. Messages break
// their lines with CR LF; those breaks become LF, and each line between them
// is escaped as EscapeForTerminal says, so a name's own line breaks and
// controls show as escapes instead of acting.
std::string EscapeMessageText(std::string_view text);

// Leading and trailing blanks (spaces, tabs, CR, LF) removed.
std::string_view Trim(std::string_view text);

}  // namespace vorlix
