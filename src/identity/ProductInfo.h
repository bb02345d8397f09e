#pragma once

#include <string>

namespace vorlix {

// What the program says about itself: the fields a version resource carries.
struct ProductInfo {
    std::string productName;  // in front of the version label, in the About window
    std::string companyName;  // ends in the two-digit year of the release
    std::string fileDescription;
    std::string internalName;
    std::string originalFileName;
    std::string productVersion;  // "1.00.0022"
    std::string comments;

    static ProductInfo OfThisBuild();
};

}  // namespace vorlix
