#include "app/FrontEnd.h"

#include <iostream>

#include "app/ConsoleDigestRunner.h"
#include "app/ConsoleManyRunner.h"
#include "app/ProgramServices.h"
#include "app/Startup.h"
#include "ui/ConsoleDialogs.h"
#include "ui/EndProgram.h"

namespace vorlix {

bool UseConsoleFrontEnd(const EnvironmentReader& environment) {
    const std::string ui = environment("VORLIX_UI");
    if (ui == "console") return true;
    if (!ui.empty()) return false;
#ifdef __linux__
    return environment("DISPLAY").empty() && environment("WAYLAND_DISPLAY").empty() &&
           environment("QT_QPA_PLATFORM").empty();
#else
    return false;
#endif
}

int RunConsoleFrontEnd(const ProgramLocation& location, const std::vector<std::string>& words,
                       SettingsStore& store, ConsoleStreams streams) {
    ConsoleDialogs dialogs(streams.in, streams.out, streams.err);
    CheckLanguagePacks(dialogs, location.folder);

    const char separator = LocaleDecimalSeparator();
    ProgramServices program(
        dialogs, store, location, MakeAssociationPlatform(location),
        [&streams, separator](const std::string& path) {
            return RunDigestOnConsole(path, streams.err, streams.errIsTerminal, separator);
        },
        Downloader{},
        [&streams, separator](const ManyFilesJob& job) {
            return RunManyFilesOnConsole(job, streams.out, streams.outIsTerminal, streams.err,
                                         streams.errIsTerminal, separator);
        });
    program.mainWindow.Form_Load(words);

    // The window would wait for the user now; there is none to wait for.
    program.mainWindow.ShowHelpText();
    EndProgram(kExitFatal);
}

}  // namespace vorlix
