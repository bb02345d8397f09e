#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorlix {

// A digest typed or passed on the command line: 32 hexadecimal digits,
// blanks around them ignored. Given back in lower case.
std::optional<std::string> ParseDigestText(std::string_view text);

// A digest anywhere in text copied from a web page or a mail: alone, after
// "Published MD5:", in a table's line copied whole, in a line of a checksum
// file ("digest  name", "MD5 (name) = digest"). Found when exactly one digest
// stands alone there, a run of 32 hexadecimal digits between characters that
// are no letter, digit or "_" (the same one twice counts once); two different
// ones, or none, give nothing.
std::optional<std::string> FindPublishedDigest(std::string_view text);

}  // namespace vorlix
