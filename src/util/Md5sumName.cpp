#include "util/Md5sumName.h"

namespace vorlix {

bool Md5sumNeedsEscape(std::string_view name) { return name.find_first_of("\\\n\r") != name.npos; }

std::string Md5sumEscape(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (char c : name) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Md5sumCheckName(std::string_view name) {
    if (name.find('\n') == name.npos) return std::string(name);
    return "\\" + Md5sumEscape(name);
}

std::string Md5sumEntryLine(std::string_view digest, std::string_view name, Md5sumMode mode) {
    const bool escaped = Md5sumNeedsEscape(name);
    std::string line;
    line.reserve(digest.size() + name.size() + 3);
    if (escaped) line += '\\';
    line += digest;
    line += mode == Md5sumMode::Binary ? " *" : "  ";
    if (escaped) {
        line += Md5sumEscape(name);
    } else {
        line += name;
    }
    return line;
}

}  // namespace vorlix
