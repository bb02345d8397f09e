#pragma once

#include <QDialog>
#include <string>

class QPlainTextEdit;
class QPushButton;

namespace vorlix {

// frmEmergencyHelp: the last window the user sees when no language pack can
// be used. Everything in it is built in.
class EmergencyHelpWindow : public QDialog {
    Q_OBJECT

  public:
    EmergencyHelpWindow(const std::string& caption, const std::string& text,
                        QWidget* parent = nullptr);

    // Shows a fresh window modally, without an owner; returns once it is closed.
    static void ShowModal(const std::string& caption, const std::string& text);

    // Moves the window to its place on a screen's usable area.
    void PlaceOn(const QRect& screenArea);

    QPlainTextEdit* txbWarningTest() const { return txbWarningTest_; }
    QPushButton* cmdOK() const { return cmdOK_; }

  private:
    QPlainTextEdit* txbWarningTest_;
    QPushButton* cmdOK_;
};

}  // namespace vorlix
