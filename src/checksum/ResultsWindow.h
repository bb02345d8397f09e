#pragma once

#include <QDialog>
#include <atomic>
#include <string>

#include "checksum/ManyFiles.h"
#include "checksum/ResultsModel.h"
#include "checksum/SaveFile.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace vorlix {

class Clock;
class Dialogs;
class Language;

// The results of a run over many files: a table filled as files finish,
// counts on top, a progress bar and Cancel while it runs. A thin view over
// ResultsModel.
class ResultsWindow final : public QDialog {
    Q_OBJECT
public:
    ResultsWindow(Dialogs& dialogs, const Language& language, const Clock& clock,
                  QWidget* parent = nullptr);
    ~ResultsWindow() override;

    // Shows the window and runs the job off the window's thread. Returns when
    // the run is over; the window stays open for the user to read.
    ManyFilesOutcome Run(const ManyFilesJob& job);

    const ResultsModel& Model() const { return model_; }

    QLabel* lblCounts = nullptr;
    QTableWidget* tblResults = nullptr;
    QProgressBar* prgProgress = nullptr;
    QCheckBox* chkProblemsOnly = nullptr;
    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdSaveAs = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdClose = nullptr;

    // Saves the digested files as one checksum list at `target`, the way
    // every checksum file is saved (SaveFile).
    SaveOutcome SaveAs(const std::string& target);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void AddRow(const ResultRow& row);
    void AppendTableRow(const ResultRow& row);
    void Refill();
    void UpdateControls();
    void CopyRows();
    void ChooseAndSave();

    Dialogs& dialogs_;
    const Language& language_;
    const Clock& clock_;
    ResultsModel model_;
    std::string listFolder_;
    std::atomic<bool> cancel_{false};
};

}  // namespace vorlix
