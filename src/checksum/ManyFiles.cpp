#include "checksum/ManyFiles.h"

namespace vorlix {

ManyFilesOutcome RunManyFiles(const ManyFilesJob& job,
                              const std::function<void(const ResultRow&)>& onRow,
                              const std::atomic<bool>* cancel,
                              const DigestManyProgress& progress) {
    ManyFilesOutcome outcome;
    if (job.keepRows) outcome.rows.reserve(job.paths.size());
    DigestMany(
        job.paths,
        [&](std::size_t index, const FileDigestResult& result) {
            const std::optional<std::string>& expected =
                index < job.expected.size() ? job.expected[index] : std::nullopt;
            ResultRow row = ClassifyResult(job.names[index], job.paths[index], expected, result);
            CountResult(outcome.counts, row);
            if (row.status == EntryStatus::Cancelled) outcome.cancelled = true;
            if (onRow) onRow(row);
            if (job.keepRows) outcome.rows.push_back(std::move(row));
        },
        cancel, progress);
    return outcome;
}

}  // namespace vorlix
