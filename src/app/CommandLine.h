#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "digest/DigestAlgorithm.h"

namespace vorlix {

enum class Switch {
    Help,
    Version,
    Auto,
    CheckUpdate,
    SourceFile,
    SourceFolder,
    Expect,
    Calculate,
    IgnoreMissing,
    Algorithm,
};

// One declaration per switch, read by the parser, the help text's tests and
// the manual page's.
struct SwitchDeclaration {
    std::string_view name;  // as typed after "/", "-" or "--"; a meaning's first is shown
                            // (a name with "-" in it is typed after "--" only)
    Switch meaning;
    bool takesValue;
    std::string_view helpKey;  // the help text's line ("modVorlix") that explains it
    // Its work ends the program with a status of its own, so nothing but
    // /help may be given with it.
    bool alone;
};
std::span<const SwitchDeclaration> KnownSwitches();

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
// meet ":" or "=". After "--" alone, single hyphens may join letter runs
// ("--ignore-missing"); "/home-x" and "-a-b" stay words.
std::optional<CommandSwitch> ParseSwitch(std::string_view word);

// The words of the command line without the program's own path, as the shell
// has split them. A lone "--" ends the switches: every word after it is an
// argument, so a path such as "/srv" or "/a:b" is never read as one.
CommandLine SplitCommandLine(const std::vector<std::string>& words);

// What the switches ask for, all of it, read before anything is done.
struct CommandRequest {
    bool help = false;
    bool version = false;
    bool autoMode = false;
    bool checkUpdate = false;
    bool calculate = false;      // the paths after the switches
    bool ignoreMissing = false;  // verify the lists given, passing over absent files
    std::optional<std::string> sourceFile;
    std::optional<std::string> sourceFolder;
    std::optional<std::string> expect;
    // The digest of the checksum file written (folder, or file with /auto).
    std::optional<DigestAlgorithm> algorithm;
};

// Why a command line cannot be done as it stands; `switches` are the
// switches concerned, written as the help text writes them ("/sourcefile").
struct UsageError {
    enum class Kind {
        Unknown,        // no such switch
        NoValue,        // a value given to a switch that takes none
        NeedsValue,     // no value, or an empty one, for a switch that needs one
        Twice,          // one switch given twice with different values
        Together,       // two switches whose work cannot be done together
        Needs,          // a switch without the one it works on (switches[1], [2]: either;
                        // none: the words that are no switch, the files it works on)
        UnknownDigest,  // /algorithm names no digest of ours: switches[1] is the name
    };
    Kind kind = Kind::Unknown;
    std::vector<std::string> switches;

    bool operator==(const UsageError&) const = default;
};

// Every switch is acted on or the line is refused: nothing is ever passed
// over. "/help" asks for the help text instead of the work, whatever else
// is given.
struct ReadSwitchesResult {
    CommandRequest request;
    std::optional<UsageError> error;
};
ReadSwitchesResult ReadSwitches(const std::vector<CommandSwitch>& switches);

// The whole command line read once, before anything is done: what its
// switches ask for, the words that are no switch, and why it cannot be done
// as it stands, if it cannot.
struct ParsedCommandLine {
    std::vector<std::string> arguments;
    bool anySwitch = false;
    CommandRequest request;
    std::optional<UsageError> error;
};
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& words);

}  // namespace vorlix
