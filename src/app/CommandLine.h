#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlix {

// One switch of the command line: "/auto", "--sourcefile=/home/u/a.zip",
// "-h", "/sourcefile:/home/u/a.zip".
struct CommandSwitch {
    std::string name;   // lower case, without its prefix
    std::string value;  // the text after the first ":" or "="
    bool hasValue = false;

    bool operator==(const CommandSwitch&) const = default;
};

struct CommandLine {
    std::vector<std::string> arguments;  // words that are no switch
    std::vector<CommandSwitch> switches;
};

// A word is a switch when it starts with "/", "-" or "--" followed by letters
// only, up to an optional ":" or "=" and its value. Paths are full of "/"
// here, so "/home/u/a.zip" is no switch: a letter run must end the word or
// meet ":" or "=".
std::optional<CommandSwitch> ParseSwitch(std::string_view word);

// The words of the command line without the program's own path, as the shell
// has split them. A lone "--" ends the switches: every word after it is an
// argument, so a path such as "/srv" or "/a:b" is never read as one.
CommandLine SplitCommandLine(const std::vector<std::string>& words);

}  // namespace vorlix
