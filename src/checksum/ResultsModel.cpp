#include "checksum/ResultsModel.h"

#include <algorithm>
#include <cerrno>

#include "checksum/FolderChecksum.h"
#include "digest/DigestProgress.h"
#include "language/Language.h"
#include "util/Text.h"

namespace vorlix {
namespace {

std::string Label(const Language& language, std::string_view key) {
    return language.GetLabel("frmResults", key);
}

// The list summary's own words, where the window says the same thing.
std::string ListLabel(const Language& language, std::string_view key) {
    return language.GetLabel("modChecksumList", key);
}

// What md5sum --ignore-missing passes over, and a run that passes absent
// files over with it: a file that does not exist. A path that runs through
// a file (ENOTDIR) is missing too, but no list that names it is sound.
bool Absent(const ResultRow& row) {
    return row.status == EntryStatus::Missing && row.errorNumber == ENOENT;
}

bool WasRead(const ResultRow& row) {
    return row.status == EntryStatus::Intact || row.status == EntryStatus::Damaged ||
           row.status == EntryStatus::Digested;
}

// Problems first, the worst of them on top; the rows that need nothing last.
int StatusRank(EntryStatus status) {
    switch (status) {
        case EntryStatus::Damaged:
            return 0;
        case EntryStatus::Missing:
            return 1;
        case EntryStatus::Unreadable:
            return 2;
        case EntryStatus::Cancelled:
            return 3;
        case EntryStatus::Intact:
            return 4;
        case EntryStatus::Digested:
            return 5;
    }
    return 6;
}

template <typename T>
int Compare(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char AsciiLowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; }

// Letter case aside and numbers by value; 0 when only that leaves them apart.
int NaturalCompare(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            while (i < a.size() && a[i] == '0') ++i;
            while (j < b.size() && b[j] == '0') ++j;
            std::size_t endA = i;
            std::size_t endB = j;
            while (endA < a.size() && IsDigit(a[endA])) ++endA;
            while (endB < b.size() && IsDigit(b[endB])) ++endB;
            // Without leading zeros the longer run is the larger number.
            if (const int byLength = Compare(endA - i, endB - j)) return byLength;
            if (const int byDigits = a.substr(i, endA - i).compare(b.substr(j, endB - j)))
                return byDigits < 0 ? -1 : 1;
            i = endA;
            j = endB;
            continue;
        }
        const auto ca = static_cast<unsigned char>(AsciiLowerChar(a[i]));
        const auto cb = static_cast<unsigned char>(AsciiLowerChar(b[j]));
        if (const int byChar = Compare(ca, cb)) return byChar;
        ++i;
        ++j;
    }
    return Compare(a.size() - i, b.size() - j);
}

int CompareBy(ResultsColumn column, const ResultRow& a, const ResultRow& b) {
    switch (column) {
        case ResultsColumn::Name:
            if (const int natural = NaturalCompare(a.name, b.name)) return natural;
            return Compare(a.name, b.name);
        case ResultsColumn::Status:
            return Compare(StatusRank(a.status), StatusRank(b.status));
        case ResultsColumn::Digest:
            return Compare(a.digest, b.digest);
        case ResultsColumn::Size:
            // A file that was not read has no size: below every size.
            if (const int read = Compare(WasRead(a), WasRead(b))) return read;
            return Compare(a.size, b.size);
    }
    return 0;
}

}  // namespace

bool NaturalLess(std::string_view a, std::string_view b) {
    const int natural = NaturalCompare(a, b);
    return natural != 0 ? natural < 0 : a < b;
}

void ResultsModel::Start(const ManyFilesJob& job) {
    rows_.clear();
    rows_.reserve(job.Count());
    visible_.clear();
    expected_ = job.Count();
    passedOver_ = 0;
    passOverAbsent_ = job.passOverAbsent;
    expectedKnown_ = !job.source || job.total != 0;
    bytesRead_ = 0;
    totalBytes_.reset();
    underWay_.clear();
    progress_ = {};
    permille_.reset();
    kind_ = job.kind;
    running_ = true;
}

