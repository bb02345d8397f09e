#include "app/CommandLine.h"

#include <algorithm>
#include <utility>

#include "util/Text.h"

namespace vorlix {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

constexpr SwitchDeclaration kSwitches[] = {
    {"help", Switch::Help, false, "Text4", false},
    {"h", Switch::Help, false, "Text4", false},
    {"version", Switch::Version, false, "Text4", true},
    {"auto", Switch::Auto, false, "Text3", false},
    {"checkupdate", Switch::CheckUpdate, false, "Text4", true},
    {"sourcefile", Switch::SourceFile, true, "Text2", false},
    {"sourcefolder", Switch::SourceFolder, true, "Text3", false},
    {"expect", Switch::Expect, true, "Text2", false},
    {"calculate", Switch::Calculate, false, "Text5", false},
    {"ignoremissing", Switch::IgnoreMissing, false, "Text5", false},
    {"ignore-missing", Switch::IgnoreMissing, false, "Text5", false},
    {"algorithm", Switch::Algorithm, true, "Text3", false},
};

const SwitchDeclaration* Declaration(std::string_view name) {
    for (const SwitchDeclaration& declaration : kSwitches) {
        if (declaration.name == name) return &declaration;
    }
    return nullptr;
}

// The form the help text writes: "/sourcefile"; the first name of a meaning.
std::string Shown(Switch meaning) {
    for (const SwitchDeclaration& declaration : kSwitches) {
        if (declaration.meaning == meaning) return "/" + std::string(declaration.name);
    }
    return {};
}

}  // namespace

std::span<const SwitchDeclaration> KnownSwitches() { return kSwitches; }

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
    // "--" names may be joined by hyphens, each between two letters.
    while (start == 2 && end + 1 < word.size() && word[end] == '-' && IsLetter(word[end + 1])) {
        end += 2;
        while (end < word.size() && IsLetter(word[end])) ++end;
    }

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

ReadSwitchesResult ReadSwitches(const std::vector<CommandSwitch>& switches) {
    ReadSwitchesResult result;
    CommandRequest& request = result.request;
    const auto refuse = [&](UsageError::Kind kind, std::vector<std::string> names) {
        result.error = UsageError{kind, std::move(names)};
        return result;
    };

    std::vector<Switch> given;
    for (const CommandSwitch& word : switches) {
        const SwitchDeclaration* declaration = Declaration(word.name);
        if (!declaration) {
            // Named in a form it could be typed in: a hyphen only after "--".
            const bool joined = word.name.find('-') != std::string::npos;
            return refuse(UsageError::Kind::Unknown, {(joined ? "--" : "/") + word.name});
        }
        const std::string shown = Shown(declaration->meaning);
        if (!declaration->takesValue && word.hasValue) {
            return refuse(UsageError::Kind::NoValue, {shown});
        }
        if (declaration->takesValue && word.value.empty()) {
            return refuse(UsageError::Kind::NeedsValue, {shown});
        }
        std::optional<std::string>* value = nullptr;
        switch (declaration->meaning) {
            case Switch::Help:
                request.help = true;
                break;
            case Switch::Version:
                request.version = true;
                break;
            case Switch::Auto:
                request.autoMode = true;
                break;
            case Switch::CheckUpdate:
                request.checkUpdate = true;
                break;
            case Switch::Calculate:
                request.calculate = true;
                break;
            case Switch::IgnoreMissing:
                request.ignoreMissing = true;
                break;
            case Switch::SourceFile:
                value = &request.sourceFile;
                break;
            case Switch::SourceFolder:
                value = &request.sourceFolder;
                break;
            case Switch::Expect:
                value = &request.expect;
                break;
            case Switch::Algorithm: {
                const auto algorithm = AlgorithmNamed(word.value);
                if (!algorithm) return refuse(UsageError::Kind::UnknownDigest, {shown, word.value});
                if (request.algorithm && *request.algorithm != *algorithm)
                    return refuse(UsageError::Kind::Twice, {shown});
                request.algorithm = algorithm;
                break;
            }
        }
        if (value) {
            if (*value && **value != word.value) return refuse(UsageError::Kind::Twice, {shown});
            *value = word.value;
        }
        given.push_back(declaration->meaning);
    }
    if (request.help) return result;

    const auto has = [&](Switch meaning) {
        return std::find(given.begin(), given.end(), meaning) != given.end();
    };
    // Two works that each end the program with a status of their own would
    // need two statuses.
    for (const SwitchDeclaration& alone : kSwitches) {
        if (!alone.alone || !has(alone.meaning)) continue;
        for (const Switch other : given) {
            if (other != alone.meaning) {
                return refuse(UsageError::Kind::Together, {Shown(alone.meaning), Shown(other)});
            }
        }
    }
    // Each of these names what the work is done on, in its own way.
    const Switch sources[] = {Switch::SourceFile, Switch::SourceFolder, Switch::Calculate};
    for (const Switch first : sources) {
        for (const Switch second : sources) {
            if (first < second && has(first) && has(second)) {
                return refuse(UsageError::Kind::Together, {Shown(first), Shown(second)});
            }
        }
    }
    // It changes how the lists given as words are verified, and nothing else.
    for (const Switch source : sources) {
        if (has(Switch::IgnoreMissing) && has(source)) {
            return refuse(UsageError::Kind::Together,
                          {Shown(Switch::IgnoreMissing), Shown(source)});
        }
    }
    // It names the digest of the checksum file that is written.
    if (request.algorithm && !request.sourceFolder && !(request.sourceFile && request.autoMode)) {
        return refuse(UsageError::Kind::Needs,
                      {Shown(Switch::Algorithm), Shown(Switch::SourceFolder), Shown(Switch::Auto)});
    }
    if (request.expect && !request.sourceFile) {
        return refuse(UsageError::Kind::Needs, {Shown(Switch::Expect), Shown(Switch::SourceFile)});
    }
    if (request.autoMode && !request.sourceFile && !request.sourceFolder && !request.calculate) {
        return refuse(UsageError::Kind::Needs,
                      {Shown(Switch::Auto), Shown(Switch::SourceFile), Shown(Switch::SourceFolder),
                       Shown(Switch::Calculate)});
    }
    return result;
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& words) {
    CommandLine line = SplitCommandLine(words);
    ParsedCommandLine parsed;
    parsed.arguments = std::move(line.arguments);
    parsed.anySwitch = !line.switches.empty();
    if (parsed.anySwitch) {
        ReadSwitchesResult read = ReadSwitches(line.switches);
        parsed.request = std::move(read.request);
        parsed.error = std::move(read.error);
        const CommandRequest& request = parsed.request;
        if (!parsed.error && !request.help && request.ignoreMissing && parsed.arguments.empty()) {
            parsed.error = UsageError{UsageError::Kind::Needs, {Shown(Switch::IgnoreMissing)}};
        }
    }
    return parsed;
}

}  // namespace vorlix
