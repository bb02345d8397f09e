#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vorlix {

// The update file is written in Windows-1250, the Central European code page
// its publisher has always used, whatever the reader's system.

// Each byte as its character, in UTF-8. The five bytes the code page leaves
// unassigned become the control characters of the same number.
std::string Cp1250ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1250. Returns false when the text is not valid UTF-8 or
// holds a character without a code there; failedAt is then the byte offset
// of that character in the input.
bool Utf8ToCp1250(std::string_view utf8, std::string& bytes, std::size_t& failedAt);

}  // namespace vorlix
