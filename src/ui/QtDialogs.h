#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "ui/Dialogs.h"

namespace vorlix {

// Dialogs as Qt message boxes and file dialogs, over the main window once it exists.
class QtDialogs final : public Dialogs {
  public:
    void SetParent(QWidget* parent) { parent_ = parent; }

    Answer MessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                      MessageButtons buttons, DefaultButton defaultButton) override;
    Answer AskWithCaptions(const std::string& text, const std::string& caption, MessageIcon icon,
                           DefaultButton defaultButton, const YesNoCaptions& captions) override;
    std::optional<std::string> OpenFile(const FileDialogRequest& request) override;
    void ShowEmergencyHelp(const std::string& caption, const std::string& text) override;

  private:
    QWidget* Owner() const;

    QPointer<QWidget> parent_;
};

// The text with break marks after slashes, before backslashes and inside
// long runs without blanks, so a message box can wrap a long path instead of
// cutting it, and an escape ("\x1b") stays whole.
QString WrappableText(const QString& text);

// "All files (*.*)|*.*|Checksums|*.md5;*.MD5" -> "All files (*);;Checksums (*.md5 *.MD5)"
QString QtFileFilter(const std::string& filter);

}  // namespace vorlix
