#include "app/CommandLine.h"

#include "util/Text.h"

namespace vorlix {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

std::optional<CommandSwitch> ParseSwitch(std::string_view word) {
    std::size_t start = 0;
    if (word.starts_with("--")) {
        start = 2;
    } else if (word.starts_with('-') || word.starts_with('/')) {
        start = 1;
    } else {
        return std::nullopt;
    }
    std::size_t end = start;
    while (end < word.size() && IsLetter(word[end])) ++end;
    if (end == start) return std::nullopt;

    CommandSwitch parsed;
    parsed.name = AsciiLower(word.substr(start, end - start));
    if (end == word.size()) return parsed;
    if (word[end] != ':' && word[end] != '=') return std::nullopt;
    parsed.hasValue = true;
    parsed.value = std::string(word.substr(end + 1));
    return parsed;
}

CommandLine SplitCommandLine(const std::vector<std::string>& words) {
    CommandLine line;
    bool switchesEnded = false;
    for (const std::string& word : words) {
        if (!switchesEnded && word == "--") {
            switchesEnded = true;
        } else if (auto parsed = switchesEnded ? std::nullopt : ParseSwitch(word)) {
            line.switches.push_back(std::move(*parsed));
        } else {
            line.arguments.push_back(word);
        }
    }
    return line;
}

}  // namespace vorlix
