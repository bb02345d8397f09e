#include "checksum/ChecksumListVerification.h"

#include "checksum/ChecksumVerification.h"
#include "language/Language.h"
#include "ui/Dialogs.h"
#include "util/PathHelpers.h"

namespace vorlix {

ListOutcome VerifyChecksumList(Dialogs& dialogs, const Language& language,
                               const ManyFilesRunner& run, const std::string& checksumPath) {
    const auto label = [&](std::string_view key) { return language.GetLabel("frmVorlix", key); };
    const auto list = ReadChecksumList(checksumPath);
    if (!list || list->entries.empty()) {
        dialogs.MessageBox(label("msgbox5Text1") + " " + checksumPath + " " + label("msgbox5Text2"),
                           label("msgbox2Caption"), MessageIcon::Stop);
        return ListOutcome::NoUsableEntry;
    }

    ManyFilesJob job;
    job.kind = ManyFilesKind::ChecksumList;
    job.title = checksumPath;
    for (const ChecksumListEntry& entry : list->entries) {
        job.names.push_back(entry.name);
        job.paths.push_back(ResolveDataPath(checksumPath, entry.name));
        job.expected.emplace_back(entry.digest);
    }
    const ManyFilesOutcome outcome = run ? run(job) : RunManyFiles(job);

    const ResultCounts counts = CountResults(outcome.rows);
    const bool passed = ListPassed(counts) && !outcome.cancelled;
    dialogs.MessageBox(ChecksumListSummaryText(language, checksumPath, counts, list->notEntries),
                       language.GetLabel("modChecksumList", "listCaption"),
                       passed ? MessageIcon::Information : MessageIcon::Stop);
    return passed ? ListOutcome::Passed : ListOutcome::Failed;
}

}  // namespace vorlix
