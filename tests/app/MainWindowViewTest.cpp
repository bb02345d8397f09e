#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "app/MainWindow.h"
#include "app/ProgramFixture.h"
#include "app/QtDigestRunner.h"
#include "ui/QtDialogs.h"

#include <QApplication>
#include <QLocale>
#include <QProgressBar>
#include <QProgressDialog>
#include <QTimer>
#include <filesystem>
#include <functional>

namespace vorlix {
namespace {

using test::ProgramFixture;

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Plays the user at the next modal window: `act` gets it as soon as it is up.
class ModalUser {
public:
    explicit ModalUser(std::function<bool(QWidget*)> act) {
        QObject::connect(&timer_, &QTimer::timeout, [this, act] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && act(modal)) timer_.stop();
        });
        timer_.start(50);
    }

private:
    QTimer timer_;
};

// A file of `size` bytes that takes no disk.
std::string SparseFile(test::TempDir& dir, const std::string& name, std::uint64_t size) {
    const std::string path = dir.Write(name, "");
    std::filesystem::resize_file(path, size);
    return path;
}

class MainWindowView : public ::testing::Test {
protected:
    MainWindowView() {
        fixture.Start();
        window = std::make_unique<MainWindow>(fixture.Window(), fixture.program->language,
                                              fixture.program->clock);
        fixture.Load({});
    }
    std::string Label(const char* section, const char* key) {
        return fixture.program->language.GetLabel(section, key);
    }

    ProgramFixture fixture;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowView, ShowsTheLoadedLabelsAndStartState) {
    EXPECT_EQ(window->windowTitle(), "Vorlix");
    EXPECT_EQ(window->cmndCalculate->text(), Q(Label("frmVorlix", "cmndCalculate")));
    EXPECT_EQ(window->lblFileSource->text(), Q(Label("frmVorlix", "lblFileSource") + ":"));
    EXPECT_EQ(window->mnuFile->title(), Q(Label("MainMenu", "mnuFile")));
    EXPECT_EQ(window->lblMD5Result->text(), "MD5:");
    EXPECT_EQ(window->Label1->text(), "Vorlix");
    EXPECT_FALSE(window->cmndCalculate->isEnabled());
    EXPECT_FALSE(window->cndSaveMD5File->isEnabled());
    EXPECT_TRUE(window->cmdEndProgram->isHidden());
    EXPECT_EQ(window->centralWidget()->size(), QSize(696, 488));
    EXPECT_EQ(window->txtPathAndFileName->geometry(), QRect(112, 90, 497, 27));
}

