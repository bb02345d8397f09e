#include "checksum/ResultsWindow.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <thread>

#include "checksum/ChecksumFile.h"
#include "checksum/SaveFile.h"
#include "language/Language.h"
#include "ui/Dialogs.h"
#include "util/Clock.h"
#include "util/Text.h"

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

// How often the window takes in the rows and the progress of a run.
constexpr std::chrono::milliseconds kPollInterval{100};
// How many entries of a list are read ahead of the engine for their sizes.
constexpr std::size_t kSizesAhead = 10'000;

}  // namespace

// The table's rows as the model orders and filters them; it holds nothing
// of its own, so a list of any length costs the table only what is on screen.
class ResultsTable final : public QAbstractTableModel {
  public:
    ResultsTable(ResultsModel& model, const Language& language, QWidget* window)
        : QAbstractTableModel(window), model_(model), language_(language), window_(window) {
        digestFont_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        digestFont_.setPointSizeF(window->font().pointSizeF());
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(model_.VisibleRows().size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(std::size(kResultsColumns));
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount()) return {};
        const ResultRow& row = model_.Rows()[model_.VisibleRows()[index.row()]];
        const ResultsColumn column = kResultsColumns[index.column()];
        switch (role) {
            case Qt::DisplayRole:
                return Q(model_.CellText(language_, row, column));
            case Qt::DecorationRole:
                if (column == ResultsColumn::Status)
                    return StatusIcon(window_->style(), row.status);
                break;
            case Qt::TextAlignmentRole:
                if (column == ResultsColumn::Size) return int(Qt::AlignRight | Qt::AlignVCenter);
                break;
            case Qt::FontRole:
                if (column == ResultsColumn::Digest) return digestFont_;
                break;
            case Qt::ToolTipRole:
                // A long name is cut in the middle; the whole of it on demand.
                if (column == ResultsColumn::Name) return Q(EscapeForTerminal(row.path));
                break;
            default:
                break;
        }
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        return Q(model_.ColumnTitle(language_, kResultsColumns[section]));
    }

    const QFont& DigestFont() const { return digestFont_; }

    void Append(std::vector<ResultRow> rows) {
        const DigestSet digests = model_.Digests();
        AddRows(std::move(rows));
        // The digest column is titled by the digests it shows.
        if (model_.Digests() != digests) {
            const int column = static_cast<int>(ResultsColumn::Digest);
            emit headerDataChanged(Qt::Horizontal, column, column);
        }
    }

    void AddRows(std::vector<ResultRow> rows) {
        if (model_.Order() != SortOrder::JobOrder) {
            Rearrange([&] { model_.Add(std::move(rows)); });
            return;
        }
        const auto shown = std::count_if(rows.begin(), rows.end(),
                                         [&](const ResultRow& row) { return model_.Shows(row); });
        if (shown == 0) {
            model_.Add(std::move(rows));
            return;
        }
        const int first = rowCount();
        beginInsertRows({}, first, first + static_cast<int>(shown) - 1);
        model_.Add(std::move(rows));
        endInsertRows();
    }

    // A change of the rows' order or filter; the selection follows its rows.
    void Rearrange(const std::function<void()>& change) {
        emit layoutAboutToBeChanged();
        const std::vector<std::size_t> before = model_.VisibleRows();
        change();
        std::vector<int> now(model_.Rows().size(), -1);
        const auto& after = model_.VisibleRows();
        for (std::size_t at = 0; at < after.size(); ++at) now[after[at]] = static_cast<int>(at);
        const QModelIndexList from = persistentIndexList();
        QModelIndexList to;
        for (const QModelIndex& index : from) {
            const int row = now[before[index.row()]];
            to << (row < 0 ? QModelIndex() : createIndex(row, index.column()));
        }
        changePersistentIndexList(from, to);
        emit layoutChanged();
    }

  private:
    ResultsModel& model_;
    const Language& language_;
    QWidget* window_;
    QFont digestFont_;
};

