#include "ui/EndProgram.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace vorlix {
namespace {

EndRoutine& Routine() {
    static EndRoutine routine;
    return routine;
}

std::function<void()>& Unloader() {
    static std::function<void()> unload;
    return unload;
}

ExitStatusCheck& Check() {
    static ExitStatusCheck check;
    return check;
}

}  // namespace

void SetExitStatusCheck(ExitStatusCheck check) { Check() = std::move(check); }

void SetEndRoutine(EndRoutine routine) { Routine() = std::move(routine); }

void SetMainWindowUnloader(std::function<void()> unload) { Unloader() = std::move(unload); }

void EndProgram(int status) {
    // Take the unloader first so that a window closing during the unload
    // cannot come back here.
    if (auto unload = std::exchange(Unloader(), nullptr)) unload();
    if (auto check = std::exchange(Check(), nullptr)) status = check(status);
    if (auto& routine = Routine()) routine(status);
    // The default, and the safety net should a routine return: the program
    // ends here, with nothing else run.
    std::fflush(nullptr);
    std::_Exit(status);
}

}  // namespace vorlix
