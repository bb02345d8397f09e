#pragma once

#include <QDialog>

#include "update/UpdateProcess.h"

class QLabel;
class QTimer;

namespace vorlix {

// The update window frmUpdateProcess: a blue strip with one line of white
// text, shown modally while one update check runs.
class UpdateProcessWindow final : public QDialog, public UpdateProcessView {
    Q_OBJECT
  public:
    explicit UpdateProcessWindow(UpdateProcessModel& model, QWidget* parent = nullptr);
    ~UpdateProcessWindow() override;

    // Loads and downloads; when the download succeeded, shows the window
    // until the check is over. Returns when the window has gone.
    void Run();

    // UpdateProcessView
    void LabelsChanged() override;
    void Unload() override;

    // Controls by their names, for tests.
    QLabel* lblCaption = nullptr;
    QTimer* tmrCheckUpdates = nullptr;

  protected:
    void done(int result) override;

  private:
    void CentreOnScreen();

    UpdateProcessModel& model_;
};

}  // namespace vorlix
