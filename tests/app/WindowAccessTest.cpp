// The windows as the keyboard and a screen reader reach them, on the
// offscreen platform.
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/ProgramFixture.h"
#include "checksum/ResultsWindow.h"
#include "ui/EmergencyHelpWindow.h"
#include "ui/HyperlinkLabel.h"
#include "ui/QtDialogs.h"

namespace vorlix {
namespace {

constexpr const char* kAbc = "900150983cd24fb0d6963f7d28e17f72";

QString Q(const std::string& text) { return QString::fromStdString(text); }

// A part of another control (a table's scroll bar, a combo box's list) is
// named through that control.
bool PartOfAnother(QWidget* widget, QWidget* window) {
    for (QWidget* up = widget->parentWidget(); up && up != window; up = up->parentWidget()) {
        if (qobject_cast<QAbstractScrollArea*>(up) || qobject_cast<QComboBox*>(up)) return true;
    }
    return false;
}

// The controls of a window that a screen reader could not name: anything
// that takes the focus, and the pictures.
std::vector<std::string> Unnamed(QWidget* window) {
    std::vector<std::string> unnamed;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window) || PartOfAnother(widget, window)) continue;
        const auto* picture = qobject_cast<PictureLabel*>(widget);
        const bool control =
            widget->focusPolicy() != Qt::NoFocus || (picture && picture->HasDrawing());
        if (!control) continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        if (!face || face->text(QAccessible::Name).trimmed().isEmpty()) {
            unnamed.push_back(QStringLiteral("%1 \"%2\" at %3,%4")
                                  .arg(QString::fromLatin1(widget->metaObject()->className()),
                                       widget->objectName())
                                  .arg(widget->x())
                                  .arg(widget->y())
                                  .toStdString());
        }
    }
    return unnamed;
}

QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

class WindowAccess : public ::testing::Test {
  protected:
    WindowAccess() {
        fixture.Start([this](const ManyFilesJob& job) {
            auto* results = new ResultsWindow(fixture.dialogs, fixture.program->language,
                                              fixture.program->clock, window.get());
            const ManyFilesOutcome outcome = results->Run(job);
            resultsUnnamed = Unnamed(results);
            delete results;
            return outcome;
        });
        window = std::make_unique<MainWindow>(fixture.Window(), fixture.program->language,
                                              fixture.program->clock);
        fixture.Load({});
        window->show();
        QApplication::setActiveWindow(window.get());
    }
    std::string Label(const char* section, const char* key) {
        return fixture.program->language.GetLabel(section, key);
    }
    // Runs `open`, which shows a modal window, and looks at that window.
    std::vector<std::string> UnnamedInModal(const std::function<void()>& open) {
        std::vector<std::string> unnamed;
        bool seen = false;
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || seen) return;
            seen = true;
            unnamed = Unnamed(modal);
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        });
        look.start(10);
        open();
        EXPECT_TRUE(seen);
        return unnamed;
    }
    // A file chosen, digested and saved: every button is there and enabled.
    void EveryButtonInUse() {
        const std::string file = fixture.root.Write("abc.txt", "abc");
        fixture.dialogs.ThenChooseFile(file);
        QTest::mouseClick(window->cmdSelectFile, Qt::LeftButton);
        QTest::mouseClick(window->cmndCalculate, Qt::LeftButton);
        QTest::mouseClick(window->cndSaveMD5File, Qt::LeftButton);
        ASSERT_TRUE(window->cmdEndProgram->isVisible());
        fixture.dialogs.Clear();
    }

    test::ProgramFixture fixture;
    std::unique_ptr<MainWindow> window;
    std::vector<std::string> resultsUnnamed;
};

// The designed order first (the boxes, then the buttons), then the flags,
// the links and the version text; Tab walks it round.
TEST_F(WindowAccess, TabWalksTheDesignedOrderThenTheFlagsAndLinks) {
    EveryButtonInUse();
    const std::vector<QWidget*> order = {
        window->txtPathAndFileName, window->txtMD5Result,  window->txtFileSize,
        window->cmdSelectFile,      window->cmndCalculate, window->cndSaveMD5File,
        window->cmdEndProgram,      window->igbCzechFlag,  window->igbEnglishFlag,
        window->hrlTWHomePage,      window->hrlOnLineHelp, window->lblVersionInfo,
        window->txtPathAndFileName,
    };
    window->txtPathAndFileName->setFocus();
    std::vector<QWidget*> walked = {QApplication::focusWidget()};
    for (std::size_t step = 1; step < order.size(); ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked.push_back(QApplication::focusWidget());
    }
    EXPECT_EQ(walked, order);
}

// Enter on a flag, a link or the version text does what a click does.
TEST_F(WindowAccess, EnterAndSpaceActOnTheFlagsLinksAndVersionText) {
    QSignalSpy home(window->hrlTWHomePage, &HyperlinkLabel::Opened);
    QSignalSpy manual(window->hrlOnLineHelp, &HyperlinkLabel::Opened);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        fixture.dialogs.Clear();
        fixture.dialogs.ThenAnswer(Answer::No);
        window->igbEnglishFlag->setFocus();
        QTest::keyClick(window->igbEnglishFlag, key);
        ASSERT_EQ(fixture.dialogs.Messages().size(), 1u) << key;
        EXPECT_EQ(fixture.dialogs.Messages()[0].text, "Change program language to English?");

        window->hrlTWHomePage->setFocus();
        QTest::keyClick(window->hrlTWHomePage, key);
        window->hrlOnLineHelp->setFocus();
        QTest::keyClick(window->hrlOnLineHelp, key);

        QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
        window->lblVersionInfo->setFocus();
        QTest::keyClick(window->lblVersionInfo, key);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), Q(fixture.Window().State().lblVersionInfo));
    }
    EXPECT_EQ(home.size(), 3);
    ASSERT_EQ(manual.size(), 3);
    EXPECT_EQ(manual[0][0].toString(), Q(fixture.Window().State().onLineHelpUrl));
    // Other keys pass by.
    fixture.dialogs.Clear();
    window->igbCzechFlag->setFocus();
    QTest::keyClick(window->igbEnglishFlag, Qt::Key_A);
    EXPECT_TRUE(fixture.dialogs.Seen().empty());
}

