#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorlix {

// A digest typed or passed on the command line: 32 hexadecimal digits,
// blanks around them ignored. Given back in lower case.
std::optional<std::string> ParseDigestText(std::string_view text);

// A digest as web pages and mails publish it: alone, after "MD5:", or in a
// line of a checksum file ("digest  name", "digest *name",
// "MD5 (name) = digest"). The first line that holds one counts.
std::optional<std::string> FindPublishedDigest(std::string_view text);

}  // namespace vorlix
