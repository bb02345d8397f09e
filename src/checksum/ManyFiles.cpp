#include "checksum/ManyFiles.h"

#include <any>
#include <cerrno>
#include <utility>

namespace vorlix {

ManyFilesOutcome RunManyFiles(const ManyFilesJob& job,
                              const std::function<void(const ResultRow&)>& onRow,
                              const std::atomic<bool>* cancel, const DigestManyProgress& progress,
                              const std::function<void()>& onPassedOver) {
    ManyFilesOutcome outcome;
    if (job.keepRows) outcome.rows.reserve(job.Count());
    std::size_t next = 0;
    const ManyFilesSource fromVectors = [&](ManyFilesEntry& entry) {
        if (next == job.paths.size()) return false;
        entry.name = job.names[next];
        entry.path = job.paths[next];
        entry.expected = next < job.expected.size() ? job.expected[next] : std::nullopt;
        entry.algorithms = job.algorithms;
        ++next;
        return true;
    };
    const ManyFilesSource& source = job.source ? job.source : fromVectors;
    DigestMany(
        [&](ManyFileEntry& file) {
            ManyFilesEntry entry;
            if (!source(entry)) return false;
            // The engine reads the path; the rest waits beside it for the result.
            file.path = std::move(entry.path);
            file.algorithms = entry.algorithms;
            file.tag = std::move(entry);
            return true;
        },
        [&](std::size_t, ManyFileEntry& file, const FileDigestResult& result) {
            if (job.passOverAbsent && result.status == FileDigestResult::Status::ReadError &&
                result.errorNumber == ENOENT) {
                ++outcome.passedOver;
                if (onPassedOver) onPassedOver();
                return;
            }
            ManyFilesEntry& entry = std::any_cast<ManyFilesEntry&>(file.tag);
            ResultRow row =
                ClassifyResult(std::move(entry.name), std::move(file.path), entry.expected, result);
            CountResult(outcome.counts, row);
            if (row.status == EntryStatus::Cancelled) outcome.cancelled = true;
            if (onRow) onRow(row);
            if (job.keepRows) outcome.rows.push_back(std::move(row));
        },
        cancel, progress);
    return outcome;
}

}  // namespace vorlix
