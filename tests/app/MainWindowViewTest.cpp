#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "app/Artwork.h"
#include "app/MainWindow.h"
#include "app/ProgramFixture.h"
#include "app/QtDigestRunner.h"
#include "digest/Hasher.h"
#include "ui/HyperlinkLabel.h"
#include "ui/QtDialogs.h"

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

// The digests beside MD5 get fields below it, and a checksum file beside the
// data file marks the field of the digest it publishes; without either the
// window keeps its designed size.
TEST_F(MainWindowView, OtherDigestsShowBelowTheDesignAndTheirMarkInColour) {
    window->show();
    const QSize designed = window->size();
    const std::string file = fixture.root.Write("dl/image.iso", "abc");
    const std::string sha256 = TextDigest(DigestAlgorithm::Sha256, "abc");
    fixture.root.Write("dl/SHA256SUMS", sha256 + "  image.iso\n");
    fixture.program->options.AlsoCompute = DigestAlgorithm::Sha1;
    fixture.Window().txtPathAndFileName_Change(file);
    ASSERT_TRUE(fixture.Window().CalculateDigest());

    QLineEdit* sha1Field = window->txtOtherDigests[static_cast<std::size_t>(DigestAlgorithm::Sha1)];
    QLineEdit* sha256Field =
        window->txtOtherDigests[static_cast<std::size_t>(DigestAlgorithm::Sha256)];
    EXPECT_TRUE(sha1Field->isVisible());
    EXPECT_EQ(sha1Field->text(), Q(TextDigest(DigestAlgorithm::Sha1, "abc")));
    EXPECT_TRUE(sha256Field->isVisible());
    EXPECT_EQ(sha256Field->text(), Q(sha256));
    EXPECT_FALSE(
        window->txtOtherDigests[static_cast<std::size_t>(DigestAlgorithm::Sha512)]->isVisible());
    EXPECT_TRUE(window->lblPublished->isVisible());
    EXPECT_TRUE(window->lblPublished->text().contains("SHA256SUMS"));
    EXPECT_EQ(sha256Field->palette().color(QPalette::Base), QColor(0xc6, 0xef, 0xce));
    EXPECT_NE(sha1Field->palette().color(QPalette::Base), QColor(0xc6, 0xef, 0xce));
    EXPECT_GT(window->height(), designed.height());
    // Every field is whole on screen.
    EXPECT_LE(sha256Field->mapTo(window.get(), QPoint(0, sha256Field->height())).y(),
              window->height());

    fixture.Window().txtPathAndFileName_Change(file + ".none");
    EXPECT_FALSE(sha1Field->isVisible());
    EXPECT_FALSE(window->lblPublished->isVisible());
    EXPECT_EQ(window->size(), designed);
}

// Larger than designed, the path, size and digest boxes take the width and
// what stands right of them or at the bottom moves along; at the designed
// size everything is where it was designed, and the window gets no smaller.
TEST_F(MainWindowView, TheBoxesGrowWithTheWindowAndTheRestMovesAlong) {
    window->show();
    QWidget* area = window->centralWidget();
    EXPECT_EQ(area->minimumSize(), QSize(696, 488));
    const int wider = 300;
    const int taller = 200;
    const struct {
        QWidget* widget;
        int dx, dy, dw;
    } expected[] = {
        {window->txtPathAndFileName, 0, 0, wider}, {window->txtFileSize, 0, 0, wider},
        {window->txtMD5Result, 0, 0, wider},       {window->lblVersionInfo, 0, taller, wider},
        {window->cmdSelectFile, wider, 0, 0},      {window->cmndCalculate, wider, 0, 0},
        {window->cndSaveMD5File, wider, 0, 0},     {window->cmdEndProgram, wider, 0, 0},
        {window->hrlOnLineHelp, wider, 0, 0},      {window->picLogoMD5, wider, taller, 0},
        {window->Label1, wider / 2, 0, 0},         {window->hrlTWHomePage, 0, 0, 0},
        {window->igbCzechFlag, 0, 0, 0},           {window->igbEnglishFlag, 0, 0, 0},
        {window->lblFileSource, 0, 0, 0},          {window->lblFileSize, 0, 0, 0},
        {window->lblMD5Result, 0, 0, 0},           {window->lblTimeOperate, 0, 0, 0},
        {window->txtTimeOperate, 0, 0, 0},
    };
    std::vector<QRect> designed;
    for (const auto& e : expected) designed.push_back(e.widget->geometry());

    const QSize start = window->size();
    window->resize(start + QSize(wider, taller));
    QApplication::processEvents();
    ASSERT_EQ(area->size(), QSize(696 + wider, 488 + taller));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const auto& e = expected[i];
        const QRect was = designed[i];
        EXPECT_EQ(e.widget->geometry(),
                  QRect(was.x() + e.dx, was.y() + e.dy, was.width() + e.dw, was.height()))
            << e.widget->metaObject()->className() << " at " << was.x() << "," << was.y();
    }

    window->resize(start - QSize(100, 100));
    QApplication::processEvents();
    EXPECT_EQ(area->size(), QSize(696, 488));
    for (std::size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(expected[i].widget->geometry(), designed[i]);
}

// Drawn for the screen: at a device pixel ratio of 2 the flags and the logo
// get 2 pixels to a point of their own, not a 1x picture enlarged (this runs
// at twice the scale too, see CMakeLists.txt).
TEST_F(MainWindowView, PicturesAreDrawnAtTheScreensPixelRatio) {
    window->show();
    const struct {
        PictureLabel* label;
        void (*paint)(QPainter&, double);
    } pictures[] = {
        {window->igbCzechFlag, artwork::PaintCzechFlag},
        {window->igbEnglishFlag, artwork::PaintEnglishFlag},
        {window->picLogoMD5, artwork::PaintLogo},
    };
    const double ratio = window->devicePixelRatioF();
    for (const auto& picture : pictures) {
        EXPECT_TRUE(picture.label->pixmap().isNull());
        const auto blank = [&] {
            QImage image(picture.label->size() * ratio, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::transparent);
            return image;
        };
        QImage shown = blank();
        picture.label->render(&shown, {}, {}, QWidget::DrawChildren);
        QImage drawn = blank();
        {
            QPainter painter(&drawn);
            painter.setRenderHint(QPainter::Antialiasing);
            picture.paint(painter, picture.label->width());
        }
        EXPECT_EQ(shown, drawn) << picture.label->toolTip().toStdString() << " at " << ratio;
    }
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
        return RunDigestWithProgress(window.get(), path, DigestAlgorithm::Md5, "Cancel", '.');
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
    const FileDigestResult result =
        RunDigestWithProgress(&window, path, DigestAlgorithm::Md5, "Cancel", ',');
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
