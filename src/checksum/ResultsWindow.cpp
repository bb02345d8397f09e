#include "checksum/ResultsWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <thread>

#include "checksum/ChecksumFile.h"
#include "checksum/SaveFile.h"
#include "language/Language.h"
#include "ui/Dialogs.h"
#include "util/Clock.h"

namespace vorlix {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QIcon StatusIcon(const QStyle* style, EntryStatus status) {
    switch (status) {
        case EntryStatus::Intact:
            return style->standardIcon(QStyle::SP_DialogApplyButton);
        case EntryStatus::Damaged:
            return style->standardIcon(QStyle::SP_MessageBoxCritical);
        case EntryStatus::Missing:
        case EntryStatus::Unreadable:
            return style->standardIcon(QStyle::SP_MessageBoxWarning);
        case EntryStatus::Digested:
            return style->standardIcon(QStyle::SP_FileIcon);
        case EntryStatus::Cancelled:
            break;
    }
    return {};
}

}  // namespace

ResultsWindow::ResultsWindow(Dialogs& dialogs, const Language& language, const Clock& clock,
                             QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), language_(language), clock_(clock) {
    const auto label = [&](const char* key) { return Q(language_.GetLabel("frmResults", key)); };
    setWindowTitle(label("Caption"));
    resize(760, 460);

    lblCounts = new QLabel(this);
    prgProgress = new QProgressBar(this);
    prgProgress->setFormat(QStringLiteral("%v / %m"));
    tblResults = new QTableWidget(0, 3, this);
    tblResults->setHorizontalHeaderLabels({label("colName"), label("colStatus"), label("colSize")});
    tblResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblResults->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblResults->verticalHeader()->hide();
    tblResults->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    tblResults->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    tblResults->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);

    chkProblemsOnly = new QCheckBox(label("chkProblemsOnly"), this);
    cmdCopy = new QPushButton(label("cmdCopy"), this);
    cmdSaveAs = new QPushButton(label("cmdSaveAs"), this);
    cmdCancel = new QPushButton(Q(language_.GetLabel("Generic", "ButtonCancelCaption")), this);
    cmdClose = new QPushButton(label("cmdClose"), this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkProblemsOnly);
    buttons->addStretch();
    for (QPushButton* button : {cmdCopy, cmdSaveAs, cmdCancel, cmdClose}) buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCounts);
    layout->addWidget(prgProgress);
    layout->addWidget(tblResults);
    layout->addLayout(buttons);

    connect(chkProblemsOnly, &QCheckBox::toggled, this, [this](bool on) {
        model_.SetProblemsOnly(on);
        Refill();
    });
    connect(cmdCopy, &QPushButton::clicked, this, [this] { CopyRows(); });
    connect(cmdSaveAs, &QPushButton::clicked, this, [this] { ChooseAndSave(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cancel_.store(true); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    UpdateControls();
}

ResultsWindow::~ResultsWindow() = default;

ManyFilesOutcome ResultsWindow::Run(const ManyFilesJob& job) {
    model_.Start(job);
    listFolder_ = job.listFolder;
    cancel_.store(false);
    if (!job.title.empty()) setWindowTitle(windowTitle() + QStringLiteral(" – ") + Q(job.title));
    prgProgress->setRange(0, static_cast<int>(std::min<std::size_t>(job.Count(), 1 << 30)));
    prgProgress->setValue(0);
    Refill();
    // The main window keeps painting but takes no input until this closes.
    setWindowModality(Qt::WindowModal);
    show();
    raise();

    ManyFilesOutcome outcome;
    QEventLoop loop;
    std::thread worker([&] {
        outcome = RunManyFiles(job, [this](const ResultRow& row) {
            QMetaObject::invokeMethod(this, [this, row] { AddRow(row); }, Qt::QueuedConnection);
        }, &cancel_);
        // Queued after the last row, so every row is in the table when the loop ends.
        QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();

    model_.Finish(outcome.cancelled);
    UpdateControls();
    return outcome;
}

void ResultsWindow::AddRow(const ResultRow& row) {
    model_.Add(row);
    if (!model_.ProblemsOnly() || IsProblem(row.status)) AppendTableRow(row);
    UpdateControls();
}

void ResultsWindow::AppendTableRow(const ResultRow& row) {
    const int at = tblResults->rowCount();
    tblResults->insertRow(at);
    tblResults->setItem(at, 0, new QTableWidgetItem(Q(row.name)));
    auto* status = new QTableWidgetItem(StatusIcon(style(), row.status),
                                        Q(model_.StatusText(language_, row)));
    tblResults->setItem(at, 1, status);
    auto* size = new QTableWidgetItem(QString::number(row.size));
    size->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    tblResults->setItem(at, 2, size);
}

void ResultsWindow::Refill() {
    tblResults->setRowCount(0);
    for (std::size_t index : model_.VisibleRows()) AppendTableRow(model_.Rows()[index]);
    UpdateControls();
}

void ResultsWindow::UpdateControls() {
    lblCounts->setText(Q(model_.CountsText(language_)));
    prgProgress->setValue(static_cast<int>(model_.Rows().size()));
    cmdCancel->setEnabled(model_.Running());
    cmdClose->setEnabled(!model_.Running());
    cmdSaveAs->setVisible(model_.Kind() != ManyFilesKind::ChecksumList);
    cmdSaveAs->setEnabled(model_.CanSaveAsList());
}

void ResultsWindow::CopyRows() {
    QGuiApplication::clipboard()->setText(Q(model_.CopyText(language_)));
}

void ResultsWindow::ChooseAndSave() {
    // The program's own dialog, as the main window's save has it: it adds
    // ".MD5" to a name typed without an extension.
    FileDialogRequest request{language_.GetLabel("frmVorlix", "cmdlgMD5File"), "MD5",
                              language_.GetLabel("frmVorlix", "cmdlgTitle2"), listFolder_};
    request.mode = FileDialogMode::Save;
    const auto target = dialogs_.OpenFile(request);
    if (!target) return;
    SaveAs(*target);
}

SaveOutcome ResultsWindow::SaveAs(const std::string& target) {
    SaveRequest save;
    save.target = target;
    save.content = [this](const std::string& chosen) {
        // Names as md5sum -c run in the list's own folder finds them.
        return model_.ListText(ChecksumCommentLine(clock_.LocalNow(), ProgramChecksumIdentity()),
                               std::filesystem::absolute(chosen).parent_path().string());
    };
    for (const ResultRow& row : model_.Rows()) {
        if (row.status == EntryStatus::Digested) save.dataFiles.push_back(row.path);
    }
    return SaveFile(dialogs_, language_, save).outcome;
}

void ResultsWindow::closeEvent(QCloseEvent* event) {
    // Closing while it runs stops the run; the window goes once it is over.
    if (model_.Running()) {
        cancel_.store(true);
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace vorlix
