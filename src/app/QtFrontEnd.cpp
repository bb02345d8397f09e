#include "app/QtFrontEnd.h"

#include <QApplication>

#include "app/Artwork.h"
#include "app/MainWindow.h"
#include "app/ProgramServices.h"
#include "app/QtDigestRunner.h"
#include "app/Startup.h"
#include "checksum/ResultsWindow.h"
#include "language/QtStandardTexts.h"
#include "settings/QtSettingsStore.h"
#include "ui/EndProgram.h"
#include "ui/QtDialogs.h"
#include "update/BackgroundDownload.h"

namespace vorlix {

int RunQtFrontEnd(int& argc, char** argv, const ProgramLocation& location,
                  const std::vector<std::string>& words) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromStdString(location.exeName));
    QApplication::setWindowIcon(artwork::ProgramIcon());
    // Lets a Wayland desktop match the window to the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral(VORLIX_APP_ID));

    QtDialogs dialogs;
    CheckLanguagePacks(dialogs, location.folder);

    QtSettingsStore store(location.exeName);
    MainWindow* window = nullptr;
    const char separator = DesktopDecimalSeparator();
    ProgramServices program(
        dialogs, store, location, MakeAssociationPlatform(location),
        [&](const std::string& path, DigestSet algorithms) {
            const auto cancel = program.language.GetLabel("Generic", "ButtonCancelCaption");
            return RunDigestWithProgress(window, path, algorithms, QString::fromStdString(cancel),
                                         separator);
        },
        DownloadInBackground,
        [&](const ManyFilesJob& job) {
            // Each run gets a window of its own, which goes when closed.
            auto* results =
                new ResultsWindow(dialogs, program.language, program.clock, window, separator);
            results->setAttribute(Qt::WA_DeleteOnClose);
            return results->Run(job);
        });

    QtStandardTexts standardTexts(program.language);
    program.languages.AddListener(&standardTexts);

    MainWindow mainWindow(program.mainWindow, program.language, program.clock);
    window = &mainWindow;
    SetMainWindowUnloader([&mainWindow] { mainWindow.hide(); });

    // The load step runs before the window shows: command-line work ends the
    // program here without a window ever appearing.
    program.mainWindow.Form_Load(ParseCommandLine(words));
    dialogs.SetParent(&mainWindow);
    mainWindow.show();
    return application.exec();
}

}  // namespace vorlix
