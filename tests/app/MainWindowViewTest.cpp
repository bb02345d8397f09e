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
#include <QProgressDialog>
#include <QTimer>
#include <filesystem>

namespace vorlix {
namespace {

using test::ProgramFixture;

QString Q(const std::string& text) { return QString::fromStdString(text); }

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
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget())) {
            shownText = dialog->labelText();
            if (auto* button = dialog->findChild<QPushButton*>()) button->click();
        }
    });
    user.start(50);
    const FileDigestResult result = RunDigestWithProgress(&window, path, "Cancel", ',');
    EXPECT_EQ(result.status, FileDigestResult::Status::Cancelled);
    EXPECT_TRUE(shownText.contains(" %")) << shownText.toStdString();
    EXPECT_TRUE(shownText.endsWith(" MB/s")) << shownText.toStdString();
}

TEST(QtFileFilter, TurnsPackFiltersIntoQtFilters) {
    EXPECT_EQ(QtFileFilter("Všechny soubory (*.*)|*.*"), "Všechny soubory (*)");
    EXPECT_EQ(QtFileFilter("Checksums|*.md5;*.MD5|All files|*.*"),
              "Checksums (*.md5 *.MD5);;All files (*)");
    EXPECT_EQ(QtFileFilter(""), "* (*)");
}

}  // namespace
}  // namespace vorlix
