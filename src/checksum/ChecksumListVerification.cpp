#include "checksum/ChecksumListVerification.h"

#include "checksum/ChecksumVerification.h"
#include "language/Language.h"
#include "ui/Dialogs.h"

namespace vorlix {

ListOutcome VerifyChecksumList(Dialogs& dialogs, const Language& language,
                               const ManyFilesRunner& run, const std::string& checksumPath) {
    return VerifyChecksumList(dialogs, language, run, checksumPath,
                              ReadChecksumList(checksumPath).value_or(ChecksumList{}));
}

ListOutcome VerifyChecksumList(Dialogs& dialogs, const Language& language,
                               const ManyFilesRunner& run, const std::string& checksumPath,
                               ChecksumList list) {
    const auto label = [&](std::string_view key) { return language.GetLabel("frmVorlix", key); };
    if (list.entries.empty()) {
        dialogs.MessageBox(label("msgbox5Text1") + " " + checksumPath + " " + label("msgbox5Text2"),
                           label("msgbox2Caption"), MessageIcon::Stop);
        return ListOutcome::NoUsableEntry;
    }

    ManyFilesJob job;
    job.kind = ManyFilesKind::ChecksumList;
    job.title = checksumPath;
    job.keepRows = false;
    const std::string folder = ChecksumFileFolder(checksumPath);
    const std::size_t count = list.entries.size();
    job.names.reserve(count);
    job.paths.reserve(count);
    job.expected.reserve(count);
    for (ChecksumListEntry& entry : list.entries) {
        job.paths.push_back(JoinDataPath(folder, entry.name));
        job.names.push_back(std::move(entry.name));
        job.expected.emplace_back(std::move(entry.digest));
    }
    const ManyFilesOutcome outcome = run ? run(job) : RunManyFiles(job);

    const bool passed = ListPassed(outcome.counts) && !outcome.cancelled;
    dialogs.MessageBox(ChecksumListSummaryText(language, checksumPath, outcome.counts, list.notEntries),
                       language.GetLabel("modChecksumList", "listCaption"),
                       passed ? MessageIcon::Information : MessageIcon::Stop);
    return passed ? ListOutcome::Passed : ListOutcome::Failed;
}

}  // namespace vorlix
