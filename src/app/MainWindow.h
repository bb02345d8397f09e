#pragma once

#include <QMainWindow>
#include <QPalette>
#include <array>

#include "app/MainWindowModel.h"
#include "ui/ClickableLabel.h"

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace vorlix {

class Clock;
class DesignedArea;
class HyperlinkLabel;
class Language;

// frmVorlix: a thin view over MainWindowModel. It forwards the user's
// actions and shows the model's state; all decisions live in the model.
class MainWindow final : public QMainWindow, public MainWindowView {
    Q_OBJECT
  public:
    // The About window takes its texts from the pack and its year from the clock.
    MainWindow(MainWindowModel& model, const Language& language, const Clock& clock,
               QWidget* parent = nullptr);

    // MainWindowView
    void StateChanged() override;
    void CentreOnScreen() override;
    void PutOnClipboard(const std::string& text) override;
    void ShowAbout() override;
    void ShowUpdateProcess(UpdateProcessModel& process) override;
    std::optional<std::string> ClipboardText() override;
    std::optional<std::string> AskText(const std::string& prompt,
                                       const std::string& caption) override;
    std::optional<std::string> ChooseFolder(const std::string& title) override;
    void ShowOptions(OptionsWindowModel& window) override;

    // Controls by their names, for tests.
    QLineEdit* txtPathAndFileName = nullptr;
    QPushButton* cmdSelectFile = nullptr;
    QPushButton* cmndCalculate = nullptr;
    QLineEdit* txtMD5Result = nullptr;
    QLineEdit* txtFileSize = nullptr;
    QLabel* txtTimeOperate = nullptr;
    QPushButton* cndSaveMD5File = nullptr;
    QPushButton* cmdEndProgram = nullptr;
    QLabel* lblFileSource = nullptr;
    QLabel* lblFileSize = nullptr;
    QLabel* lblMD5Result = nullptr;
    QLabel* lblTimeOperate = nullptr;
    QLabel* Label1 = nullptr;
    ClickableLabel* lblVersionInfo = nullptr;
    HyperlinkLabel* hrlOnLineHelp = nullptr;
    HyperlinkLabel* hrlTWHomePage = nullptr;
    ClickableLabel* igbCzechFlag = nullptr;
    ClickableLabel* igbEnglishFlag = nullptr;
    PictureLabel* picLogoMD5 = nullptr;
    // Below the designed area: a field for each digest computed beside MD5,
    // by DigestAlgorithm (none for MD5), and the line about a digest
    // published beside the file.
    std::array<QLabel*, kDigestAlgorithmCount> lblOtherDigests{};
    std::array<QLineEdit*, kDigestAlgorithmCount> txtOtherDigests{};
    QLabel* lblPublished = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuFile_OpenFile = nullptr;
    QAction* mnuFile_OpenFileMD5 = nullptr;
    QAction* mnuFile_FolderMD5 = nullptr;
    QAction* mnuFile_CompareDigest = nullptr;
    QAction* mnuFile_ExitProgram = nullptr;
    QMenu* mnuOptions = nullptr;
    QAction* mnuOptions_Options = nullptr;
    QMenu* mnuAbout = nullptr;
    QAction* mnuAbout_Help = nullptr;
    QAction* mnuAbout_TestActualProg = nullptr;
    QAction* mnuAbout_About = nullptr;
    QAction* actCopyDigest = nullptr;  // Ctrl+Shift+C

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QPalette MarkedColours(const MainWindowState& state, DigestAlgorithm algorithm) const;
    void ShowOtherDigests(const MainWindowState& state);
    void BuildControls();
    void BuildMenu();

    DesignedArea* area_ = nullptr;
    QWidget* otherDigests_ = nullptr;
    MainWindowModel& model_;
    const Language& language_;
    const Clock& clock_;
};

}  // namespace vorlix
