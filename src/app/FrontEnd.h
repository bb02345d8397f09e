#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace vorlix {

class SettingsStore;
struct ProgramLocation;

// Reads an environment variable; empty text when unset.
using EnvironmentReader = std::function<std::string(const char* name)>;

// The console front-end is used when asked for (VORLIX_UI=console) or when
// there is no display a window could open on. A QApplication without a
// working platform aborts, so this is decided before any Qt object exists.
bool UseConsoleFrontEnd(const EnvironmentReader& environment);

struct ConsoleStreams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
    bool outIsTerminal = false;
};

// The status to end with once `out` is flushed: output that could not be
// written (a full disk, a closed descriptor) is an error, as the lines a
// script reads are lost; one line on `err` says so.
int StatusAfterOutput(int status, std::ostream& out, std::ostream& err);

// Runs the program without windows: the start-up check, the main window's
// load step with its command-line work, and where a window would now wait
// for the user, the help text. Returns the exit status; EndProgram may end
// the process before that.
int RunConsoleFrontEnd(const ProgramLocation& location, const std::vector<std::string>& words,
                       SettingsStore& store, ConsoleStreams streams);

}  // namespace vorlix
