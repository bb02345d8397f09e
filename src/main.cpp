#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/FrontEnd.h"
#include "app/MainWindowModel.h"
#include "settings/QtSettingsStore.h"
#include "ui/EndProgram.h"
#include "util/FileDescriptorBuffer.h"
#include "util/Interrupts.h"
#include "util/ProgramLocation.h"
#ifdef _WIN32
#include "app/QtFrontEnd.h"
#else
#include "app/GuiModule.h"
#include "util/Text.h"
#endif

int main(int argc, char** argv) {
    using namespace vorlix;
    const std::vector<std::string> words(argv + 1, argv + argc);
    // Alone, before the packs are even looked for; with other switches the
    // command line refuses it like any switch that cannot be combined.
    if (words.size() == 1) {
        const auto word = ParseSwitch(words.front());
        if (word && word->name == "version" && !word->hasValue) {
            std::cout << VersionLabelText() << '\n';
            return StatusAfterOutput(kExitOk, std::cout, std::cerr);
        }
    }

    IgnoreFileSizeSignal();
    // Ctrl+C or a shutdown ends the program like a cancelled save: nothing
    // half-written and no temporary file stays behind.
    ExitOnInterrupt(kExitVerificationFailed);

    const ProgramLocation location = ProgramLocation::OfRunningProgram();
    const auto environment = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    if (UseConsoleFrontEnd(environment)) {
        QtSettingsStore store(location.exeName);
        // Standard output through a buffer that keeps why a write failed:
        // the exit status and its message need the reason.
        FileDescriptorBuffer outBuffer(STDOUT_FILENO);
        std::ostream out(&outBuffer);
        std::cin.tie(&out);
        return RunConsoleFrontEnd(
            location, words, store,
            {std::cin, out, std::cerr, isatty(STDERR_FILENO) == 1, isatty(STDOUT_FILENO) == 1});
    }
#ifdef _WIN32
    return RunQtFrontEnd(argc, argv, location, words);
#else
    // The windows live in a module, so a console run never loads their libraries.
    const GuiModule gui = LoadGuiModule(location.folder);
    if (!gui.run) {
        std::cerr << EscapeForTerminal("Error: the windows cannot be loaded: " + gui.failure)
                  << '\n';
        return kExitFatal;
    }
    return gui.run(argc, argv, location, words);
#endif
}
