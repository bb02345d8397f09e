#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checksum/ChecksumList.h"
#include "checksum/ManyFiles.h"

namespace vorlix {

class Language;

// The table's columns, left to right.
enum class ResultsColumn { Name, Status, Digest, Size };
inline constexpr ResultsColumn kResultsColumns[] = {ResultsColumn::Name, ResultsColumn::Status,
                                                    ResultsColumn::Digest, ResultsColumn::Size};

// The rows in the order the job gave them, or sorted by one column.
enum class SortOrder { JobOrder, Ascending, Descending };

// How far a run is, as the run tells the window.
struct RunProgress {
    std::uint64_t bytesDone = 0;  // read so far, the files under way included
    std::chrono::duration<double> elapsed{};
};

// The behaviour of the results window, without any widget: the rows as they
// come in, the counts above them, their order and the filters (problems
// only, missing files hidden), how far the run is, the text that Copy puts
// on the clipboard and the list that "Save as" writes.
class ResultsModel {
  public:
    void Start(const ManyFilesJob& job);
    // The size of every file of the job, when it could be told before the run.
    void SetTotalBytes(std::uint64_t bytes) { totalBytes_ = bytes; }
    // The size of the next file handed to the engine, when the files are
    // known only as the run takes them (a list read as it runs).
    void Taken(std::uint64_t size) { underWay_.push_back(size); }
    void Add(const ResultRow& row) { Add(std::vector<ResultRow>{row}); }
    // Rows that finished, in the job's order.
    void Add(std::vector<ResultRow> rows);
    // Entries the run passed over (absent files of a job that passes over
    // them): no rows, but done all the same.
    void PassedOver(std::size_t count) { passedOver_ += count; }
    void Finish(bool cancelled);

    const std::vector<ResultRow>& Rows() const { return rows_; }
    std::size_t Expected() const { return expected_; }
    bool Running() const { return running_; }
    ManyFilesKind Kind() const { return kind_; }

    void SetProblemsOnly(bool on);
    bool ProblemsOnly() const { return problemsOnly_; }
    // Files that do not exist hidden and counted as passed over, as md5sum
    // --ignore-missing passes them over. Nothing else is: not a file that is
    // there but damaged or unreadable, nor a path through a file (ENOTDIR).
    void SetHideMissing(bool on);
    bool HideMissing() const { return hideMissing_; }
    // The digests the rows hold so far; the digest column is titled by them.
    DigestSet Digests() const { return digests_; }
    // Whether the filters let the row be shown.
    bool Shows(const ResultRow& row) const;
    // A list run over, its absent files passed over (by the run or hidden
    // here), with no file found intact: nothing vouches for it, whatever
    // the other counts say.
    bool NoneVerified() const;

    // A click on a column's header: sorted up, then down, then back to the
    // job's order. The status sorts problems first.
    void SortBy(ResultsColumn column);
    ResultsColumn SortColumn() const { return sortColumn_; }
    SortOrder Order() const { return order_; }

    // Indexes of the rows shown, in the order shown.
    const std::vector<std::size_t>& VisibleRows() const { return visible_; }

    std::string ColumnTitle(const Language& language, ResultsColumn column) const;
    // A cell as shown: a name escaped as the console shows it, nothing for
    // the digest and size of a file that was not read.
    std::string CellText(const Language& language, const ResultRow& row,
                         ResultsColumn column) const;
    std::string StatusText(const Language& language, const ResultRow& row) const;
    // "Files: 3/40   OK: 1   Damaged: 1   Missing: 1   Unreadable: 0"; with
    // absent files passed over, their number after, out of Missing. Files
    // counts every entry done, passed over or not.
    std::string CountsText(const Language& language) const;
    // The visible rows in the order shown, one a line, the cells between tabs.
    std::string CopyText(const Language& language) const;

    void SetProgress(const RunProgress& progress);
    // The share of the run done, in thousandths, as of the last progress;
    // nothing when it cannot be told. With every size known it is the share
    // of the bytes; otherwise the files done, and those under way by the
    // share of them read. It never goes back while the run goes on.
    std::optional<int> Permille() const { return permille_; }
    // "42 %   1234.5 MB   812.5 MB/s": the share and the speed as a single
    // file's digest shows them, with the bytes read, which move even when
    // the share hardly does.
    std::string ProgressCaption(char decimalSeparator) const;

    // Only digests that were read and had nothing to compare with can be
    // saved, once the run is over.
    bool CanSaveAsList() const;
    // "digest *name" lines, names relative to `listFolder`, after the comment line.
    std::string ListText(std::string_view commentLine, const std::string& listFolder) const;

  private:
    std::optional<int> ShareDone() const;
    bool Before(std::size_t a, std::size_t b) const;
    void Arrange();

    std::vector<ResultRow> rows_;
    DigestSet digests_;
    std::vector<std::size_t> visible_;
    std::size_t expected_ = 0;
    std::size_t passedOver_ = 0;  // by the run; no rows
    bool expectedKnown_ = true;
    std::uint64_t bytesRead_ = 0;  // of the rows in
    std::optional<std::uint64_t> totalBytes_;
    std::deque<std::uint64_t> underWay_;  // sizes of the files taken, not yet in
    RunProgress progress_;
    std::optional<int> permille_;
    bool running_ = false;
    bool problemsOnly_ = false;
    bool hideMissing_ = false;
    bool passOverAbsent_ = false;  // the run itself passes absent files over
    ResultsColumn sortColumn_ = ResultsColumn::Name;
    SortOrder order_ = SortOrder::JobOrder;
    ManyFilesKind kind_ = ManyFilesKind::Dropped;
};

// Names as people read them: letter case aside, and numbers by their value
// ("photo 9" before "photo 10"); byte order decides the rest.
bool NaturalLess(std::string_view a, std::string_view b);

}  // namespace vorlix