// The keys desktop users try first; the designed access keys stay as they are.
TEST_F(WindowAccess, ShortcutsReachTheirCommands) {
    const struct {
        QAction* action;
        QKeySequence keys;
    } shortcuts[] = {
        {window->mnuFile_OpenFileMD5, QKeySequence(QStringLiteral("Ctrl+O"))},
        {window->mnuFile_ExitProgram, QKeySequence(QStringLiteral("Ctrl+Q"))},
        {window->mnuAbout_Help, QKeySequence(QStringLiteral("F1"))},
        {window->actCopyDigest, QKeySequence(QStringLiteral("Ctrl+Shift+C"))},
        {window->mnuFile_CompareDigest, QKeySequence(QStringLiteral("Ctrl+Shift+V"))},
    };
    for (const auto& shortcut : shortcuts) EXPECT_EQ(shortcut.action->shortcut(), shortcut.keys);
    EXPECT_EQ(window->mnuFile_OpenFileMD5->text(), Q(Label("MainMenu", "mnuFile_OpenFileMD5")));
    EXPECT_EQ(window->cmndCalculate->text(), Q(Label("frmVorlix", "cmndCalculate")));

    // Pressed, wherever the focus is in the window.
    window->txtPathAndFileName->setFocus();
    fixture.dialogs.ThenCancelFileDialog();
    QTest::keyClick(window->txtPathAndFileName, Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(fixture.dialogs.Seen().size(), 1u);
    EXPECT_EQ(fixture.dialogs.Seen()[0].text, Label("frmVorlix", "cmdlgTitle3"));

    fixture.dialogs.Clear();
    QTest::keyClick(window->txtPathAndFileName, Qt::Key_F1);
    ASSERT_EQ(fixture.dialogs.Messages().size(), 1u);
    EXPECT_EQ(fixture.dialogs.Messages()[0].text, fixture.Window().HelpText());

    // Nothing to copy before a digest; the digest once there is one.
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(window->txtPathAndFileName, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    fixture.Window().txtPathAndFileName_Change(fixture.root.Write("abc.txt", "abc"));
    QTest::mouseClick(window->cmndCalculate, Qt::LeftButton);
    QTest::keyClick(window->txtPathAndFileName, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromLatin1(kAbc));

    std::optional<int> ended;
    try {
        QTest::keyClick(window->txtPathAndFileName, Qt::Key_Q, Qt::ControlModifier);
    } catch (const ProgramEnded& end) {
        ended = end.status;
    }
    EXPECT_EQ(ended, 0);
}

// Every control of every window has a name a screen reader can say, in
// either language, and the boxes are named by their captions.
TEST_F(WindowAccess, EveryControlHasAnAccessibleName) {
    EveryButtonInUse();
    for (const bool english : {false, true}) {
        SCOPED_TRACE(english ? "English" : "Czech");
        if (english) {
            fixture.dialogs.ThenAnswer(Answer::Yes);
            QTest::mouseClick(window->igbEnglishFlag, Qt::LeftButton);
        }
        EXPECT_EQ(Unnamed(window.get()), std::vector<std::string>());
        EXPECT_EQ(AccessibleName(window->txtPathAndFileName),
                  Q(Label("frmVorlix", "lblFileSource")));
        EXPECT_EQ(AccessibleName(window->txtMD5Result), QStringLiteral("MD5"));
        EXPECT_EQ(AccessibleName(window->cmdSelectFile), Q(Label("frmVorlix", "cmdlgTitle")));
        EXPECT_EQ(AccessibleName(window->igbEnglishFlag), QStringLiteral("English"));

        EXPECT_EQ(UnnamedInModal([&] { window->mnuOptions_Options->trigger(); }),
                  std::vector<std::string>());
        EXPECT_EQ(UnnamedInModal([&] { window->mnuAbout_About->trigger(); }),
                  std::vector<std::string>());
        // The compare prompt, asked when the clipboard holds two digests.
        QGuiApplication::clipboard()->setText(Q(std::string(kAbc) + " " + std::string(32, '0')));
        EXPECT_EQ(UnnamedInModal([&] { window->mnuFile_CompareDigest->trigger(); }),
                  std::vector<std::string>());

        // A list into the results window.
        const std::string list = fixture.root.Write(
            "sums/MD5SUMS", std::string(kAbc) + "  ../abc.txt\n" + kAbc + "  gone\n");
        fixture.dialogs.ThenChooseFile(list);
        window->mnuFile_OpenFileMD5->trigger();
        EXPECT_EQ(resultsUnnamed, std::vector<std::string>());
    }
    QtDialogs dialogs;
    EXPECT_EQ(UnnamedInModal([&] {
                  dialogs.MessageBox("text", "caption", MessageIcon::Question,
                                     MessageButtons::YesNo, DefaultButton::No);
              }),
              std::vector<std::string>());
    EXPECT_EQ(UnnamedInModal([] { EmergencyHelpWindow::ShowModal("Vorlix", "Help text"); }),
              std::vector<std::string>());
}

}  // namespace
}  // namespace vorlix
