#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <functional>

#include "ui/QtDialogs.h"

namespace vorlix {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Answers the message box as soon as it is up; `look` sees it first.
void AnswerNoWhenShown(std::function<void(QMessageBox&)> look) {
    QTimer::singleShot(0, [look] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        look(*box);
        box->button(QMessageBox::No)->click();
    });
}

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

TEST(QtDialogsTest, AQuestionsButtonsCanSpeakItsOwnLanguage) {
    QtDialogs dialogs;
    QStringList buttons;
    AnswerNoWhenShown([&](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons()) buttons << button->text();
    });
    EXPECT_EQ(dialogs.AskWithCaptions("Změnit jazyk programu na češtinu?", "Dotaz",
                                      MessageIcon::Question, DefaultButton::Yes, {"&Ano", "&Ne"}),
              Answer::No);
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{"&Ano", "&Ne"}));
}

TEST(QtDialogsTest, MessagesWrapLongPathsSoTheirEndIsSeen) {
    // Qt breaks at blanks, slashes and hyphens; underscores and dots hold a name together.
    const std::string path =
        "/home/someone/Downloads/Holiday_photos_of_the_whole_family_at_the_seaside_in_"
        "summer_2023_with_the_grandparents_and_the_neighbours_dog_all_in_one_archive.tar.gz.MD5";
    const std::string text = "Soubor" + path + " již existuje. Přepsat?";
    QtDialogs dialogs;
    QString shown;
    int overflow = 0;
    int rawOverflow = 0;
    AnswerNoWhenShown([&](QMessageBox& box) {
        auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        shown = label->text();
        const QFontMetrics metrics(label->font());
        const QRect room = label->contentsRect();
        const auto widthNeeded = [&](const QString& laidOut) {
            return metrics
                .boundingRect(QRect(0, 0, room.width(), 100000), Qt::TextWordWrap, laidOut)
                .width();
        };
        overflow = widthNeeded(shown) - room.width();
        rawOverflow = widthNeeded(Q(text)) - room.width();
    });
    dialogs.MessageBox(text, "Uložit změny", MessageIcon::Question, MessageButtons::YesNo,
                       DefaultButton::No);
    EXPECT_GT(rawOverflow, 0) << "the path would fit unwrapped; the test shows nothing";
    EXPECT_LE(overflow, 0);
    EXPECT_EQ(shown.remove(QChar(0x200B)), Q(text));  // the text itself is unchanged
}

// A name may hold a line break, ESC or a tab; in a box it shows as on the
// console, and only the message's own breaks start new lines.
TEST(QtDialogsTest, ControlCharactersInNamesAreShownEscaped) {
    const std::string name = "/tmp/a\nb\x1b[2J\tc.iso";
    const struct {
        std::string text;
        std::string caption;
        QString shownText;
        QString shownCaption;
    } cases[] = {
        {"Soubor " + name + " byl uložen.\r\nDalší řádek", "Uloženo",
         QStringLiteral("\\Soubor /tmp/a\\nb\\x1b[2J\\x09c.iso byl uložen.\nDalší řádek"),
         QStringLiteral("Uloženo")},
        {"Plain /tmp/x.iso\r\n\r\nend", "Caption " + name,
         QStringLiteral("Plain /tmp/x.iso\n\nend"),
         QStringLiteral("\\Caption /tmp/a\\nb\\x1b[2J\\x09c.iso")},
    };
    for (const auto& c : cases) {
        for (const MessageButtons buttons : {MessageButtons::Ok, MessageButtons::YesNo}) {
            QtDialogs dialogs;
            QString text;
            QString caption;
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                ASSERT_NE(box, nullptr);
                text = box->text().remove(QChar(0x200B));
                caption = box->windowTitle();
                box->buttons().constFirst()->click();
            });
            dialogs.MessageBox(c.text, c.caption, MessageIcon::Information, buttons,
                               DefaultButton::No);
            EXPECT_EQ(text, c.shownText);
            EXPECT_EQ(caption, c.shownCaption);
        }
    }
    // Questions that carry their own button captions too.
    QtDialogs dialogs;
    QString text;
    AnswerNoWhenShown([&](QMessageBox& box) { text = box.text().remove(QChar(0x200B)); });
    dialogs.AskWithCaptions("Přepsat " + name + "?", "Dotaz", MessageIcon::Question,
                            DefaultButton::No, {"&Ano", "&Ne"});
    EXPECT_EQ(text, QStringLiteral("\\Přepsat /tmp/a\\nb\\x1b[2J\\x09c.iso?"));
}

