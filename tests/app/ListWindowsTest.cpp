// The results window, the compare command and drops, on the offscreen platform.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "app/MainWindow.h"
#include "app/ProgramFixture.h"
#include "checksum/ResultsWindow.h"
#include "digest/Hasher.h"

namespace vorlix {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;

constexpr const char* kAbc = "900150983cd24fb0d6963f7d28e17f72";
constexpr const char* kAbd = "4911e516e5aa21d327512e0c8b197616";

QString Q(const std::string& text) { return QString::fromStdString(text); }

class ListWindows : public ::testing::Test {
  protected:
    ListWindows() {
        fixture.Start([this](const ManyFilesJob& job) {
            results = new ResultsWindow(fixture.dialogs, fixture.program->language,
                                        fixture.program->clock, window.get());
            // As the program has it: a window closed is gone.
            results->setAttribute(Qt::WA_DeleteOnClose);
            lastOutcome = results->Run(job);
            return lastOutcome;
        });
        window = std::make_unique<MainWindow>(fixture.Window(), fixture.program->language,
                                              fixture.program->clock);
        fixture.Load({});
        window->show();
    }

    std::string Label(const char* section, const char* key) {
        return fixture.program->language.GetLabel(section, key);
    }
    QModelIndex Cell(int row, ResultsColumn column) {
        return results->tblResults->model()->index(row, static_cast<int>(column));
    }
    std::vector<QString> Column(ResultsColumn column) {
        std::vector<QString> texts;
        for (int row = 0; row < results->tblResults->model()->rowCount(); ++row)
            texts.push_back(Cell(row, column).data().toString());
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

    // Plays the user while a run is under way: `act` is called every few
    // milliseconds until it returns true.
    void WhileRunning(std::function<bool()> act) {
        auto* timer = new QTimer(window.get());
        QObject::connect(timer, &QTimer::timeout, [this, timer, act] {
            if (results && results->Model().Running() && act()) timer->deleteLater();
        });
        timer->start(20);
    }
    void ClickHeader(ResultsColumn column) {
        QHeaderView* header = results->tblResults->horizontalHeader();
        const int section = static_cast<int>(column);
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(section) + 10, header->height() / 2));
    }

    test::ProgramFixture fixture;
    std::unique_ptr<MainWindow> window;
    QPointer<ResultsWindow> results;  // the latest; the main window owns them all
    ManyFilesOutcome lastOutcome;
};

