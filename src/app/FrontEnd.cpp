#include "app/FrontEnd.h"

#include <cerrno>
#include <cstring>
#include <iostream>

#include "app/ConsoleDigestRunner.h"
#include "app/ConsoleManyRunner.h"
#include "app/ProgramServices.h"
#include "app/Startup.h"
#include "ui/ConsoleDialogs.h"
#include "ui/EndProgram.h"
#include "util/FileDescriptorBuffer.h"
#include "util/Text.h"

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

int StatusAfterOutput(int status, std::ostream& out, std::ostream& err) {
    // A write that failed earlier leaves the stream bad; what is still
    // buffered goes out now, or fails with its reason.
    const bool failed = !out;
    out.clear();
    errno = 0;
    out.flush();
    int error = errno;
    if (!failed && out) return status;
    // Standard output's own buffer kept the reason of the first failure.
    if (const auto* buffer = dynamic_cast<const FileDescriptorBuffer*>(out.rdbuf());
        buffer && buffer->Error() != 0) {
        error = buffer->Error();
    }
    std::string text = "Error: the output could not be written";
    if (error != 0) text += std::string(": ") + std::strerror(error);
    err << EscapeForTerminal(text) << '\n' << std::flush;
    return kExitFatal;
}

int RunConsoleFrontEnd(const ProgramLocation& location, const std::vector<std::string>& words,
                       SettingsStore& store, ConsoleStreams streams) {
    // The lines and messages on standard output are the result a script
    // reads: losing them fails the run, whatever it found.
    SetExitStatusCheck(
        [&streams](int status) { return StatusAfterOutput(status, streams.out, streams.err); });
    struct CheckGoes {
        ~CheckGoes() { SetExitStatusCheck({}); }
    } checkGoes;
    ConsoleDialogs dialogs(streams.in, streams.out, streams.err);
    CheckLanguagePacks(dialogs, location.folder);

    const char separator = LocaleDecimalSeparator();
    ProgramServices program(
        dialogs, store, location, MakeAssociationPlatform(location),
        [&streams, separator](const std::string& path, DigestSet algorithms) {
            return RunDigestOnConsole(path, algorithms, streams.err, streams.errIsTerminal,
                                      separator);
        },
        Downloader{},
        [&streams, separator](const ManyFilesJob& job) {
            return RunManyFilesOnConsole(job, streams.out, streams.outIsTerminal, streams.err,
                                         streams.errIsTerminal, separator);
        });
    program.mainWindow.Form_Load(ParseCommandLine(words));

    // The window would wait for the user now; there is none to wait for.
    program.mainWindow.ShowHelpText();
    EndProgram(kExitFatal);
}

}  // namespace vorlix
