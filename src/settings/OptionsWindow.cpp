#include "settings/OptionsWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace vorlix {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

OptionsWindow::OptionsWindow(OptionsWindowModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    BuildControls();
    model_.SetView(this);
    StateChanged();
    model_.Form_Load();
    // The first setting takes the keyboard; focus in the page list would
    // select its entry by itself.
    cobSelectLanguage->setFocus();
}

OptionsWindow::~OptionsWindow() { model_.SetView(nullptr); }

void OptionsWindow::BuildControls() {
    auto* root = new QVBoxLayout(this);
    // The window takes the size its captions need, in either language.
    root->setSizeConstraint(QLayout::SetFixedSize);

    auto* body = new QHBoxLayout;
    root->addLayout(body);

    lbxOptionsMenu = new QListWidget(this);
    lbxOptionsMenu->setSelectionMode(QAbstractItemView::SingleSelection);
    lbxOptionsMenu->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // As tall as the page beside it; as wide as its entries.
    lbxOptionsMenu->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    body->addWidget(lbxOptionsMenu);

    framMainConfiguration = new QGroupBox(this);
    body->addWidget(framMainConfiguration, 1);
    auto* page = new QVBoxLayout(framMainConfiguration);

    auto* languageRow = new QHBoxLayout;
    lblDefaultLanguage = new QLabel(framMainConfiguration);
    cobSelectLanguage = new QComboBox(framMainConfiguration);
    lblDefaultLanguage->setBuddy(cobSelectLanguage);
    for (const std::string& entry : model_.State().cobSelectLanguage)
        cobSelectLanguage->addItem(Q(entry));
    cobSelectLanguage->setCurrentIndex(-1);
    languageRow->addWidget(lblDefaultLanguage);
    languageRow->addWidget(cobSelectLanguage);
    languageRow->addStretch(1);
    page->addLayout(languageRow);
    page->addSpacing(style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing) * 2);

    chkCreateStandardFile = new QCheckBox(framMainConfiguration);
    page->addWidget(chkCreateStandardFile);
    // The example sits under the box's caption, not under the box.
    auto* formatRow = new QHBoxLayout;
    formatRow->addSpacing(style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                          style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing));
    lblStandardFormat = new QLabel(framMainConfiguration);
    formatRow->addWidget(lblStandardFormat);
    page->addLayout(formatRow);

    chckAssociate = new QCheckBox(framMainConfiguration);
    page->addWidget(chckAssociate);
    page->addSpacing(style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing) * 2);

    lblAlsoCompute = new QLabel(framMainConfiguration);
    page->addWidget(lblAlsoCompute);
    auto* alsoRow = new QHBoxLayout;
    for (std::size_t box = 0; box < model_.State().chkAlsoCompute.size(); ++box) {
        auto* tick = new QCheckBox(framMainConfiguration);
        chkAlsoCompute.push_back(tick);
        alsoRow->addWidget(tick);
        connect(tick, &QCheckBox::toggled, this,
                [this, box](bool ticked) { model_.SetAlsoComputeTicked(box, ticked); });
    }
    alsoRow->addStretch(1);
    page->addLayout(alsoRow);

    auto* folderRow = new QHBoxLayout;
    lblFolderDigest = new QLabel(framMainConfiguration);
    cobFolderDigest = new QComboBox(framMainConfiguration);
    lblFolderDigest->setBuddy(cobFolderDigest);
    for (const std::string& entry : model_.State().cobFolderDigest)
        cobFolderDigest->addItem(Q(entry));
    folderRow->addWidget(lblFolderDigest);
    folderRow->addWidget(cobFolderDigest);
    folderRow->addStretch(1);
    page->addLayout(folderRow);
    page->addStretch(1);

    auto* buttons = new QHBoxLayout;
    cmdDefaultSave = new QPushButton(this);
    cmdOK = new QPushButton(this);
    cmdCancel = new QPushButton(this);
    cmdApply = new QPushButton(this);
    cmdOK->setDefault(true);
    buttons->addWidget(cmdDefaultSave);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdApply);
    root->addLayout(buttons);

    connect(lbxOptionsMenu, &QListWidget::currentRowChanged, this,
            [this](int row) { model_.SetOptionsMenuIndex(row); });
    connect(cobSelectLanguage, &QComboBox::currentIndexChanged, this,
            [this](int index) { model_.SetLanguageIndex(index); });
    connect(chkCreateStandardFile, &QCheckBox::toggled, this,
            [this](bool ticked) { model_.SetStandardFileTicked(ticked); });
    connect(chckAssociate, &QCheckBox::toggled, this,
            [this](bool ticked) { model_.SetAssociateTicked(ticked); });
    connect(cobFolderDigest, &QComboBox::currentIndexChanged, this,
            [this](int index) { model_.SetFolderDigestIndex(index); });
    connect(cmdDefaultSave, &QPushButton::clicked, this, [this] { model_.cmdDefaultSave_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { model_.cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { model_.cmdCancel_Click(); });
    connect(cmdApply, &QPushButton::clicked, this, [this] { model_.cmdApply_Click(); });
}

void OptionsWindow::StateChanged() {
    const OptionsWindowState& state = model_.State();
    setWindowTitle(Q(state.Caption));
    // The list of pages has no caption of its own; the window's names it.
    lbxOptionsMenu->setAccessibleName(Q(state.Caption));

    {
        // Values set from here must not come back as the user's choices.
        const QSignalBlocker blockList(lbxOptionsMenu);
        QStringList entries;
        for (const std::string& entry : state.lbxOptionsMenu) entries << Q(entry);
        QStringList shown;
        for (int row = 0; row < lbxOptionsMenu->count(); ++row)
            shown << lbxOptionsMenu->item(row)->text();
        if (shown != entries) {
            lbxOptionsMenu->clear();
            lbxOptionsMenu->addItems(entries);
        }
        lbxOptionsMenu->setCurrentRow(state.lbxOptionsMenuIndex);
        if (state.lbxOptionsMenuIndex < 0) lbxOptionsMenu->clearSelection();
    }
    FitOptionsMenu();

    framMainConfiguration->setTitle(Q(state.framMainConfiguration));
    framMainConfiguration->setVisible(state.framMainConfigurationVisible);
    lblDefaultLanguage->setText(Q(state.lblDefaultLanguage));
    {
        const QSignalBlocker blockLanguage(cobSelectLanguage);
        cobSelectLanguage->setCurrentIndex(state.cobSelectLanguageIndex);
    }
    {
        const QSignalBlocker blockStandard(chkCreateStandardFile);
        const QSignalBlocker blockAssociate(chckAssociate);
        chkCreateStandardFile->setChecked(state.chkCreateStandardFileTicked);
        chckAssociate->setChecked(state.chckAssociateTicked);
    }
    chkCreateStandardFile->setText(Q(state.chkCreateStandardFile));
    lblStandardFormat->setText(Q(state.lblStandardFormat));
    chckAssociate->setText(Q(state.chckAssociate));
    lblAlsoCompute->setText(Q(state.lblAlsoCompute));
    for (std::size_t box = 0; box < chkAlsoCompute.size(); ++box) {
        const QSignalBlocker block(chkAlsoCompute[box]);
        chkAlsoCompute[box]->setText(Q(state.chkAlsoCompute[box]));
        chkAlsoCompute[box]->setChecked(state.chkAlsoComputeTicked[box]);
    }
    lblFolderDigest->setText(Q(state.lblFolderDigest));
    {
        const QSignalBlocker block(cobFolderDigest);
        cobFolderDigest->setCurrentIndex(state.cobFolderDigestIndex);
    }

    cmdDefaultSave->setText(Q(state.cmdDefaultSave));
    cmdOK->setText(Q(state.cmdOK));
    cmdCancel->setText(Q(state.cmdCancel));
    cmdApply->setText(Q(state.cmdApply));
    cmdOK->setEnabled(state.cmdOKEnabled);
    cmdCancel->setEnabled(state.cmdCancelEnabled);
    cmdApply->setEnabled(state.cmdApplyEnabled);
}

void OptionsWindow::FitOptionsMenu() {
    const QFontMetrics metrics(lbxOptionsMenu->font());
    int widest = 0;
    for (int row = 0; row < lbxOptionsMenu->count(); ++row)
        widest = std::max(widest, metrics.horizontalAdvance(lbxOptionsMenu->item(row)->text()));
    const int padding = 2 * lbxOptionsMenu->frameWidth() + metrics.averageCharWidth() * 4;
    lbxOptionsMenu->setFixedWidth(std::max(widest + padding, metrics.averageCharWidth() * 14));
}

void OptionsWindow::CentreOnScreen() {
    adjustSize();
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    const QSize size = frameGeometry().size();
    move(available.left() + (available.width() - size.width()) / 2,
         available.top() + (available.height() - size.height()) / 2);
}

void OptionsWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The captions of the language in force came after the load step centred
    // the window; centre it once more at its final size.
    if (!shownOnce_) {
        shownOnce_ = true;
        CentreOnScreen();
    }
}

void OptionsWindow::Unload() { done(QDialog::Rejected); }

void OptionsWindow::reject() { model_.Form_CloseBox(); }

}  // namespace vorlix