void ResultsModel::Add(std::vector<ResultRow> rows) {
    const std::size_t first = rows_.size();
    for (ResultRow& row : rows) {
        if (WasRead(row)) bytesRead_ += row.size;
        if (!row.digest.empty()) digests_.Add(row.algorithm);
        if (!underWay_.empty()) underWay_.pop_front();
        rows_.push_back(std::move(row));
    }
    const auto middle = static_cast<std::ptrdiff_t>(visible_.size());
    for (std::size_t index = first; index < rows_.size(); ++index) {
        if (Shows(rows_[index])) visible_.push_back(index);
    }
    if (order_ == SortOrder::JobOrder) return;
    // The rows shown are sorted already; only the new ones need it.
    const auto before = [this](std::size_t a, std::size_t b) { return Before(a, b); };
    std::sort(visible_.begin() + middle, visible_.end(), before);
    std::inplace_merge(visible_.begin(), visible_.begin() + middle, visible_.end(), before);
}

void ResultsModel::Finish(bool cancelled) {
    running_ = false;
    if (!cancelled) permille_ = 1000;
}

void ResultsModel::SetProgress(const RunProgress& progress) {
    progress_ = progress;
    const std::optional<int> share = ShareDone();
    // An estimate that learns the sizes late must not pull the bar back.
    if (share) permille_ = std::max(permille_.value_or(0), *share);
}

bool ResultsModel::Shows(const ResultRow& row) const {
    if (hideMissing_ && Absent(row)) return false;
    return !problemsOnly_ || IsProblem(row.status);
}

void ResultsModel::SetProblemsOnly(bool on) {
    problemsOnly_ = on;
    Arrange();
}

void ResultsModel::SetHideMissing(bool on) {
    hideMissing_ = on;
    Arrange();
}

bool ResultsModel::NoneVerified() const {
    // While it runs, an intact file may still come.
    if (running_ || kind_ != ManyFilesKind::ChecksumList) return false;
    if (!hideMissing_ && !passOverAbsent_) return false;
    return std::none_of(rows_.begin(), rows_.end(),
                        [](const ResultRow& row) { return row.status == EntryStatus::Intact; });
}

void ResultsModel::SortBy(ResultsColumn column) {
    if (column != sortColumn_ || order_ == SortOrder::JobOrder) {
        sortColumn_ = column;
        order_ = SortOrder::Ascending;
    } else if (order_ == SortOrder::Ascending) {
        order_ = SortOrder::Descending;
    } else {
        order_ = SortOrder::JobOrder;
    }
    Arrange();
}

bool ResultsModel::Before(std::size_t a, std::size_t b) const {
    int by = CompareBy(sortColumn_, rows_[a], rows_[b]);
    if (order_ == SortOrder::Descending) by = -by;
    // Rows alike stay in the job's order, whichever way the column sorts.
    return by != 0 ? by < 0 : a < b;
}

void ResultsModel::Arrange() {
    visible_.clear();
    for (std::size_t index = 0; index < rows_.size(); ++index) {
        if (Shows(rows_[index])) visible_.push_back(index);
    }
    if (order_ == SortOrder::JobOrder) return;
    std::sort(visible_.begin(), visible_.end(),
              [this](std::size_t a, std::size_t b) { return Before(a, b); });
}

std::string ResultsModel::ColumnTitle(const Language& language, ResultsColumn column) const {
    switch (column) {
        case ResultsColumn::Name:
            return Label(language, "colName");
        case ResultsColumn::Status:
            return Label(language, "colStatus");
        case ResultsColumn::Digest: {
            // MD5 alone keeps the pack's title; other digests are named.
            if (digests_.Empty() || digests_ == DigestAlgorithm::Md5)
                return Label(language, "colDigest");
            std::string title;
            for (DigestAlgorithm algorithm : kDigestAlgorithms) {
                if (!digests_.Has(algorithm)) continue;
                if (!title.empty()) title += " / ";
                title += DisplayName(algorithm);
            }
            return title;
        }
        case ResultsColumn::Size:
            return Label(language, "colSize");
    }
    return {};
}

std::string ResultsModel::CellText(const Language& language, const ResultRow& row,
                                   ResultsColumn column) const {
    switch (column) {
        case ResultsColumn::Name:
            return EscapeForTerminal(row.name);
        case ResultsColumn::Status:
            return StatusText(language, row);
        case ResultsColumn::Digest:
            return row.digest;
        case ResultsColumn::Size:
            return WasRead(row) ? std::to_string(row.size) : std::string();
    }
    return {};
}