TEST_F(ListWindows, AListFillsTheResultsWindowAndItsSwitchesWork) {
    fixture.root.Write("sums/abc.txt", "abc");
    fixture.root.Write("sums/bad.txt", "abd");
    const std::string list =
        fixture.root.Write("sums/MD5SUMS", std::string(kAbc) + "  abc.txt\n" + kAbc +
                                               "  bad.txt\n" + kAbc + "  gone\n");
    window->mnuFile_OpenFileMD5->setEnabled(true);
    fixture.dialogs.ThenChooseFile(list);
    window->mnuFile_OpenFileMD5->trigger();

    ASSERT_NE(results, nullptr);
    EXPECT_TRUE(results->isVisible());
    EXPECT_EQ(Column(ResultsColumn::Name), (std::vector<QString>{"abc.txt", "bad.txt", "gone"}));
    EXPECT_EQ(Column(ResultsColumn::Status),
              (std::vector<QString>{Q(Label("frmResults", "stIntact")),
                                    Q(Label("frmResults", "stDamaged")),
                                    Q(Label("frmResults", "stMissing"))}));
    // A file that was not read has neither digest nor size.
    EXPECT_EQ(Column(ResultsColumn::Digest), (std::vector<QString>{kAbc, kAbd, ""}));
    EXPECT_EQ(Column(ResultsColumn::Size), (std::vector<QString>{"3", "3", ""}));
    EXPECT_FALSE(Cell(0, ResultsColumn::Status).data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_TRUE(results->lblCounts->text().startsWith(Q(Label("frmResults", "lblFiles") + " 3/3")));
    EXPECT_FALSE(results->cmdCancel->isEnabled());
    EXPECT_EQ(results->prgProgress->value(), results->prgProgress->maximum());
    EXPECT_TRUE(results->lblProgress->text().startsWith("100 %"))
        << results->lblProgress->text().toStdString();
    EXPECT_FALSE(results->cmdSaveAs->isVisible());
    EXPECT_EQ(fixture.dialogs.Messages().back().caption, Label("modChecksumList", "listCaption"));

    results->chkProblemsOnly->setChecked(true);
    EXPECT_EQ(Column(ResultsColumn::Name), (std::vector<QString>{"bad.txt", "gone"}));
    QTest::mouseClick(results->cmdCopy, Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              Q("bad.txt\t" + Label("frmResults", "stDamaged") + "\t" + kAbd + "\t3\ngone\t" +
                Label("frmResults", "stMissing") + "\t\t\n"));
    results->chkProblemsOnly->setChecked(false);

    // Off unless ticked; ticked, the missing file goes from the table and the counts.
    EXPECT_FALSE(results->chkHideMissing->isChecked());
    results->chkHideMissing->setChecked(true);
    EXPECT_EQ(Column(ResultsColumn::Name), (std::vector<QString>{"abc.txt", "bad.txt"}));
    EXPECT_EQ(results->lblCounts->text(),
              Q(results->Model().CountsText(fixture.program->language)));
    EXPECT_TRUE(results->lblCounts->text().contains(Q(Label("frmResults", "stMissing") + ": 0")));
    EXPECT_TRUE(
        results->lblCounts->text().endsWith(Q(Label("modChecksumList", "listPassedOver") + " 1")));
    results->chkHideMissing->setChecked(false);
    EXPECT_EQ(Column(ResultsColumn::Name), (std::vector<QString>{"abc.txt", "bad.txt", "gone"}));

    // A look at it, when asked for (run under Xvfb to see real fonts).
    if (const char* shot = std::getenv("VORLIX_SCREENSHOT")) results->grab().save(shot);
}

TEST_F(ListWindows, FilesPassedOverByTheRunCountTowardsTheTotal) {
    fixture.root.Write("sums/abc.txt", "abc");
    const std::string list =
        fixture.root.Write("sums/MD5SUMS", std::string(kAbc) + "  gone\n" + kAbc + "  abc.txt\n" +
                                               kAbc + "  gone too\n");
    EXPECT_EQ(fixture.Load({"--ignore-missing", list}), 0);

    ASSERT_NE(results, nullptr);
    EXPECT_EQ(Column(ResultsColumn::Name), (std::vector<QString>{"abc.txt"}));
    const QString counts = results->lblCounts->text();
    EXPECT_TRUE(counts.startsWith(Q(Label("frmResults", "lblFiles") + " 3/3")))
        << counts.toStdString();
    EXPECT_TRUE(counts.endsWith(Q(Label("modChecksumList", "listPassedOver") + " 2")))
        << counts.toStdString();
    EXPECT_EQ(results->prgProgress->value(), results->prgProgress->maximum());
}

// The headers sort: one click puts the problems first, the next turns the
// order round, the third brings back the list's own; the selection stays
// on its file.
TEST_F(ListWindows, AClickOnAHeaderSortsAndTheSelectionFollowsItsFile) {
    fixture.root.Write("sorted/ok 10.txt", "abc");
    fixture.root.Write("sorted/ok 9.txt", "abc");
    fixture.root.Write("sorted/bad.txt", "abd");
    const std::string list = fixture.root.Write(
        "sorted/MD5SUMS", std::string(kAbc) + "  ok 10.txt\n" + kAbc + "  bad.txt\n" + kAbc +
                              "  gone\n" + kAbc + "  ok 9.txt\n");
    fixture.dialogs.ThenChooseFile(list);
    window->mnuFile_OpenFileMD5->trigger();
    ASSERT_NE(results, nullptr);
    QHeaderView* header = results->tblResults->horizontalHeader();
    results->tblResults->selectRow(2);  // "gone"
    const auto selected = [&] {
        const QModelIndexList rows = results->tblResults->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.front().data().toString() : QString();
    };

    const struct {
        ResultsColumn column;
        std::vector<QString> names;
        int indicator;  // the section marked, -1 for none
        Qt::SortOrder order;
    } clicks[] = {
        {ResultsColumn::Status,
         {"bad.txt", "gone", "ok 10.txt", "ok 9.txt"},
         1,
         Qt::AscendingOrder},
        {ResultsColumn::Status,
         {"ok 10.txt", "ok 9.txt", "gone", "bad.txt"},
         1,
         Qt::DescendingOrder},
        {ResultsColumn::Status,
         {"ok 10.txt", "bad.txt", "gone", "ok 9.txt"},
         -1,
         Qt::AscendingOrder},
        {ResultsColumn::Name, {"bad.txt", "gone", "ok 9.txt", "ok 10.txt"}, 0, Qt::AscendingOrder},
        {ResultsColumn::Size, {"gone", "ok 10.txt", "bad.txt", "ok 9.txt"}, 3, Qt::AscendingOrder},
    };
    for (const auto& click : clicks) {
        ClickHeader(click.column);
        EXPECT_EQ(Column(ResultsColumn::Name), click.names);
        EXPECT_EQ(header->isSortIndicatorShown(), click.indicator >= 0);
        if (click.indicator >= 0) {
            EXPECT_EQ(header->sortIndicatorSection(), click.indicator);
            EXPECT_EQ(header->sortIndicatorOrder(), click.order);
        }
        EXPECT_EQ(selected(), "gone");
    }
    // Copy takes the rows as they are shown.
    QTest::mouseClick(results->cmdCopy, Qt::LeftButton);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith("gone\t"));
}

