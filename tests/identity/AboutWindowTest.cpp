#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <cstdlib>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "identity/AboutFixture.h"
#include "identity/AboutWindow.h"
#include "ui/ClickableLabel.h"
#include "ui/HyperlinkLabel.h"

namespace vorlix {

// Takes the links the window opens, so no browser starts.
class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QStringList opened;
  public slots:
    void Open(const QUrl& url) { opened << url.toString(); }
};

namespace {

class AboutWindowTest : public ::testing::Test, protected test::AboutPackFixture {
  protected:
    void SetUp() override {
        for (const char* scheme : {"https", "http", "mailto"}) {
            QDesktopServices::setUrlHandler(QLatin1String(scheme), &catcher, "Open");
        }
    }
    void TearDown() override {
        for (const char* scheme : {"https", "http", "mailto"}) {
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
        }
    }
    std::unique_ptr<AboutWindow> Shown() {
        auto window = std::make_unique<AboutWindow>(language, clock, test::kManualUrl);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }

    UrlCatcher catcher;
    test::YearClock clock{2031};
};

TEST_F(AboutWindowTest, ShowsTheTextsFramelessAndRounded) {
    auto window = Shown();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("About\u00a0Vorlix"));
    EXPECT_EQ(window->lblVersion->text(), QStringLiteral("Version 1.0.0.22 Alfa"));
    EXPECT_TRUE(window->lblCompanyName->text().endsWith(QStringLiteral("31")));
    EXPECT_EQ(window->lblShareTypeProgram->text(), QStringLiteral("Licence: Shareware"));
    EXPECT_TRUE(window->lblShareTypeProgram->isVisible());
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window->size(), QSize(643, 298));  // 9645 x 4470 twips

    // Rounded: the corner pixel is cut away, the middle of each edge stays.
    const QRegion mask = window->mask();
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));
    EXPECT_FALSE(mask.contains(QPoint(642, 297)));
    EXPECT_FALSE(mask.contains(QPoint(8, 8)));
    EXPECT_TRUE(mask.contains(QPoint(321, 0)));
    EXPECT_TRUE(mask.contains(QPoint(0, 149)));
    EXPECT_TRUE(mask.contains(QPoint(20, 20)));

    const QString shot = QString::fromStdString((folder.Path() / "about.png").string());
    ASSERT_TRUE(window->grab().save(shot));
    if (const char* keep = std::getenv("VORLIX_KEEP_SCREENSHOT")) {
        window->grab().save(QString::fromLocal8Bit(keep));
    }
}

TEST_F(AboutWindowTest, ClosesByItselfWhenTheTimerRunsOut) {
    auto window = Shown();
    EXPECT_TRUE(window->tmrAutoCloseDialog->isActive());
    EXPECT_EQ(window->tmrAutoCloseDialog->interval(), 20000);
    window->tmrAutoCloseDialog->setInterval(5);
    window->tmrAutoCloseDialog->start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 2000));
    EXPECT_FALSE(window->tmrAutoCloseDialog->isActive());
}

TEST_F(AboutWindowTest, AClickOnTheWindowOrAnyPlainLabelClosesIt) {
    using Target = std::function<QWidget*(AboutWindow&)>;
    const std::vector<std::pair<const char*, Target>> targets = {
        {"window", [](AboutWindow& w) -> QWidget* { return &w; }},
        {"lblTitle", [](AboutWindow& w) -> QWidget* { return w.lblTitle; }},
        {"lblVersion", [](AboutWindow& w) -> QWidget* { return w.lblVersion; }},
        {"lblBuild", [](AboutWindow& w) -> QWidget* { return w.lblBuild; }},
        {"lblDescription", [](AboutWindow& w) -> QWidget* { return w.lblDescription; }},
        {"lblDisclaimer", [](AboutWindow& w) -> QWidget* { return w.lblDisclaimer; }},
        {"lblShareTypeProgram", [](AboutWindow& w) -> QWidget* { return w.lblShareTypeProgram; }},
        {"lblCompanyName", [](AboutWindow& w) -> QWidget* { return w.lblCompanyName; }},
    };
    for (const auto& [name, target] : targets) {
        SCOPED_TRACE(name);
        auto window = Shown();
        QWidget* widget = target(*window);
        // An empty spot of the window: left of the logo.
        const QPoint spot = widget == window.get() ? QPoint(15, 150) : QPoint(2, 2);
        QTest::mouseClick(widget, Qt::LeftButton, {}, spot);
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(window->result(), QDialog::Accepted);
    }
    EXPECT_TRUE(catcher.opened.isEmpty());
}

