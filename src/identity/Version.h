#pragma once

#include <string>
#include <string_view>

namespace vorlix {

// The running program's version text, "1.0.0.22" style (modVersion).
std::string VersionString();

// The running program's build text, "DB.000022-28.10.2023-13.18.05_VRLX." style
// (modBuild_v2). The final dot belongs to the text.
std::string BuildString();

// The pieces behind the two texts, for any numbers and build constants.
std::string FormatVersion(int major, int minor, int revision);
std::string FormatBuild(std::string_view buildTime, std::string_view buildDate, int revision,
                        std::string_view productAbbreviation);

// "DB" for a build made between 06 and 18 o'clock inclusive, "NB" otherwise.
std::string DayMark(std::string_view buildTime);

}  // namespace vorlix