// The bar and its text follow the bytes: while one large file is read and no
// file finishes, both move, and the speed is shown as for a single file.
TEST_F(ListWindows, ProgressMovesWithinALargeFileAndShowsTheSpeed) {
    const std::string small = fixture.root.Write("large/abc.txt", "abc");
    const std::string large = fixture.root.Write("large/large.img", "");
    std::filesystem::resize_file(large, 8ull << 30);  // sparse
    const std::string list = fixture.root.Write(
        "large/MD5SUMS", std::string(kAbc) + "  abc.txt\n" + kAbc + "  large.img\n");
    // A drop knows every size at the start; a list reads its sizes ahead.
    const std::vector<std::function<void()>> runs = {
        [&] {
            Drop({small, large});
        },
        [&] {
            fixture.dialogs.ThenChooseFile(list);
            window->mnuFile_OpenFileMD5->trigger();
        },
    };
    for (const auto& run : runs) {
        std::vector<int> values;
        QStringList texts;
        QElapsedTimer watch;
        watch.start();
        WhileRunning([&] {
            // A bar that stands still is seen soon enough.
            if (watch.elapsed() > 5000) results->cmdCancel->click();
            // Only the small file is done: what moves is the large one.
            if (results->Model().Rows().size() != 1) return false;
            const int value = results->prgProgress->value();
            if (values.empty() || value != values.back()) {
                values.push_back(value);
                texts << results->lblProgress->text();
            }
            if (values.size() < 3) return false;
            results->cmdCancel->click();
            return true;
        });
        run();
        ASSERT_GE(values.size(), 3u) << "the bar stood still";
        EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
        EXPECT_GT(values.back(), values.front());
        EXPECT_LT(values.back(), results->prgProgress->maximum());
        // The bytes tell the share, the list's too: one of two files done is
        // far from half of the run.
        EXPECT_LT(values.front(), results->prgProgress->maximum() / 4);
        for (const QString& text : texts) {
            EXPECT_TRUE(
                text.contains(QRegularExpression("^ *\\d+ %   \\d+\\.\\d MB   \\d+\\.\\d MB/s$")))
                << text.toStdString();
        }
        EXPECT_TRUE(lastOutcome.cancelled);
    }
}