TEST_F(AboutWindowTest, LinksOpenTheirAddressAndKeepTheWindowOpen) {
    auto window = Shown();
    for (HyperlinkLabel* link : {window->hlblLogo, window->hlblSupportEmail, window->hlblURL1,
                                 window->hlblURL2, window->hlblURL3}) {
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(3, 3));
    }
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(catcher.opened.size(), 5);
    EXPECT_EQ(catcher.opened[4], QString::fromLatin1(test::kManualUrl));
    EXPECT_TRUE(catcher.opened[1].startsWith(QStringLiteral("mailto:")));
}

// The maker's logo is drawn at the screen's pixel ratio (this runs at twice
// the scale too, see CMakeLists.txt), and the link's underline stays out of it.
TEST_F(AboutWindowTest, TheLogoIsDrawnForTheScreen) {
    auto window = Shown();
    const double ratio = window->devicePixelRatioF();
    const QSize size = window->hlblLogo->size();
    const auto blank = [&] {
        QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        return image;
    };
    QImage shown = blank();
    window->hlblLogo->render(&shown, {}, {}, QWidget::DrawChildren);
    QImage drawn = blank();
    {
        QPainter painter(&drawn);
        painter.setRenderHint(QPainter::Antialiasing);
        AboutWindow::PaintMakerLogo(painter, size.width());
    }
    EXPECT_EQ(shown, drawn) << "at " << ratio;
}

TEST_F(AboutWindowTest, EscapeClosesOtherKeysDoNot) {
    auto window = Shown();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_A, Qt::Key_F4}) {
        QTest::keyClick(window.get(), key);
    }
    EXPECT_TRUE(window->isVisible());
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

// The shipped texts, in both languages: each whole, in a box of its own that
// touches no other, inside the rounded outline, at the design's font sizes.
TEST(AboutWindowPacksTest, ShippedTextsFitTheWindowWithoutTouching) {
    for (int pack : {1027, 1033}) {
        SCOPED_TRACE(pack);
        test::ScriptedDialogs dialogs;
        Language language(VORLIX_SOURCE_PACKS);
        language.LoadLanguageFile(pack);
        test::YearClock clock(2026);
        AboutWindow window(language, clock, test::kManualUrl);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

        const std::vector<std::pair<QLabel*, double>> designSizes = {
            {window.lblTitle, 27.75},      {window.lblVersion, 12},
            {window.lblBuild, 12},         {window.lblDescription, 12},
            {window.lblDisclaimer, 12},    {window.lblShareTypeProgram, 14.25},
            {window.hlblSupportEmail, 12}, {window.hlblURL1, 15.75},
            {window.hlblURL2, 15.75},      {window.hlblURL3, 15.75},
            {window.lblCompanyName, 9.75},
        };
        for (const auto& [label, points] : designSizes) {
            EXPECT_EQ(label->font().pointSizeF(), points) << label->text().toStdString();
        }

        const QRegion outline = window.mask();
        QList<QLabel*> labels = window.findChildren<QLabel*>();
        labels.removeIf([](QLabel* label) { return label->isHidden(); });
        ASSERT_EQ(labels.size(), 12);
        for (QLabel* label : labels) {
            SCOPED_TRACE(label->text().toStdString());
            const QRect box = label->geometry();
            for (const QPoint corner :
                 {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
                EXPECT_TRUE(outline.contains(corner)) << corner.x() << "," << corner.y();
            }
            if (label->wordWrap()) {
                EXPECT_LE(label->heightForWidth(label->width()), label->height());
            } else if (label->pixmap().isNull()) {
                EXPECT_LE(label->sizeHint().width(), label->width());
                EXPECT_LE(label->sizeHint().height(), label->height());
            }
            for (QLabel* other : labels) {
                if (other == label) continue;
                EXPECT_FALSE(box.adjusted(-1, -1, 1, 1).intersects(other->geometry()))
                    << "touches " << other->text().toStdString();
            }
        }
        if (const char* keep = std::getenv("VORLIX_KEEP_SCREENSHOT")) {
            window.grab().save(QString::fromLocal8Bit(keep) + QString::number(pack) + ".png");
        }
    }
}

}  // namespace
}  // namespace vorlix

#include "AboutWindowTest.moc"
