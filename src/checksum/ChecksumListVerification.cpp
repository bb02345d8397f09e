#include "checksum/ChecksumListVerification.h"

#include <optional>
#include <utility>

#include "checksum/ChecksumVerification.h"

namespace vorlix {

ListResult VerifyChecksumList(const ManyFilesRunner& run, const std::string& checksumPath,
                              bool passOverAbsent) {
    // A file that cannot be read has no entry, like an empty one.
    auto list = ChecksumListFile::Open(checksumPath);
    if (!list) list = ChecksumListFile::OfText("");
    return VerifyChecksumList(run, checksumPath, *list, 0, passOverAbsent);
}

ListResult VerifyChecksumList(const ManyFilesRunner& run, const std::string& checksumPath,
                              ChecksumListFile& list, std::size_t total, bool passOverAbsent) {
    // The first entry is read before anything is run: a list without one
    // has nothing to verify, whatever was counted before.
    std::optional<ChecksumListEntry> first = list.Next();
    if (!first) return {};

    ManyFilesJob job;
    job.kind = ManyFilesKind::ChecksumList;
    job.title = checksumPath;
    job.keepRows = false;
    job.total = total;
    job.passOverAbsent = passOverAbsent;
    const std::string folder = ChecksumFileFolder(checksumPath);
    job.source = [&](ManyFilesEntry& next) {
        std::optional<ChecksumListEntry> entry = first ? std::move(first) : list.Next();
        first.reset();
        if (!entry) return false;
        next.path = JoinDataPath(folder, entry->name);
        next.name = std::move(entry->name);
        next.expected = std::move(entry->digest);
        next.algorithms = entry->algorithms;
        return true;
    };
    const ManyFilesOutcome outcome = run ? run(job) : RunManyFiles(job);

    ListResult result;
    result.noneVerified = passOverAbsent && outcome.counts.intact == 0;
    const bool passed = ListPassed(outcome.counts) && !outcome.cancelled && !result.noneVerified;
    result.outcome = passed ? ListOutcome::Passed : ListOutcome::Failed;
    result.counts = outcome.counts;
    result.notEntries = list.NotEntries();
    result.passedOver = outcome.passedOver;
    return result;
}

}  // namespace vorlix