TEST(QtDialogsTest, LinesBreakAfterSlashesAndBeforeEscapes) {
    const QChar mark(0x200B);
    const struct {
        QString text;
        QString marked;
    } cases[] = {
        {QStringLiteral("/a/b c"), QStringLiteral("/~a/~b c")},
        {QStringLiteral("\\a\\x1b[2J\\x09b"), QStringLiteral("\\a~\\x1b[2J~\\x09b")},
        {QStringLiteral("C:\\data\\file"), QStringLiteral("C:~\\data~\\file")},
        {QString(35, QLatin1Char('x')), QString(30, QLatin1Char('x')) + QStringLiteral("~xxxxx")},
    };
    for (const auto& c : cases) {
        QString expected = c.marked;
        expected.replace(QLatin1Char('~'), mark);
        EXPECT_EQ(WrappableText(c.text), expected) << c.text.toStdString();
    }
}

// A name typed without an extension gets the one asked for; the caller asks
// its own question before replacing anything.
TEST(QtDialogsTest, ASaveDialogAddsTheExtensionToANameTypedWithoutOne) {
    const QString folder = QDir::tempPath() + QStringLiteral("/vorlix-save-dialog-") +
                           QString::number(QCoreApplication::applicationPid());
    QDir().mkpath(folder);
    QtDialogs dialogs;
    FileDialogRequest request{"MD5 (*.md5)|*.md5;*.MD5", "MD5", "Save as", folder.toStdString()};
    request.mode = FileDialogMode::Save;
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QStringLiteral("fresh"));
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept, which takes the name
    });
    const auto chosen = dialogs.OpenFile(request);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, (folder + QStringLiteral("/fresh.MD5")).toStdString());
    QDir(folder).removeRecursively();
}

// An open dialog takes the name typed when that file is there, even without
// an extension (a list named MD5SUMS), and the name with the extension when
// only that is there.
TEST(QtDialogsTest, AnOpenDialogTakesANameAsTypedOrWithItsExtension) {
    const QString folder = QDir::tempPath() + QStringLiteral("/vorlix-open-dialog-") +
                           QString::number(QCoreApplication::applicationPid());
    QDir().mkpath(folder);
    for (const char* name : {"MD5SUMS", "data.MD5", "both", "both.MD5"}) {
        QFile file(folder + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const struct {
        const char* typed;
        const char* chosen;
    } cases[] = {
        {"MD5SUMS", "MD5SUMS"},
        {"data", "data.MD5"},
        {"data.MD5", "data.MD5"},
        {"both", "both"},
    };
    for (const auto& c : cases) {
        QtDialogs dialogs;
        FileDialogRequest request{"MD5 (*.md5)|*.md5;*.MD5|All (*.*)|*.*", "MD5", "Open",
                                  folder.toStdString()};
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                ->setText(QString::fromLatin1(c.typed));
            static_cast<QDialog*>(dialog)->accept();
        });
        const auto chosen = dialogs.OpenFile(request);
        ASSERT_TRUE(chosen.has_value()) << c.typed;
        EXPECT_EQ(*chosen, (folder + QLatin1Char('/') + QLatin1String(c.chosen)).toStdString());
    }
    QDir(folder).removeRecursively();
}

}  // namespace
}  // namespace vorlix
