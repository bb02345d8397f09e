#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "checksum/ChecksumList.h"
#include "digest/DigestMany.h"

namespace vorlix {

// Why many files are digested; the front-ends show each kind a little differently.
enum class ManyFilesKind {
    ChecksumList,  // verify entries; the console prints md5sum's lines
    Folder,        // digest a folder for its checksum file
    Dropped,       // digest what was dropped on the window
};

// One file of a job, as a source gives it.
struct ManyFilesEntry {
    std::string name;                             // as shown
    std::string path;                             // as read
    std::optional<std::string> expected;          // the recorded digest; none for a folder's file
    DigestSet algorithms = DigestAlgorithm::Md5;  // what to compute; any of them may match
};

// Fills in the next entry; false when there are no more. Called on the
// thread that runs the job, at most the engine's window (kManyFilesAhead)
// of entries ahead of the rows handed on.
using ManyFilesSource = std::function<bool(ManyFilesEntry& next)>;

struct ManyFilesJob {
    ManyFilesKind kind = ManyFilesKind::Dropped;
    std::string title;                                 // the list's or folder's path
    std::vector<std::string> names;                    // as shown, one per file
    std::vector<std::string> paths;                    // as read, one per file
    std::vector<std::optional<std::string>> expected;  // recorded digests; empty: none
    DigestSet algorithms = DigestAlgorithm::Md5;       // for the files given by name
    std::string listFolder;  // where a list saved from the results would be relative to
    // A list's summary needs only the counts; a folder's file and the
    // results window need every row.
    bool keepRows = true;
    // The files on demand instead of names, paths and expected, so that a
    // list of any size holds no more of them than the engine's window. A
    // job with a source runs once.
    ManyFilesSource source;
    std::size_t total = 0;  // how many the source gives, for progress; 0: not known
    // A file that does not exist (ENOENT, a dangling link included) gives no
    // row and no count, as md5sum --ignore-missing passes it over. Any other
    // failure, ENOTDIR among them, is still a row.
    bool passOverAbsent = false;

    // How many files the job has, as far as is known.
    std::size_t Count() const { return source ? total : paths.size(); }
};

struct ManyFilesOutcome {
    std::vector<ResultRow> rows;  // in the job's order, when the job keeps them
    ResultCounts counts;
    bool cancelled = false;
    std::size_t passedOver = 0;  // files absent under passOverAbsent
};

// Runs a job while showing it: the console prints lines and a progress line,
// the window fills its results table.
using ManyFilesRunner = std::function<ManyFilesOutcome(const ManyFilesJob& job)>;

// The run itself, for every front-end: each row is handed over as it
// finishes, in order. An entry passed over gives no row; `onPassedOver` is
// told of it in its place, so that a count of the entries done still
// reaches the job's total.
ManyFilesOutcome RunManyFiles(const ManyFilesJob& job,
                              const std::function<void(const ResultRow&)>& onRow = {},
                              const std::atomic<bool>* cancel = nullptr,
                              const DigestManyProgress& progress = {},
                              const std::function<void()>& onPassedOver = {});

}  // namespace vorlix