TEST_F(MainWindowView, TypingClickingAndTheFlagsReachTheBehaviour) {
    const std::string file = fixture.root.Write("abc.txt", "abc");
    window->show();
    QTest::keyClicks(window->txtPathAndFileName, Q(file));
    EXPECT_TRUE(window->cmndCalculate->isEnabled());
    QTest::mouseClick(window->cmndCalculate, Qt::LeftButton);
    EXPECT_EQ(window->txtMD5Result->text(), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(window->txtFileSize->text(), "3 bytes");
    EXPECT_TRUE(window->txtTimeOperate->text().endsWith(" sec."));
    EXPECT_TRUE(window->cndSaveMD5File->isEnabled());

    const QString czechCaption = window->cmndCalculate->text();
    QTest::mouseClick(window->igbCzechFlag, Qt::LeftButton);  // in force already
    EXPECT_TRUE(fixture.dialogs.Seen().empty());

    fixture.dialogs.ThenAnswer(Answer::No);
    QTest::mouseClick(window->igbEnglishFlag, Qt::LeftButton);
    EXPECT_EQ(window->cmndCalculate->text(), czechCaption);

    fixture.dialogs.ThenAnswer(Answer::Yes);
    QTest::mouseClick(window->igbEnglishFlag, Qt::LeftButton);
    EXPECT_EQ(window->cmndCalculate->text(), Q(Label("frmVorlix", "cmndCalculate")));
    EXPECT_NE(window->cmndCalculate->text(), czechCaption);
    EXPECT_EQ(fixture.dialogs.Messages().size(), 2u);
    // The switch keeps what the window showed.
    EXPECT_EQ(window->txtMD5Result->text(), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(window->txtPathAndFileName->text(), Q(file));

    QTest::mouseClick(window->cndSaveMD5File, Qt::LeftButton);
    EXPECT_TRUE(window->cmdEndProgram->isVisible());
}

TEST_F(MainWindowView, EditingThePathClearsTheResultsAndEnterComputes) {
    const std::string file = fixture.root.Write("abc.txt", "abc");
    window->show();
    QTest::keyClicks(window->txtPathAndFileName, Q(file));
    QTest::keyClick(window->txtPathAndFileName, Qt::Key_Return);
    EXPECT_EQ(window->txtMD5Result->text(), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_TRUE(window->cndSaveMD5File->isEnabled());

    QTest::keyClick(window->txtPathAndFileName, Qt::Key_X);
    EXPECT_EQ(window->txtMD5Result->text(), "");
    EXPECT_EQ(window->txtFileSize->text(), "");
    EXPECT_EQ(window->txtTimeOperate->text(), "");
    EXPECT_FALSE(window->cndSaveMD5File->isEnabled());
    EXPECT_FALSE(window->cmndCalculate->isEnabled());
    QTest::keyClick(window->txtPathAndFileName, Qt::Key_Return);  // disabled: nothing runs
    EXPECT_EQ(window->txtMD5Result->text(), "");
    EXPECT_EQ(fixture.digested.size(), 1u);

    QTest::keyClick(window->txtPathAndFileName, Qt::Key_Backspace);
    QTest::keyClick(window->txtPathAndFileName, Qt::Key_Enter);
    EXPECT_EQ(window->txtMD5Result->text(), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_TRUE(window->cndSaveMD5File->isEnabled());
}

TEST_F(MainWindowView, VerificationFromTheMenuShowsProgressAndCancelShowsNoOutcome) {
    const std::string data = SparseFile(fixture.root, "big.iso", 4ull << 30);
    const std::string sums =
        fixture.root.Write("big.iso.md5", "0123456789abcdef0123456789abcdef *big.iso\n");
    fixture.runDigest = [this](const std::string& path) {
        return RunDigestWithProgress(window.get(), path, "Cancel", '.');
    };
    window->show();

    QString title;
    ModalUser user([&](QWidget* modal) {
        auto* dialog = qobject_cast<QProgressDialog*>(modal);
        if (!dialog) return false;
        title = dialog->windowTitle();
        dialog->findChild<QPushButton*>()->click();
        return true;
    });
    fixture.dialogs.ThenChooseFile(sums);
    window->mnuFile_OpenFileMD5->trigger();
    EXPECT_EQ(title, QStringLiteral("Vorlix \u2013 big.iso"));
    EXPECT_EQ(fixture.digested, std::vector{data});
    EXPECT_TRUE(fixture.dialogs.Messages().empty());
}

TEST(CzechDesktop, TheTimeUsesTheDesktopsDecimalSeparator) {
    // Registered a second time to run under a Czech locale that the C
    // library has no data for; elsewhere there is nothing to see.
    if (QLocale::system().decimalPoint() != QStringLiteral(","))
        GTEST_SKIP() << "needs a locale with a decimal comma";
    ProgramFixture fixture;
    fixture.Start();
    MainWindow window(fixture.Window(), fixture.program->language, fixture.program->clock);
    fixture.Load({});
    const std::string file = fixture.root.Write("abc.txt", "abc");
    fixture.Window().txtPathAndFileName_Change(file);
    // A run of whole microseconds is rare; try until one shows decimals.
    for (int run = 0; run < 5 && !window.txtTimeOperate->text().contains(QLatin1Char(',')); ++run)
        QTest::mouseClick(window.cmndCalculate, Qt::LeftButton);
    EXPECT_TRUE(window.txtTimeOperate->text().contains(QLatin1Char(',')))
        << window.txtTimeOperate->text().toStdString();
}

TEST_F(MainWindowView, VersionLabelClickReplacesTheClipboard) {
    window->show();
    QGuiApplication::clipboard()->setText("something else");
    QTest::mouseClick(window->lblVersionInfo, Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              "Vorlix, ver.1.0.0.22, build DB.000022-28.10.2023-13.18.05_VRLX.");
}

TEST(QtDigestRunner, ALongDigestShowsItsProgressAndCancelStopsIt) {
    test::TempDir dir;
    const std::string path = dir / "large.img";
    std::filesystem::resize_file(dir.Write("large.img", ""), 64ull << 30);  // sparse

    QWidget window;
    QString shownText;
    QString title;
    Qt::WindowFlags flags;
    bool barShowsPercent = true;
    ModalUser user([&](QWidget* modal) {
        auto* dialog = qobject_cast<QProgressDialog*>(modal);
        if (!dialog) return false;
        shownText = dialog->labelText();
        title = dialog->windowTitle();
        flags = dialog->windowFlags();
        barShowsPercent = dialog->findChild<QProgressBar*>()->isTextVisible();
        dialog->findChild<QPushButton*>()->click();
        return true;
    });
    const FileDigestResult result = RunDigestWithProgress(&window, path, "Cancel", ',');
    EXPECT_EQ(result.status, FileDigestResult::Status::Cancelled);
    EXPECT_TRUE(shownText.contains(" %")) << shownText.toStdString();
    EXPECT_TRUE(shownText.endsWith(" MB/s")) << shownText.toStdString();
    // The operation's file in the title, one percentage, nothing to minimise.
    EXPECT_EQ(title, QStringLiteral("Vorlix \u2013 large.img"));
    EXPECT_FALSE(barShowsPercent);
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
}

TEST(QtFileFilter, TurnsPackFiltersIntoQtFilters) {
    EXPECT_EQ(QtFileFilter("Všechny soubory (*.*)|*.*"), "Všechny soubory (*)");
    EXPECT_EQ(QtFileFilter("Checksums|*.md5;*.MD5|All files|*.*"),
              "Checksums (*.md5 *.MD5);;All files (*)");
    EXPECT_EQ(QtFileFilter(""), "* (*)");
}

}  // namespace
}  // namespace vorlix
