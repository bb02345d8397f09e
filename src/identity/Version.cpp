#include "identity/Version.h"

#include <charconv>
#include <cstdio>

#include "identity/BuildInfo.h"

namespace vorlix {

std::string FormatVersion(int major, int minor, int revision) {
    // The third number has never been used by this product; it stays a literal 0.
    return std::to_string(major) + "." + std::to_string(minor) + ".0." + std::to_string(revision);
}

std::string DayMark(std::string_view buildTime) {
    int hour = 0;
    const std::string_view hourText = buildTime.substr(0, 2);
    std::from_chars(hourText.data(), hourText.data() + hourText.size(), hour);
    return hour > 18 || hour < 6 ? "NB" : "DB";
}

std::string FormatBuild(std::string_view buildTime, std::string_view buildDate, int revision,
                        std::string_view productAbbreviation) {
    char sixDigits[16];
    std::snprintf(sixDigits, sizeof sixDigits, "%06d", revision);
    std::string text = DayMark(buildTime);
    text += ".";
    text += sixDigits;
    text += "-";
    text += buildDate;
    text += "-";
    text += buildTime;
    text += "_";
    text += productAbbreviation;
    text += ".";
    return text;
}

std::string VersionString() {
    return FormatVersion(buildinfo::kMajor, buildinfo::kMinor, buildinfo::kRevision);
}

std::string BuildString() {
    return FormatBuild(buildinfo::kBuildTime, buildinfo::kBuildDate, buildinfo::kRevision,
                       buildinfo::kProductAbbreviation);
}

}  // namespace vorlix
