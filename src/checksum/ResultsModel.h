#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "checksum/ChecksumList.h"
#include "checksum/ManyFiles.h"

namespace vorlix {

class Language;

// The behaviour of the results window, without any widget: the rows as they
// come in, the counts above them, the problems-only filter, the text that
// Copy puts on the clipboard and the list that "Save as" writes.
class ResultsModel {
public:
    void Start(const ManyFilesJob& job);
    void Add(const ResultRow& row);
    void Finish(bool cancelled);

    const std::vector<ResultRow>& Rows() const { return rows_; }
    std::size_t Expected() const { return expected_; }
    bool Running() const { return running_; }
    ManyFilesKind Kind() const { return kind_; }

    void SetProblemsOnly(bool on) { problemsOnly_ = on; }
    bool ProblemsOnly() const { return problemsOnly_; }
    // Indexes of the rows shown, in order.
    std::vector<std::size_t> VisibleRows() const;

    // A status for the table: for files read without anything to compare
    // with, their digest.
    std::string StatusText(const Language& language, const ResultRow& row) const;
    // "Files: 3/40   OK: 1   Damaged: 1   Missing: 1   Unreadable: 0"
    std::string CountsText(const Language& language) const;
    // The visible rows, one a line: name, status and size between tabs.
    std::string CopyText(const Language& language) const;

    // Only digests that were read and had nothing to compare with can be
    // saved, once the run is over.
    bool CanSaveAsList() const;
    // "digest *name" lines, names relative to `listFolder`, after the comment line.
    std::string ListText(std::string_view commentLine, const std::string& listFolder) const;

private:
    std::vector<ResultRow> rows_;
    std::size_t expected_ = 0;
    bool running_ = false;
    bool problemsOnly_ = false;
    ManyFilesKind kind_ = ManyFilesKind::Dropped;
};

}  // namespace vorlix
