// The results window, the compare command and drops, on the offscreen platform.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QUrl>
#include <cstdlib>
#include <filesystem>

#include "app/MainWindow.h"
#include "app/ProgramFixture.h"
#include "checksum/ResultsWindow.h"

namespace vorlix {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;

constexpr const char* kAbc = "900150983cd24fb0d6963f7d28e17f72";

QString Q(const std::string& text) { return QString::fromStdString(text); }

class ListWindows : public ::testing::Test {
protected:
    ListWindows() {
        fixture.Start([this](const ManyFilesJob& job) {
            results = new ResultsWindow(fixture.dialogs, fixture.program->language,
                                        fixture.program->clock, window.get());
            return results->Run(job);
        });
        window = std::make_unique<MainWindow>(fixture.Window(), fixture.program->language,
                                              fixture.program->clock);
        fixture.Load({});
        window->show();
    }

    std::string Label(const char* section, const char* key) {
        return fixture.program->language.GetLabel(section, key);
    }
    std::vector<QString> Column(int column) {
        std::vector<QString> texts;
        for (int row = 0; row < results->tblResults->rowCount(); ++row)
            texts.push_back(results->tblResults->item(row, column)->text());
        return texts;
    }
    void Drop(const std::vector<std::string>& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const auto& path : paths) urls.push_back(QUrl::fromLocalFile(Q(path)));
        data.setUrls(urls);
        const QPointF at(window->width() / 2.0, window->height() / 2.0);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &drop);
        QApplication::processEvents();
    }

    test::ProgramFixture fixture;
    std::unique_ptr<MainWindow> window;
    ResultsWindow* results = nullptr;  // the latest; the main window owns them all
};

TEST_F(ListWindows, AListFillsTheResultsWindowAndItsSwitchesWork) {
    fixture.root.Write("sums/abc.txt", "abc");
    fixture.root.Write("sums/bad.txt", "abd");
    const std::string list = fixture.root.Write(
        "sums/MD5SUMS", std::string(kAbc) + "  abc.txt\n" + kAbc + "  bad.txt\n" + kAbc + "  gone\n");
    window->mnuFile_OpenFileMD5->setEnabled(true);
    fixture.dialogs.ThenChooseFile(list);
    window->mnuFile_OpenFileMD5->trigger();

    ASSERT_NE(results, nullptr);
    EXPECT_TRUE(results->isVisible());
    EXPECT_EQ(Column(0), (std::vector<QString>{"abc.txt", "bad.txt", "gone"}));
    EXPECT_EQ(Column(1), (std::vector<QString>{Q(Label("frmResults", "stIntact")),
                                               Q(Label("frmResults", "stDamaged")),
                                               Q(Label("frmResults", "stMissing"))}));
    EXPECT_EQ(Column(2), (std::vector<QString>{"3", "3", "0"}));
    EXPECT_FALSE(results->tblResults->item(0, 1)->icon().isNull());
    EXPECT_TRUE(results->lblCounts->text().startsWith(Q(Label("frmResults", "lblFiles") + " 3/3")));
    EXPECT_FALSE(results->cmdCancel->isEnabled());
    EXPECT_EQ(results->prgProgress->value(), 3);
    EXPECT_FALSE(results->cmdSaveAs->isVisible());
    EXPECT_EQ(fixture.dialogs.Messages().back().caption, Label("modChecksumList", "listCaption"));

    results->chkProblemsOnly->setChecked(true);
    EXPECT_EQ(Column(0), (std::vector<QString>{"bad.txt", "gone"}));
    QTest::mouseClick(results->cmdCopy, Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              Q("bad.txt\t" + Label("frmResults", "stDamaged") + "\t3\ngone\t" +
                Label("frmResults", "stMissing") + "\t0\n"));
    results->chkProblemsOnly->setChecked(false);

    // A look at it, when asked for (run under Xvfb to see real fonts).
    if (const char* shot = std::getenv("VORLIX_SCREENSHOT")) results->grab().save(shot);
}

TEST_F(ListWindows, CompareTakesTheClipboardsDigestAndMarksTheBox) {
    const std::string file = fixture.root.Write("abc.iso", "abc");
    fixture.Window().txtPathAndFileName_Change(file);
    QGuiApplication::clipboard()->setText(Q("MD5 (abc.iso) = " + std::string(kAbc)));
    window->mnuFile_CompareDigest->trigger();

    EXPECT_EQ(window->mnuFile_CompareDigest->shortcut(), QKeySequence("Ctrl+Shift+V"));
    EXPECT_EQ(window->txtMD5Result->text(), kAbc) << "calculated first";
    ASSERT_EQ(fixture.dialogs.Messages().size(), 1u);
    EXPECT_EQ(fixture.dialogs.Messages()[0].icon, MessageIcon::Information);
    EXPECT_NE(fixture.dialogs.Messages()[0].text.find("abc.iso"), std::string::npos);
    EXPECT_TRUE(window->txtMD5Result->styleSheet().contains("background"));

    QGuiApplication::clipboard()->setText(Q(std::string(32, '0')));
    window->mnuFile_CompareDigest->trigger();
    EXPECT_EQ(fixture.dialogs.Messages().back().icon, MessageIcon::Stop);
    EXPECT_EQ(fixture.Window().State().digestComparison, DigestComparison::Mismatch);

    // Until the path changes.
    QTest::keyClicks(window->txtPathAndFileName, "x");
    EXPECT_TRUE(window->txtMD5Result->styleSheet().isEmpty());
}

