#pragma once

#include <functional>

namespace vorlix {

// Exit statuses of the program, in both front-ends.
enum ExitStatus : int {
    kExitOk = 0,
    kExitVerificationFailed = 1,  // also: a save the user cancelled
    kExitFatal = 2,               // fatal error or usage error
};

// How the process really ends. The product flushes its streams and leaves at
// once; tests install a routine that throws ProgramEnded instead.
using EndRoutine = std::function<void(int status)>;
void SetEndRoutine(EndRoutine routine);

// Called first by EndProgram, so the main window can go away cleanly.
void SetMainWindowUnloader(std::function<void()> unload);

// Called by EndProgram after the unload with the status it was given; what
// it returns is the status the program ends with. A front-end checks here
// that its output got out.
using ExitStatusCheck = std::function<int(int status)>;
void SetExitStatusCheck(ExitStatusCheck check);

// Unloads the main window and ends the program. Never returns.
[[noreturn]] void EndProgram(int status = kExitOk);

// What the test end routine throws, carrying the exit status.
struct ProgramEnded {
    int status;
};

}  // namespace vorlix