// The close box and Escape while it runs: the run stops, the window goes at
// once and for good, and the run ends as a cancelled one.
TEST_F(ListWindows, ClosingTheWindowWhileItRunsCancelsAndCloses) {
    const std::string large = fixture.root.Write("closing/large.img", "");
    std::filesystem::resize_file(large, 64ull << 30);  // sparse
    const std::string list =
        fixture.root.Write("closing/MD5SUMS", std::string(kAbc) + "  large.img\n");
    const struct {
        const char* how;
        std::function<void(ResultsWindow&)> close;
    } ways[] = {
        {"close box", [](ResultsWindow& window) { window.close(); }},
        {"Escape", [](ResultsWindow& window) { QTest::keyClick(&window, Qt::Key_Escape); }},
    };
    for (const auto& way : ways) {
        fixture.dialogs.Clear();
        bool hiddenAtOnce = false;
        WhileRunning([&] {
            way.close(*results);
            hiddenAtOnce = !results->isVisible();
            return true;
        });
        fixture.dialogs.ThenChooseFile(list);
        window->mnuFile_OpenFileMD5->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(hiddenAtOnce) << way.how;
        EXPECT_TRUE(lastOutcome.cancelled) << way.how;
        EXPECT_EQ(results, nullptr) << way.how << ": the window is gone";
        // The list's summary tells that it was not checked.
        ASSERT_FALSE(fixture.dialogs.Messages().empty()) << way.how;
        EXPECT_EQ(fixture.dialogs.Messages().back().caption,
                  Label("modChecksumList", "listCaption"));
        EXPECT_EQ(fixture.dialogs.Messages().back().icon, MessageIcon::Stop);
    }
    EXPECT_TRUE(window->isEnabled());
}

