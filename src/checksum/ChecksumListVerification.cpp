#include "checksum/ChecksumListVerification.h"

#include <optional>
#include <utility>

#include "checksum/ChecksumVerification.h"
#include "language/Language.h"
#include "ui/Dialogs.h"

namespace vorlix {

ListOutcome VerifyChecksumList(Dialogs& dialogs, const Language& language,
                               const ManyFilesRunner& run, const std::string& checksumPath) {
    // A file that cannot be read has no entry, like an empty one.
    auto list = ChecksumListFile::Open(checksumPath);
    if (!list) list = ChecksumListFile::OfText("");
    return VerifyChecksumList(dialogs, language, run, checksumPath, *list, 0);
}

ListOutcome VerifyChecksumList(Dialogs& dialogs, const Language& language,
                               const ManyFilesRunner& run, const std::string& checksumPath,
                               ChecksumListFile& list, std::size_t total) {
    const auto label = [&](std::string_view key) { return language.GetLabel("frmVorlix", key); };
    // The first entry is read before anything is shown: a list without one
    // has nothing to verify, whatever was counted before.
    std::optional<ChecksumListEntry> first = list.Next();
    if (!first) {
        dialogs.MessageBox(label("msgbox5Text1") + " " + checksumPath + " " + label("msgbox5Text2"),
                           label("msgbox2Caption"), MessageIcon::Stop);
        return ListOutcome::NoUsableEntry;
    }

    ManyFilesJob job;
    job.kind = ManyFilesKind::ChecksumList;
    job.title = checksumPath;
    job.keepRows = false;
    job.total = total;
    const std::string folder = ChecksumFileFolder(checksumPath);
    job.source = [&](ManyFilesEntry& next) {
        std::optional<ChecksumListEntry> entry = first ? std::move(first) : list.Next();
        first.reset();
        if (!entry) return false;
        next.path = JoinDataPath(folder, entry->name);
        next.name = std::move(entry->name);
        next.expected = std::move(entry->digest);
        return true;
    };
    const ManyFilesOutcome outcome = run ? run(job) : RunManyFiles(job);

    const bool passed = ListPassed(outcome.counts) && !outcome.cancelled;
    // On the console md5sum's lines alone are the output, as md5sum's are.
    dialogs.ShowDiagnostic(
        ChecksumListSummaryText(language, checksumPath, outcome.counts, list.NotEntries()),
        language.GetLabel("modChecksumList", "listCaption"),
        passed ? MessageIcon::Information : MessageIcon::Stop);
    return passed ? ListOutcome::Passed : ListOutcome::Failed;
}

}  // namespace vorlix
