#pragma once

#include <QDialog>
#include <vector>

#include "settings/OptionsWindowModel.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace vorlix {

// frmOptions: a thin view over OptionsWindowModel. It loads as it is created,
// so create one for every opening and show it with exec().
class OptionsWindow final : public QDialog, public OptionsWindowView {
    Q_OBJECT
  public:
    explicit OptionsWindow(OptionsWindowModel& model, QWidget* parent = nullptr);
    ~OptionsWindow() override;

    // OptionsWindowView
    void StateChanged() override;
    void CentreOnScreen() override;
    void Unload() override;

    // Controls by their names, for tests.
    QListWidget* lbxOptionsMenu = nullptr;
    QGroupBox* framMainConfiguration = nullptr;
    QLabel* lblDefaultLanguage = nullptr;
    QComboBox* cobSelectLanguage = nullptr;
    QCheckBox* chkCreateStandardFile = nullptr;
    QLabel* lblStandardFormat = nullptr;
    QCheckBox* chckAssociate = nullptr;
    QLabel* lblAlsoCompute = nullptr;
    std::vector<QCheckBox*> chkAlsoCompute;
    QLabel* lblFolderDigest = nullptr;
    QComboBox* cobFolderDigest = nullptr;
    QPushButton* cmdDefaultSave = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdApply = nullptr;

  public slots:
    // Escape and the close box.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BuildControls();
    void FitOptionsMenu();

    OptionsWindowModel& model_;
    bool shownOnce_ = false;
};

}  // namespace vorlix
