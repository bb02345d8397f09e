#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdlib>

#include "ui/EmergencyHelp.h"
#include "ui/EmergencyHelpWindow.h"

namespace vorlix {
namespace {

TEST(EmergencyHelpWindowTest, ShowsTheTextOnBlueAndHasOkFocused) {
    EmergencyHelpWindow window(kEmergencyHelpCaption, EmergencyHelpText());
    window.show();
    QApplication::processEvents();

    EXPECT_EQ(window.windowTitle(), "Emergency Help");
    EXPECT_TRUE(window.isModal());
    EXPECT_EQ(window.size(), QSize(441, 210));  // 6615 x 3150 twips
    EXPECT_EQ(window.txbWarningTest()->toPlainText(),
              "Warning text help\nThere was an error when loading the language packs, the "
              "files are inconsistent. Please solve the problem by reinstalling the program.");
    EXPECT_TRUE(window.txbWarningTest()->isReadOnly());
    EXPECT_EQ(window.cmdOK()->text(), "&OK");
    EXPECT_EQ(window.focusWidget(), window.cmdOK());
    EXPECT_FALSE(window.windowIcon().isNull());

    const QImage image = window.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(2, 2)), QColor(59, 84, 148));
    EXPECT_EQ(QColor(image.pixel(window.txbWarningTest()->geometry().bottomRight() - QPoint(2, 2))),
              QColor(59, 84, 148));
    if (const char* folder = std::getenv("VORLIX_SCREENSHOTS")) {
        image.save(QString::fromLocal8Bit(folder) + "/emergency-help.png");
        window.windowIcon().pixmap(48).save(QString::fromLocal8Bit(folder) + "/emergency-icon.png");
    }
}

// Run on the default small screen and again on a large one (see CMakeLists).
TEST(EmergencyHelpWindowTest, OpensAtItsPlaceOnTheScreen) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect designed(723, 384, 441, 210);  // 10845, 5760 twips
    const QPoint expected = area.contains(designed) ? designed.topLeft()
                                                    : QPoint(area.x() + (area.width() - 441) / 2,
                                                             area.y() + (area.height() - 210) / 2);
    EmergencyHelpWindow window(kEmergencyHelpCaption, EmergencyHelpText());
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(window.pos(), expected) << area.width() << "x" << area.height();
}

TEST(EmergencyHelpWindowTest, OkClosesTheModalWindow) {
    bool clicked = false;
    QTimer::singleShot(0, [&] {
        auto* window = qobject_cast<EmergencyHelpWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        window->cmdOK()->click();
        clicked = true;
    });
    EmergencyHelpWindow::ShowModal(kEmergencyHelpCaption, EmergencyHelpText());
    EXPECT_TRUE(clicked);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace vorlix
