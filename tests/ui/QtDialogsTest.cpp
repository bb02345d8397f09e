#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include "ui/QtDialogs.h"

namespace vorlix {
namespace {

// A message raised from a modal window must not open under it.
TEST(QtDialogsTest, MessagesBelongToTheModalWindowThatIsOpen) {
    QWidget mainWindow;
    mainWindow.show();
    QtDialogs qtDialogs;
    qtDialogs.SetParent(&mainWindow);
    Dialogs& dialogs = qtDialogs;

    QPointer<QWidget> owner;
    const auto answerTheMessage = [&] {
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            owner = box->parentWidget();
            box->accept();
        });
    };

    answerTheMessage();
    dialogs.MessageBox("text", "caption", MessageIcon::Information);
    EXPECT_EQ(owner, &mainWindow);

    QDialog options(&mainWindow);
    QTimer::singleShot(0, [&] {
        answerTheMessage();
        dialogs.MessageBox("text", "caption", MessageIcon::Stop);
        options.reject();
    });
    options.exec();
    EXPECT_EQ(owner, &options);
}

}  // namespace
}  // namespace vorlix
