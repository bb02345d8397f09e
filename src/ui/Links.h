#pragma once

namespace vorlix::links {

inline constexpr const char* kHomePage = "https://www.vorlix.net/";
// The manual of each version lies in a folder named after that version.
inline constexpr const char* kManualFolder = "https://www.vorlix.net/downloads/vorlix/";
inline constexpr const char* kManualFileName = "vorlix.pdf";

}  // namespace vorlix::links