TEST_F(ListWindows, DropsVerifyDigestOrFillTheResultsWindow) {
    const std::string one = fixture.root.Write("drop/one.txt", "abc");
    Drop({one});
    EXPECT_EQ(window->txtPathAndFileName->text(), Q(one));
    EXPECT_EQ(window->txtMD5Result->text(), kAbc);

    const std::string sums = fixture.root.Write("drop/one.txt.md5", std::string(kAbc) + " *one.txt\n");
    Drop({sums});
    EXPECT_EQ(fixture.dialogs.Messages().back().caption, Label("frmVorlix", "msgbox9Text3"));

    const std::string two = fixture.root.Write("drop/sub/two", "");
    Drop({one, fixture.root / "drop/sub"});
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(Column(0), (std::vector<QString>{Q(one), Q(two)}));
    EXPECT_TRUE(results->cmdSaveAs->isEnabled());
    results->SaveAs(fixture.root / "drop/all.md5");
    EXPECT_EQ(ReadAll(fixture.root / "drop/all.md5").substr(ReadAll(fixture.root / "drop/all.md5").find("\r\n") + 2),
              std::string(kAbc) + " *one.txt\r\nd41d8cd98f00b204e9800998ecf8427e *sub/two\r\n");

    // A folder alone gets its checksum file.
    Drop({fixture.root / "drop/sub"});
    EXPECT_TRUE(fs::exists(fixture.root / "drop/sub.MD5"));
}

// "Save as…" saves as every checksum file is saved: the program's dialog
// (which adds ".MD5"), the question before replacing, never a data file.
TEST_F(ListWindows, SaveAsAsksBeforeReplacingAndNeverReplacesAFileItLists) {
    const std::string one = fixture.root.Write("drop/one.txt", "abc");
    const std::string two = fixture.root.Write("drop/two.txt", "");
    Drop({one, two});
    ASSERT_NE(results, nullptr);
    const std::string old = fixture.root.Write("drop/old.md5", "old");
    fixture.dialogs.Clear();

    fixture.dialogs.ThenChooseFile(old).ThenAnswer(Answer::No).ThenCancelFileDialog();
    QTest::mouseClick(results->cmdSaveAs, Qt::LeftButton);
    const auto& seen = fixture.dialogs.Seen();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].kind, test::Shown::Kind::FileDialog);
    EXPECT_EQ(seen[0].request.mode, FileDialogMode::Save);
    EXPECT_EQ(seen[0].request.defaultExtension, "MD5");
    EXPECT_EQ(seen[1].text,
              Label("frmVorlix", "lblFileSource") + old + " " + Label("frmVorlix", "msgbox1Text1"));
    EXPECT_EQ(seen[1].buttons, MessageButtons::YesNo);
    EXPECT_EQ(seen[3].caption, Label("frmVorlix", "msgbox2Caption"));
    EXPECT_EQ(ReadAll(old), "old");

    fixture.dialogs.Clear();
    fixture.dialogs.ThenChooseFile(one);
    QTest::mouseClick(results->cmdSaveAs, Qt::LeftButton);
    EXPECT_EQ(fixture.dialogs.Messages(),
              std::vector{test::Message(Label("frmVorlix", "lblFileSource") + " " + one + " " +
                                            Label("modSaveFile", "saveIsDataFile"),
                                        Label("frmVorlix", "msgbox2Caption"), MessageIcon::Stop)});
    EXPECT_EQ(ReadAll(one), "abc");

    fixture.dialogs.Clear();
    fixture.dialogs.ThenChooseFile(old).ThenAnswer(Answer::Yes);
    QTest::mouseClick(results->cmdSaveAs, Qt::LeftButton);
    EXPECT_NE(ReadAll(old).find(std::string(kAbc) + " *one.txt\r\n"), std::string::npos);
    EXPECT_EQ(fixture.dialogs.Messages().back().caption, Label("frmVorlix", "msgbox4Text2"));
    EXPECT_TRUE(fixture.dialogs.ScriptUsedUp());
}

}  // namespace
}  // namespace vorlix
