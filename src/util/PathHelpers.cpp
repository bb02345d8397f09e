#include "util/PathHelpers.h"

#include "util/Text.h"

namespace vorlix {

std::string PathFileName(std::string_view path) {
    const auto cut = path.find_last_of(kPathSeparators);
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::optional<std::string> PathWithoutMd5Extension(std::string_view path) {
    // ASCII lowering keeps byte positions, so the cut lands in the original text.
    const auto at = AsciiLower(path).find(".md5");
    if (at == std::string::npos) return std::nullopt;
    return std::string(path.substr(0, at));
}

std::string NameWithoutExtension(std::string_view name) {
    const auto dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string NameAfterLastBackslash(std::string_view path) { return PathFileName(path); }

}  // namespace vorlix
