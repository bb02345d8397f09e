#pragma once

#include <QDialog>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "checksum/ManyFiles.h"
#include "checksum/ResultsModel.h"
#include "checksum/SaveFile.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;

namespace vorlix {

class Clock;
class Dialogs;
class Language;
class ResultsTable;

// The results of a run over many files: a table filled as files finish,
// sorted by a click on a column's header, counts on top, the progress with
// the speed and Cancel while it runs. A thin view over ResultsModel.
class ResultsWindow final : public QDialog {
    Q_OBJECT
  public:
    ResultsWindow(Dialogs& dialogs, const Language& language, const Clock& clock,
                  QWidget* parent = nullptr, char decimalSeparator = '.');
    ~ResultsWindow() override;

    // Shows the window and runs the job off the window's thread. Returns when
    // the run is over; the window stays open for the user to read, unless the
    // user closed it, which also cancelled the run.
    ManyFilesOutcome Run(const ManyFilesJob& job);

    const ResultsModel& Model() const { return model_; }

    QLabel* lblCounts = nullptr;
    QProgressBar* prgProgress = nullptr;
    QLabel* lblProgress = nullptr;
    QTableView* tblResults = nullptr;
    QCheckBox* chkProblemsOnly = nullptr;
    QCheckBox* chkHideMissing = nullptr;
    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdSaveAs = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdClose = nullptr;

    // Saves the digested files as one checksum list at `target`, the way
    // every checksum file is saved (SaveFile).
    SaveOutcome SaveAs(const std::string& target);

  public slots:
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // The rows finished and the progress since the last look.
    void TakeFinishedRows();
    void UpdateControls();
    void SortBy(int column);
    void CopyRows();
    void ChooseAndSave();
    void CancelAndClose();

    Dialogs& dialogs_;
    const Language& language_;
    const Clock& clock_;
    const char decimalSeparator_;
    ResultsModel model_;
    ResultsTable* table_ = nullptr;
    QTimer* poll_ = nullptr;
    std::string listFolder_;
    bool closeWhenDone_ = false;
    std::chrono::steady_clock::time_point started_;

    // Written by the run's thread, read by the window's.
    std::atomic<bool> cancel_{false};
    std::atomic<std::uint64_t> bytesDone_{0};
    std::atomic<std::uint64_t> totalBytes_{0};
    std::atomic<bool> totalKnown_{false};
    std::mutex finishedMutex_;
    std::vector<std::uint64_t> taken_;  // sizes of the files handed over, not yet told
    std::vector<ResultRow> finished_;   // rows done, not yet in the table
    std::size_t passedOver_ = 0;        // entries passed over, not yet told
};

}  // namespace vorlix