ResultsWindow::ResultsWindow(Dialogs& dialogs, const Language& language, const Clock& clock,
                             QWidget* parent, char decimalSeparator)
    : QDialog(parent),
      dialogs_(dialogs),
      language_(language),
      clock_(clock),
      decimalSeparator_(decimalSeparator) {
    const auto label = [&](const char* key) { return Q(language_.GetLabel("frmResults", key)); };
    setWindowTitle(label("Caption"));
    // Room for the four columns, but never more than most of the screen.
    QSize size(900, 480);
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 0.8);
    resize(size);

    lblCounts = new QLabel(this);
    prgProgress = new QProgressBar(this);
    // The label beside it says how far, with the speed, as a single file's
    // progress does; a second figure on the bar would only repeat it.
    prgProgress->setTextVisible(false);
    prgProgress->setAccessibleName(label("prgProgress"));
    lblProgress = new QLabel(this);
    lblProgress->setMinimumWidth(
        fontMetrics().horizontalAdvance(QStringLiteral("100 %   00000.0 MB   0000.0 MB/s")));

    table_ = new ResultsTable(model_, language_, this);
    tblResults = new QTableView(this);
    tblResults->setModel(table_);
    tblResults->setAccessibleName(label("Caption"));
    tblResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblResults->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblResults->setWordWrap(false);
    tblResults->setTextElideMode(Qt::ElideMiddle);
    tblResults->verticalHeader()->hide();
    // Rows of one height: the table never measures rows it does not show.
    tblResults->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tblResults->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    QHeaderView* header = tblResults->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    // Widths from the texts a column can hold rather than from the rows, which
    // may be many: the name takes the rest.
    const auto columnWidth = [&](ResultsColumn column, int content) {
        const QString title = Q(model_.ColumnTitle(language_, column));
        return std::max(content, fontMetrics().horizontalAdvance(title) + 40);
    };
    int statusWidth = 0;
    for (const char* key :
         {"stIntact", "stDamaged", "stMissing", "stUnreadable", "stDigested", "stCancelled"}) {
        statusWidth = std::max(statusWidth, fontMetrics().horizontalAdvance(label(key)));
    }
    statusWidth += style()->pixelMetric(QStyle::PM_SmallIconSize) + 24;
    const int digestWidth =
        QFontMetrics(table_->DigestFont()).horizontalAdvance(QString(32, QLatin1Char('0'))) + 16;
    const int sizeWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")) + 16;
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int section = 1; section < table_->columnCount(); ++section)
        header->setSectionResizeMode(section, QHeaderView::Interactive);
    header->resizeSection(1, columnWidth(ResultsColumn::Status, statusWidth));
    header->resizeSection(2, columnWidth(ResultsColumn::Digest, digestWidth));
    header->resizeSection(3, columnWidth(ResultsColumn::Size, sizeWidth));
    header->setMinimumSectionSize(40);

    chkProblemsOnly = new QCheckBox(label("chkProblemsOnly"), this);
    chkHideMissing = new QCheckBox(label("chkHideMissing"), this);
    cmdCopy = new QPushButton(label("cmdCopy"), this);
    cmdSaveAs = new QPushButton(label("cmdSaveAs"), this);
    cmdCancel = new QPushButton(Q(language_.GetLabel("Generic", "ButtonCancelCaption")), this);
    cmdClose = new QPushButton(label("cmdClose"), this);

    auto* progress = new QHBoxLayout;
    progress->addWidget(prgProgress, 1);
    progress->addWidget(lblProgress);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkProblemsOnly);
    buttons->addWidget(chkHideMissing);
    buttons->addStretch();
    for (QPushButton* button : {cmdCopy, cmdSaveAs, cmdCancel, cmdClose})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCounts);
    layout->addLayout(progress);
    layout->addWidget(tblResults, 1);
    layout->addLayout(buttons);

    poll_ = new QTimer(this);
    poll_->setInterval(kPollInterval);
    connect(poll_, &QTimer::timeout, this, [this] { TakeFinishedRows(); });
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) { SortBy(column); });
    connect(chkProblemsOnly, &QCheckBox::toggled, this, [this](bool on) {
        table_->Rearrange([&] { model_.SetProblemsOnly(on); });
        UpdateControls();
    });
    connect(chkHideMissing, &QCheckBox::toggled, this, [this](bool on) {
        table_->Rearrange([&] { model_.SetHideMissing(on); });
        UpdateControls();
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
    closeWhenDone_ = false;
    cancel_.store(false);
    bytesDone_.store(0);
    totalKnown_.store(false);
    if (!job.title.empty()) {
        setWindowTitle(Q(language_.GetLabel("frmResults", "Caption")) + QStringLiteral(" – ") +
                       Q(EscapeForTerminal(job.title)));
    }
    started_ = clock_.Monotonic();
    UpdateControls();
    // The main window keeps painting but takes no input until this closes.
    setWindowModality(Qt::WindowModal);
    show();
    raise();

    ManyFilesOutcome outcome;
    QEventLoop loop;
    poll_->start();
    std::thread worker([&] {
        const auto onRow = [this](const ResultRow& row) {
            const std::lock_guard lock(finishedMutex_);
            finished_.push_back(row);
        };
        const auto onBytes = [this](std::uint64_t bytes) {
            bytesDone_.store(bytes, std::memory_order_relaxed);
        };
        const auto onPassedOver = [this] {
            const std::lock_guard lock(finishedMutex_);
            ++passedOver_;
        };
        namespace fs = std::filesystem;
        if (!job.source) {
            // A few sizes up front cost little beside reading the files, and
            // let the bar follow the bytes, through a large file too.
            std::uint64_t total = 0;
            for (const std::string& path : job.paths) {
                if (cancel_.load()) break;
                std::error_code error;
                const auto size = fs::file_size(path, error);
                if (!error) total += size;
            }
            totalBytes_.store(total);
            totalKnown_.store(true);
            outcome = RunManyFiles(job, onRow, &cancel_, onBytes, onPassedOver);
        } else {
            // A list read as it runs: its entries are read a stretch ahead of
            // the engine with their sizes, so that a list of up to that many
            // is known whole, bytes and all, before its first file is read.
            ManyFilesJob streamed = job;
            std::deque<ManyFilesEntry> ahead;
            std::uint64_t sizes = 0;
            bool ended = false;
            streamed.source = [&](ManyFilesEntry& next) {
                while (!ended && ahead.size() < kSizesAhead) {
                    ManyFilesEntry entry;
                    if (!job.source(entry)) {
                        ended = true;
                        totalBytes_.store(sizes);
                        totalKnown_.store(true);
                        break;
                    }
                    std::error_code error;
                    const auto size = fs::file_size(entry.path, error);
                    sizes += error ? 0 : size;
                    // A file passed over gives no row to take its place in line.
                    const bool passedOver =
                        job.passOverAbsent && error == std::errc::no_such_file_or_directory;
                    if (!passedOver) {
                        const std::lock_guard lock(finishedMutex_);
                        taken_.push_back(error ? 0 : size);
                    }
                    ahead.push_back(std::move(entry));
                }
                if (ahead.empty()) return false;
                next = std::move(ahead.front());
                ahead.pop_front();
                return true;
            };
            outcome = RunManyFiles(streamed, onRow, &cancel_, onBytes, onPassedOver);
        }
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    poll_->stop();

    TakeFinishedRows();
    model_.Finish(outcome.cancelled);
    UpdateControls();
    // Closed while it ran: it goes now that nothing refers to it any more.
    if (closeWhenDone_) close();
    return outcome;
}

void ResultsWindow::TakeFinishedRows() {
    std::vector<std::uint64_t> taken;
    std::vector<ResultRow> rows;
    std::size_t passedOver = 0;
    {
        const std::lock_guard lock(finishedMutex_);
        taken.swap(taken_);
        rows.swap(finished_);
        std::swap(passedOver, passedOver_);
    }
    // A file is taken before it finishes: the sizes go in first.
    for (const std::uint64_t size : taken) model_.Taken(size);
    if (!rows.empty()) table_->Append(std::move(rows));
    model_.PassedOver(passedOver);
    // Read after the rows, so the bytes counted cover every row taken in.
    RunProgress progress;
    progress.bytesDone = bytesDone_.load(std::memory_order_relaxed);
    progress.elapsed = clock_.Monotonic() - started_;
    if (totalKnown_.load()) model_.SetTotalBytes(totalBytes_.load());
    model_.SetProgress(progress);
    UpdateControls();
}

void ResultsWindow::UpdateControls() {
    lblCounts->setText(Q(model_.CountsText(language_)));
    if (const std::optional<int> permille = model_.Permille()) {
        prgProgress->setRange(0, 1000);
        prgProgress->setValue(*permille);
    } else {
        prgProgress->setRange(0, 0);  // busy: nothing tells how far
    }
    lblProgress->setText(Q(model_.ProgressCaption(decimalSeparator_)));
    cmdCancel->setEnabled(model_.Running());
    cmdClose->setEnabled(!model_.Running());
    cmdSaveAs->setVisible(model_.Kind() != ManyFilesKind::ChecksumList);
    cmdSaveAs->setEnabled(model_.CanSaveAsList());
}

void ResultsWindow::SortBy(int column) {
    table_->Rearrange([&] { model_.SortBy(kResultsColumns[column]); });
    QHeaderView* header = tblResults->horizontalHeader();
    const bool sorted = model_.Order() != SortOrder::JobOrder;
    header->setSortIndicatorShown(sorted);
    header->setSortIndicator(
        sorted ? static_cast<int>(model_.SortColumn()) : -1,
        model_.Order() == SortOrder::Descending ? Qt::DescendingOrder : Qt::AscendingOrder);
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

void ResultsWindow::CancelAndClose() {
    // The run stops at its next buffer; the window goes at once and is
    // closed for good when Run has ended.
    cancel_.store(true);
    closeWhenDone_ = true;
    hide();
}

void ResultsWindow::closeEvent(QCloseEvent* event) {
    if (model_.Running()) {
        CancelAndClose();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ResultsWindow::reject() {
    // Escape while it runs is the close box; a dialog closed from under Run
    // would be gone before Run ends.
    if (model_.Running()) {
        CancelAndClose();
        return;
    }
    QDialog::reject();
}

}  // namespace vorlix
