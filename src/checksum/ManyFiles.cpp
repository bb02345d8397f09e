#include "checksum/ManyFiles.h"

namespace vorlix {

ManyFilesOutcome RunManyFiles(const ManyFilesJob& job,
                              const std::function<void(const ResultRow&)>& onRow,
                              const std::atomic<bool>* cancel,
                              const DigestManyProgress& progress) {
    ManyFilesOutcome outcome;
    outcome.rows.reserve(job.paths.size());
    DigestMany(
        job.paths,
        [&](std::size_t index, const FileDigestResult& result) {
            const std::optional<std::string> expected =
                index < job.expected.size() ? job.expected[index] : std::nullopt;
            outcome.rows.push_back(ClassifyResult(job.names[index], job.paths[index], expected, result));
            if (outcome.rows.back().status == EntryStatus::Cancelled) outcome.cancelled = true;
            if (onRow) onRow(outcome.rows.back());
        },
        cancel, progress);
    return outcome;
}

}  // namespace vorlix
