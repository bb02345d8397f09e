#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/MainWindow.h"
#include "app/ProgramServices.h"
#include "language/QtStandardTexts.h"
#include "settings/OptionsWindow.h"
#include "settings/QtSettingsStore.h"
#include "settings/XdgAssociationPlatform.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace vorlix {
namespace {

using test::ReadAll;

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The whole program with its windows on the offscreen platform, its settings
// and its desktop in folders of its own; only the dialogs are scripted.
class OptionsWindowViewStory : public ::testing::Test {
  protected:
    OptionsWindowViewStory() {
        setenv("XDG_DATA_HOME", (home.Path() / "data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home.Path() / "config").c_str(), 1);
        setenv("HOME", home.Path().c_str(), 1);
        // xdg-mime would ask a desktop's own tools instead of the files.
        for (const char* variable : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                     "GNOME_DESKTOP_SESSION_ID", "XDG_DATA_DIRS"}) {
            unsetenv(variable);
        }
        // QSettings settles on its folder once per process; each story has its own.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           Q((home.Path() / "config").string()));

        std::filesystem::create_directories(home.Path() / "bin" / "Languages");
        for (const char* pack : {"1027.xml", "1033.xml"}) {
            std::filesystem::copy_file(std::filesystem::path(VORLIX_SOURCE_PACKS) / pack,
                                       home.Path() / "bin" / "Languages" / pack);
        }
        location = ProgramLocation::FromExecutable(home.Path() / "bin" / "vorlix");
    }
    ~OptionsWindowViewStory() override { Stop(); }

    void Start() {
        store = std::make_unique<QtSettingsStore>(location.exeName);
        program = std::make_unique<ProgramServices>(
            dialogs, *store, location, MakeAssociationPlatform(location), DigestRunner{});
        standardTexts = std::make_unique<QtStandardTexts>(program->language);
        program->languages.AddListener(standardTexts.get());
        mainWindow =
            std::make_unique<MainWindow>(program->mainWindow, program->language, program->clock);
        program->mainWindow.Form_Load({});
        mainWindow->show();
    }
    void Stop() {
        mainWindow.reset();
        if (program) program->languages.RemoveListener(standardTexts.get());
        standardTexts.reset();
        program.reset();
        store.reset();
    }

    // Opens the window from the menu and runs steps while it is open. Returns
    // when the window has closed; closes it first if the steps did not.
    void WithOptionsWindow(const std::function<void(OptionsWindow&)>& steps) {
        QPointer<OptionsWindow> opened;
        bool ran = false;
        QTimer::singleShot(0, mainWindow.get(), [&] {
            ran = true;
            opened = qobject_cast<OptionsWindow*>(QApplication::activeModalWidget());
            ASSERT_TRUE(opened);
            steps(*opened);
            if (opened && opened->isVisible()) {
                ADD_FAILURE() << "the steps left the window open";
                opened->reject();
            }
        });
        mainWindow->mnuOptions_Options->trigger();
        ASSERT_TRUE(ran) << "the window never opened";
        EXPECT_TRUE(opened.isNull()) << "the closed window is still there";
    }

    std::string Stored(const char* key) { return store->Read("Configuration", key); }
    void Store(const char* key, const std::string& value) {
        QtSettingsStore(location.exeName).Write("Configuration", key, value);
    }
    std::string ExeFullPath() const { return (location.folder / "vorlix").string(); }
    std::string Label(const char* section, const char* key) {
        return program->language.GetLabel(section, key);
    }
    static bool Registered() {
        return std::filesystem::exists(XdgAssociationPlatform::DesktopEntryPath("vorlix"));
    }

    test::TempDir home;
    ProgramLocation location;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<QtSettingsStore> store;
    std::unique_ptr<ProgramServices> program;
    std::unique_ptr<QtStandardTexts> standardTexts;
    std::unique_ptr<MainWindow> mainWindow;
};

TEST_F(OptionsWindowViewStory, OpensModallyWithTheLanguageInForceAndTheRealAssociation) {
    Start();
    program->association.AssociateExtension("md5", ExeFullPath(), "vorlix");
    dialogs.ThenAnswer(Answer::Yes);
    QTest::mouseClick(mainWindow->igbEnglishFlag, Qt::LeftButton);
    ASSERT_EQ(Stored("DefaultLanguage"), "1027");

    WithOptionsWindow([&](OptionsWindow& window) {
        EXPECT_TRUE(window.isModal());
        EXPECT_EQ(window.windowTitle(), "Options");
        EXPECT_EQ(window.cobSelectLanguage->currentText(), "English");
        EXPECT_EQ(window.lbxOptionsMenu->count(), 1);
        EXPECT_EQ(window.lbxOptionsMenu->item(0)->text(), "Settings");
        EXPECT_TRUE(window.framMainConfiguration->isVisible());
        EXPECT_TRUE(window.chckAssociate->isChecked());
        EXPECT_FALSE(window.chkCreateStandardFile->isChecked());
        for (QPushButton* button : {window.cmdOK, window.cmdCancel, window.cmdApply})
            EXPECT_TRUE(button->isEnabled()) << button->text().toStdString();
        EXPECT_EQ(program->options.DefaultLanguage, "1033");
        window.cmdCancel->click();
    });
    EXPECT_EQ(Stored("DefaultLanguage"), "1027");
    EXPECT_EQ(program->options.DefaultLanguage, "1033");

    // A new window for the next opening; the close box is Cancel.
    WithOptionsWindow([&](OptionsWindow& window) {
        EXPECT_EQ(window.windowTitle(), "Options");
        window.close();
    });
    EXPECT_TRUE(Registered());
}

TEST_F(OptionsWindowViewStory, CancelKeepsTheStoreButTheRunWritesStandardFiles) {
    Start();
    WithOptionsWindow([&](OptionsWindow& window) {
        window.chkCreateStandardFile->click();
        window.cmdCancel->click();
    });
    EXPECT_EQ(Stored("DefaultContentMD5File"), "False");

    const std::string file = home.Write("abc.txt", "abc");
    QTest::keyClicks(mainWindow->txtPathAndFileName, Q(file));
    mainWindow->cmndCalculate->click();
    mainWindow->cndSaveMD5File->click();
    const std::string written = ReadAll(file + ".MD5");
    EXPECT_NE(written.find("900150983cd24fb0d6963f7d28e17f72 *abc.txt"), std::string::npos)
        << written;
    EXPECT_EQ(written.find("[MD5FileInfo]"), std::string::npos) << written;
}

TEST_F(OptionsWindowViewStory, ApplyWritesTheStoreAndLeavesOnlyOkEnabled) {
    Store("VersionProgram", "1.0.0.21 NB.000021-01.01.2023-22.00.00_VRLX.");
    Store("DefaultLanguage", "1027");
    Store("DefaultContentMD5File", "False");
    Start();
    WithOptionsWindow([&](OptionsWindow& window) {
        window.chkCreateStandardFile->click();
        window.cmdApply->click();
        EXPECT_EQ(Stored("DefaultContentMD5File"), "True");
        EXPECT_EQ(Stored("VersionProgram").rfind("1.0.0.22 ", 0), 0u);
        EXPECT_FALSE(window.cmdApply->isEnabled());
        EXPECT_FALSE(window.cmdCancel->isEnabled());
        EXPECT_TRUE(window.cmdOK->isEnabled());
        window.cmdOK->click();
    });
    const std::string file = (home.Path() / "config/Vorlix/vorlix.conf").string();
    EXPECT_NE(ReadAll(file).find("DefaultContentMD5File=True\n"), std::string::npos);
}

TEST_F(OptionsWindowViewStory, OkRemovesOrRewritesTheRegistrationAsTheBoxShows) {
    Start();
    // Another copy of the program registered itself earlier: not ours, so the
    // box is clear, and OK without touching it removes that registration.
    XdgAssociationPlatform().Register("md5", "/old/place/vorlix", "vorlix");
    WithOptionsWindow([&](OptionsWindow& window) {
        EXPECT_FALSE(window.chckAssociate->isChecked());
        window.cmdOK->click();
    });
    EXPECT_FALSE(Registered());
    EXPECT_FALSE(std::filesystem::exists(XdgAssociationPlatform::MimePackagePath("vorlix")));

    WithOptionsWindow([&](OptionsWindow& window) {
        window.chckAssociate->click();
        window.cmdOK->click();
    });
    EXPECT_TRUE(Registered());
    EXPECT_EQ(XdgAssociationPlatform().OpenCommandProgram("vorlix"), ExeFullPath());
    EXPECT_NE(ReadAll(XdgAssociationPlatform::MimeAppsListPath()).find("vorlix-filetype-vorlix"),
              std::string::npos);

    // Ticked and untouched: written again.
    std::filesystem::remove(XdgAssociationPlatform::IconPath("vorlix"));
    WithOptionsWindow([&](OptionsWindow& window) {
        EXPECT_TRUE(window.chckAssociate->isChecked());
        window.cmdOK->click();
    });
    EXPECT_TRUE(std::filesystem::exists(XdgAssociationPlatform::IconPath("vorlix")));
}

TEST_F(OptionsWindowViewStory, DefaultThenOkStoresCzechAndSectionedButKeepsEnglishForTheRun) {
    Store("VersionProgram", "1.0.0.21 NB.000021-01.01.2023-22.00.00_VRLX.");
    Store("LastUsedPath", "/home/user/data/archive.zip");
    Store("DefaultLanguage", "1033");
    Store("DefaultContentMD5File", "True");
    Start();
    WithOptionsWindow([&](OptionsWindow& window) {
        window.cmdDefaultSave->click();
        EXPECT_EQ(Stored("DefaultLanguage"), "1027");
        EXPECT_EQ(Stored("LastUsedPath"), location.folder.string());
        EXPECT_EQ(window.cobSelectLanguage->currentText(), "English");
        EXPECT_TRUE(window.chkCreateStandardFile->isChecked());
        window.cmdOK->click();
    });
    EXPECT_EQ(Stored("DefaultLanguage"), "1027");
    EXPECT_EQ(Stored("DefaultContentMD5File"), "False");
    EXPECT_EQ(mainWindow->mnuOptions->title(), "&Options");
    EXPECT_TRUE(dialogs.Seen().empty());
}

TEST_F(OptionsWindowViewStory, ChoosingEnglishRelabelsBothWindowsAndQtsOwnTextsAtOnce) {
    Start();
    const QString czechCalculate = mainWindow->cmndCalculate->text();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Ano");
    WithOptionsWindow([&](OptionsWindow& window) {
        EXPECT_EQ(window.windowTitle(), "Nastavení");
        window.cobSelectLanguage->setCurrentIndex(1);

        EXPECT_EQ(window.windowTitle(), "Options");
        EXPECT_EQ(window.framMainConfiguration->title(), "Main configuration");
        EXPECT_EQ(window.lblDefaultLanguage->text(), "Default language");
        EXPECT_EQ(window.chkCreateStandardFile->text(), "Create standard MD5 files");
        EXPECT_EQ(window.cmdCancel->text(), "&Cancel");
        EXPECT_EQ(window.cmdApply->text(), "&Apply");
        EXPECT_EQ(window.cmdDefaultSave->text(), "&Defaults");
        EXPECT_EQ(window.cmdOK->text(), "&OK");
        EXPECT_EQ(window.cobSelectLanguage->itemText(0), "Čeština");
        EXPECT_EQ(window.lblStandardFormat->text(), "Formát: MD5Code *FileName");

        EXPECT_EQ(mainWindow->cmndCalculate->text(), Q(Label("frmVorlix", "cmndCalculate")));
        EXPECT_NE(mainWindow->cmndCalculate->text(), czechCalculate);
        EXPECT_EQ(mainWindow->mnuOptions->title(), "&Options");
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Yes");
        window.cmdCancel->click();
    });
    EXPECT_EQ(program->languages.CurrentLanguage(), kEnglish);
    EXPECT_EQ(Stored("DefaultLanguage"), "1027");
}

TEST_F(OptionsWindowViewStory, WhatOkStoresIsInForceAfterARestart) {
    Start();
    WithOptionsWindow([&](OptionsWindow& window) {
        window.cobSelectLanguage->setCurrentIndex(1);
        window.chkCreateStandardFile->click();
        window.chckAssociate->click();
        window.cmdOK->click();
    });
    Stop();

    Start();
    EXPECT_EQ(program->languages.CurrentLanguage(), kEnglish);
    EXPECT_EQ(mainWindow->mnuOptions->title(), "&Options");
    EXPECT_TRUE(program->options.DefaultContentMD5File);
    WithOptionsWindow([&](OptionsWindow& window) {
        EXPECT_EQ(window.cobSelectLanguage->currentIndex(), 1);
        EXPECT_TRUE(window.chkCreateStandardFile->isChecked());
        EXPECT_TRUE(window.chckAssociate->isChecked());
        window.cmdCancel->click();
    });
}

// Every caption fits its control and every control the window, in both
// languages. With VORLIX_SCREENSHOTS set, the window is also saved there
// as a picture, for a look by eye (run under a real X server to see the
// platform's style and scaling).
TEST_F(OptionsWindowViewStory, NothingIsClippedInEitherLanguage) {
    Start();
    for (const int position : {0, 1}) {
        WithOptionsWindow([&](OptionsWindow& window) {
            window.cobSelectLanguage->setCurrentIndex(position);
            QApplication::processEvents();
            SCOPED_TRACE(window.windowTitle().toStdString());
            const QRect inside = window.rect();
            for (QWidget* control : window.findChildren<QWidget*>()) {
                if (!control->isVisible() || control->parentWidget() == nullptr) continue;
                const QRect placed(control->mapTo(&window, QPoint(0, 0)), control->size());
                EXPECT_TRUE(inside.contains(placed)) << control->metaObject()->className();
            }
            for (QWidget* control : std::initializer_list<QWidget*>{
                     window.lblDefaultLanguage, window.cobSelectLanguage,
                     window.chkCreateStandardFile, window.lblStandardFormat, window.chckAssociate,
                     window.cmdDefaultSave, window.cmdOK, window.cmdCancel, window.cmdApply}) {
                EXPECT_GE(control->width(), control->sizeHint().width())
                    << control->metaObject()->className();
                EXPECT_GE(control->height(), control->minimumSizeHint().height())
                    << control->metaObject()->className();
            }
            const QFontMetrics metrics(window.lbxOptionsMenu->font());
            EXPECT_GT(window.lbxOptionsMenu->viewport()->width(),
                      metrics.horizontalAdvance(window.lbxOptionsMenu->item(0)->text()));
            if (const char* folder = std::getenv("VORLIX_SCREENSHOTS")) {
                const QString name =
                    QStringLiteral("%1/options-%2.png")
                        .arg(QString::fromLocal8Bit(folder), position == 0 ? "cs" : "en");
                EXPECT_TRUE(window.grab().save(name));
            }
            window.cmdCancel->click();
        });
    }
}

}  // namespace
}  // namespace vorlix
