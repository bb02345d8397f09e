#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorlix {

// The separator of paths on this platform. The Windows build also accepts "/".
#ifdef _WIN32
inline constexpr std::string_view kPathSeparators = "\\/";
#else
inline constexpr std::string_view kPathSeparators = "/";
#endif

// Everything after the last separator; the whole path when there is none.
std::string PathFileName(std::string_view path);

// The path up to (not including) the first ".md5" in any letter case, or
// nothing when the path holds no ".md5".
std::optional<std::string> PathWithoutMd5Extension(std::string_view path);

// The name before its last "."; the whole name when it has no dot.
std::string NameWithoutExtension(std::string_view name);

// The same as PathFileName; the checksum-file writer uses this one.
std::string NameAfterLastBackslash(std::string_view path);

// Progress texts of the update check end here; nothing is logged.
inline void LogProgress(std::string_view /*text*/) {}

}  // namespace vorlix
