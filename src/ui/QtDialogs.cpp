#include "ui/QtDialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include "ui/EmergencyHelpWindow.h"
#include "util/Text.h"

namespace vorlix {
namespace {

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

// A name in a message may hold a line break, ESC or a tab: shown as the
// console shows it, it cannot break the message's own lines or hide its end.
QString MessageText(const std::string& text) {
    return WrappableText(FromUtf8(EscapeMessageText(text)));
}

QString CaptionText(const std::string& caption) { return FromUtf8(EscapeForTerminal(caption)); }

QMessageBox::Icon QtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Stop:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

constexpr QChar kBreakHere(0x200B);  // zero-width space: a place a line may break

// A message box whose Ctrl+C copies the text as composed, without the break
// marks, so a copied path names the file.
class WrappingMessageBox final : public QMessageBox {
  public:
    using QMessageBox::QMessageBox;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        QMessageBox::keyPressEvent(event);
        if (event == QKeySequence::Copy) {
            QClipboard* clipboard = QGuiApplication::clipboard();
            clipboard->setText(clipboard->text().remove(kBreakHere));
        }
    }
};

// An open dialog takes a name as typed when there is such a file (a list
// named MD5SUMS has no extension) and adds the extension only when that
// names a file; a save dialog adds it to any name typed without one.
class ProgramFileDialog final : public QFileDialog {
  public:
    ProgramFileDialog(QWidget* parent, const QString& title, QString openExtension)
        : QFileDialog(parent, title), openExtension_(std::move(openExtension)) {}

  protected:
    void accept() override {
        const QStringList chosen = selectedFiles();
        if (!openExtension_.isEmpty() && chosen.size() == 1 && !QFileInfo::exists(chosen.front())) {
            const QString withExtension = chosen.front() + QLatin1Char('.') + openExtension_;
            if (QFileInfo(withExtension).isFile()) selectFile(withExtension);
        }
        QFileDialog::accept();
    }

  private:
    QString openExtension_;
};

Answer AskYesNo(QMessageBox& box, DefaultButton defaultButton,
                const YesNoCaptions* captions = nullptr) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    if (captions) {
        box.button(QMessageBox::Yes)->setText(QString::fromStdString(captions->yes));
        box.button(QMessageBox::No)->setText(QString::fromStdString(captions->no));
    }
    box.setDefaultButton(defaultButton == DefaultButton::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

}  // namespace

QString WrappableText(const QString& text) {
    // Qt breaks lines at blanks only: a long path would run past the box's
    // right edge and lose its end (often the ".MD5" that matters).
    constexpr int kLongestRun = 30;
    QString out;
    out.reserve(text.size() + text.size() / 8);
    int run = 0;
    for (const QChar c : text) {
        // A backslash begins an escape ("\x1b") or a Windows folder's name:
        // a line may break before it, never inside the escape.
        if (c == QLatin1Char('\\') && run > 0) {
            out += kBreakHere;
            run = 0;
        }
        out += c;
        if (c.isSpace()) {
            run = 0;
            continue;
        }
        ++run;
        if (c == QLatin1Char('/') || run >= kLongestRun) {
            out += kBreakHere;
            run = 0;
        }
    }
    return out;
}

QString QtFileFilter(const std::string& filter) {
    const QStringList parts = FromUtf8(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // Qt reads the patterns from the last parentheses; the pack's own ones
        // are only for the eye, so they make room for the real list.
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open > 0 && description.endsWith(QLatin1Char(')')))
            description = description.left(open).trimmed();
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
        }
        filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    if (filters.isEmpty()) filters << QStringLiteral("* (*)");
    return filters.join(QStringLiteral(";;"));
}

// A message raised while a modal window is open (the options window) belongs
// to that window, so that it stays above it.
QWidget* QtDialogs::Owner() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return parent_;
}

Answer QtDialogs::MessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                             MessageButtons buttons, DefaultButton defaultButton) {
    WrappingMessageBox box(QtIcon(icon), CaptionText(caption), MessageText(text),
                           QMessageBox::NoButton, Owner());
    box.setTextFormat(Qt::PlainText);
    if (buttons == MessageButtons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return Answer::Ok;
    }
    return AskYesNo(box, defaultButton);
}

Answer QtDialogs::AskWithCaptions(const std::string& text, const std::string& caption,
                                  MessageIcon icon, DefaultButton defaultButton,
                                  const YesNoCaptions& captions) {
    WrappingMessageBox box(QtIcon(icon), CaptionText(caption), MessageText(text),
                           QMessageBox::NoButton, Owner());
    box.setTextFormat(Qt::PlainText);
    return AskYesNo(box, defaultButton, &captions);
}

std::optional<std::string> QtDialogs::OpenFile(const FileDialogRequest& request) {
    const bool save = request.mode == FileDialogMode::Save;
    const QString extension =
        request.defaultExtension == "*" ? QString() : FromUtf8(request.defaultExtension);
    ProgramFileDialog dialog(Owner(), FromUtf8(request.title), save ? QString() : extension);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The caller asks its own overwrite question, in the pack's words.
    if (save) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(QtFileFilter(request.filter));
    if (save) dialog.setDefaultSuffix(extension);
    if (!request.initialFolder.empty()) {
        // The stored folder is often the last chosen file: open its folder with it selected.
        const QFileInfo initial(FromUtf8(request.initialFolder));
        if (initial.isDir()) {
            dialog.setDirectory(initial.absoluteFilePath());
        } else {
            dialog.setDirectory(initial.absolutePath());
            if (initial.exists() || save) dialog.selectFile(initial.fileName());
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

void QtDialogs::ShowEmergencyHelp(const std::string& caption, const std::string& text) {
    EmergencyHelpWindow::ShowModal(caption, text);
}

}  // namespace vorlix