std::string ResultsModel::StatusText(const Language& language, const ResultRow& row) const {
    switch (row.status) {
        case EntryStatus::Intact:
            return Label(language, "stIntact");
        case EntryStatus::Damaged:
            return Label(language, "stDamaged");
        case EntryStatus::Missing:
            return Label(language, "stMissing");
        case EntryStatus::Unreadable:
            return Label(language, "stUnreadable");
        case EntryStatus::Digested:
            return Label(language, "stDigested");
        case EntryStatus::Cancelled:
            return Label(language, "stCancelled");
    }
    return {};
}

std::string ResultsModel::CountsText(const Language& language) const {
    const ResultCounts counts = CountResults(rows_);
    const auto count = [&](std::string_view key, std::size_t value) {
        return "   " + Label(language, key) + ": " + std::to_string(value);
    };
    std::string text =
        Label(language, "lblFiles") + " " + std::to_string(rows_.size() + passedOver_);
    // A list read as it runs may not know its length.
    if (expectedKnown_) text += "/" + std::to_string(expected_);
    if (kind_ == ManyFilesKind::ChecksumList) text += count("stIntact", counts.intact);
    if (kind_ == ManyFilesKind::ChecksumList) text += count("stDamaged", counts.damaged);
    const std::size_t hidden =
        hideMissing_ ? static_cast<std::size_t>(std::count_if(rows_.begin(), rows_.end(), Absent))
                     : 0;
    text += count("stMissing", counts.missing - hidden);
    text += count("stUnreadable", counts.unreadable);
    if (hideMissing_ || passOverAbsent_) {
        // Told apart, so that the counts still add up to the files done.
        const std::size_t passedOver = passedOver_ + hidden;
        text += "   " + ListLabel(language, "listPassedOver") + " " + std::to_string(passedOver);
    }
    if (NoneVerified()) text += "   " + ListLabel(language, "listNoneVerified");
    return text;
}

std::string ResultsModel::CopyText(const Language& language) const {
    std::string text;
    for (std::size_t index : visible_) {
        const ResultRow& row = rows_[index];
        for (ResultsColumn column : kResultsColumns) {
            if (column != kResultsColumns[0]) text += '\t';
            text += CellText(language, row, column);
        }
        text += '\n';
    }
    return text;
}

std::optional<int> ResultsModel::ShareDone() const {
    const RunProgress& now = progress_;
    if (totalBytes_ && *totalBytes_ != 0) {
        return static_cast<int>(std::min<std::uint64_t>(1000, now.bytesDone * 1000 / *totalBytes_));
    }
    if (!expectedKnown_ || expected_ == 0) return std::nullopt;
    // The engine reads ahead of the rows it hands back, but a file holds up
    // the ones after it: the bytes read beyond the files done fill the files
    // under way in order, and the first not full counts by its share.
    double files = static_cast<double>(rows_.size() + passedOver_);
    std::uint64_t read = now.bytesDone > bytesRead_ ? now.bytesDone - bytesRead_ : 0;
    for (const std::uint64_t size : underWay_) {
        if (read >= size) {
            files += 1;
            read -= size;
            continue;
        }
        files += static_cast<double>(read) / static_cast<double>(size);
        break;
    }
    return static_cast<int>(std::min(1000.0, files * 1000.0 / static_cast<double>(expected_)));
}

std::string ResultsModel::ProgressCaption(char decimalSeparator) const {
    const std::optional<int> permille = Permille();
    return ProgressTextOfShare(permille ? *permille / 10 : -1, progress_.bytesDone,
                               progress_.elapsed, decimalSeparator);
}

bool ResultsModel::CanSaveAsList() const {
    if (running_ || kind_ == ManyFilesKind::ChecksumList) return false;
    for (const ResultRow& row : rows_) {
        if (row.status == EntryStatus::Digested) return true;
    }
    return false;
}

std::string ResultsModel::ListText(std::string_view commentLine,
                                   const std::string& listFolder) const {
    return FolderListText(commentLine, rows_, listFolder);
}

}  // namespace vorlix