// A folder's checksum file: the digests in a column of their own, the
// status in its own, and one message once the file is written.
TEST_F(ListWindows, AFoldersRunShowsDigestAndStatusApartAndSaysOnceThatItSaved) {
    fixture.root.Write("photos/a.jpg", "abc");
    fixture.root.Write("photos/b.jpg", "");
    fixture.dialogs.Clear();
    Drop({fixture.root / "photos"});
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(Column(ResultsColumn::Name), (std::vector<QString>{"photos/a.jpg", "photos/b.jpg"}));
    EXPECT_EQ(Column(ResultsColumn::Status),
              (std::vector<QString>(2, Q(Label("frmResults", "stDigested")))));
    EXPECT_EQ(Column(ResultsColumn::Digest),
              (std::vector<QString>{kAbc, "d41d8cd98f00b204e9800998ecf8427e"}));
    EXPECT_EQ(Column(ResultsColumn::Size), (std::vector<QString>{"3", "0"}));
    ASSERT_EQ(fixture.dialogs.Messages().size(), 1u);
    EXPECT_EQ(fixture.dialogs.Messages()[0].caption, Label("modChecksumList", "folderCaption"));
    EXPECT_NE(fixture.dialogs.Messages()[0].text.find(fixture.root / "photos.MD5"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(fixture.root / "photos.MD5"));
}

TEST_F(ListWindows, CompareTakesTheClipboardsDigestAndMarksTheBox) {
    const std::string file = fixture.root.Write("abc.iso", "abc");
    fixture.Window().txtPathAndFileName_Change(file);
    const QFont font = window->txtMD5Result->font();
    const QColor base = window->txtMD5Result->palette().color(QPalette::Base);
    QGuiApplication::clipboard()->setText(Q("MD5 (abc.iso) = " + std::string(kAbc)));
    window->mnuFile_CompareDigest->trigger();

    EXPECT_EQ(window->mnuFile_CompareDigest->shortcut(), QKeySequence("Ctrl+Shift+V"));
    EXPECT_EQ(window->txtMD5Result->text(), kAbc) << "calculated first";
    ASSERT_EQ(fixture.dialogs.Messages().size(), 1u);
    EXPECT_EQ(fixture.dialogs.Messages()[0].icon, MessageIcon::Information);
    EXPECT_NE(fixture.dialogs.Messages()[0].text.find("abc.iso"), std::string::npos);
    const QColor match = window->txtMD5Result->palette().color(QPalette::Base);
    EXPECT_NE(match, base);
    // The mark colours the box and leaves its type as it was.
    EXPECT_EQ(window->txtMD5Result->font(), font);
    EXPECT_EQ(QFontInfo(window->txtMD5Result->font()).pointSizeF(), QFontInfo(font).pointSizeF());

    QGuiApplication::clipboard()->setText(Q("Published MD5: " + std::string(32, '0')));
    window->mnuFile_CompareDigest->trigger();
    EXPECT_EQ(fixture.dialogs.Messages().back().icon, MessageIcon::Stop);
    EXPECT_EQ(fixture.Window().State().digestComparison, DigestComparison::Mismatch);
    EXPECT_NE(window->txtMD5Result->palette().color(QPalette::Base), match);
    EXPECT_EQ(window->txtMD5Result->font(), font);

    // Until the path changes.
    QTest::keyClicks(window->txtPathAndFileName, "x");
    EXPECT_EQ(window->txtMD5Result->palette().color(QPalette::Base), base);
    EXPECT_EQ(window->txtMD5Result->font(), font);
}

// Two digests on the clipboard: the prompt asks, wide enough for the longest
// digest anyone publishes and with its title whole. Without a file the
// command says that one is needed first.
TEST_F(ListWindows, ThePromptIsWideAndNoFileMeansChooseOneFirst) {
    window->mnuFile_CompareDigest->trigger();
    EXPECT_EQ(fixture.dialogs.Messages(),
              std::vector{test::Message(Label("modChecksumList", "compareNoFile"),
                                        Label("modChecksumList", "compareCaption"),
                                        MessageIcon::Information)});

    const std::string file = fixture.root.Write("abc.iso", "abc");
    fixture.Window().txtPathAndFileName_Change(file);
    QGuiApplication::clipboard()->setText(
        Q(std::string(kAbc) + "  abc.iso\n" + kAbd + "  abd.iso\n"));
    QString title;
    int titleWidth = 0;
    int boxWidth = 0;
    int digitsWidth = 0;
    int dialogWidth = 0;
    QTimer::singleShot(0, [&] {
        auto* prompt = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(prompt, nullptr);
        auto* box = prompt->findChild<QLineEdit*>();
        title = prompt->windowTitle();
        titleWidth = prompt->fontMetrics().horizontalAdvance(title);
        boxWidth = box->width();
        digitsWidth = box->fontMetrics().horizontalAdvance(QString(128, QLatin1Char('0')));
        dialogWidth = prompt->width();
        QTest::keyClicks(box, QString::fromLatin1(kAbc));
        prompt->accept();
    });
    fixture.dialogs.Clear();
    window->mnuFile_CompareDigest->trigger();
    EXPECT_EQ(title, Q(Label("modChecksumList", "compareCaption")));
    // A screen too narrow for it gives nine tenths of its width (a large one
    // is tried too, see CMakeLists.txt).
    const int room = window->screen()->availableGeometry().width() * 9 / 10;
    EXPECT_GE(boxWidth, std::min(digitsWidth, room));
    EXPECT_LE(boxWidth, window->screen()->availableGeometry().width());
    EXPECT_GE(dialogWidth, titleWidth + 100);
    EXPECT_EQ(fixture.Window().State().digestComparison, DigestComparison::Match);
}

TEST_F(ListWindows, DropsVerifyDigestOrFillTheResultsWindow) {
    const std::string one = fixture.root.Write("drop/one.txt", "abc");
    Drop({one});
    EXPECT_EQ(window->txtPathAndFileName->text(), Q(one));
    EXPECT_EQ(window->txtMD5Result->text(), kAbc);

    const std::string sums =
        fixture.root.Write("drop/one.txt.md5", std::string(kAbc) + " *one.txt\n");
    Drop({sums});
    EXPECT_EQ(fixture.dialogs.Messages().back().caption, Label("frmVorlix", "msgbox9Text3"));

    // A list of another digest is verified too, not digested.
    const std::string sha256 = fixture.root.Write(
        "drop/SHA256SUMS", TextDigest(DigestAlgorithm::Sha256, "abc") + "  one.txt\n");
    Drop({sha256});
    EXPECT_NE(window->txtPathAndFileName->text(), Q(sha256));
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(Column(ResultsColumn::Name), (std::vector<QString>{"one.txt"}));
    results = nullptr;

    const std::string two = fixture.root.Write("drop/sub/two", "");
    Drop({one, fixture.root / "drop/sub"});
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(Column(ResultsColumn::Name), (std::vector<QString>{Q(one), Q(two)}));
    EXPECT_TRUE(results->cmdSaveAs->isEnabled());
    results->SaveAs(fixture.root / "drop/all.md5");
    EXPECT_EQ(ReadAll(fixture.root / "drop/all.md5")
                  .substr(ReadAll(fixture.root / "drop/all.md5").find("\r\n") + 2),
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
