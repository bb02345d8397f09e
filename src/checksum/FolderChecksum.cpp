#include "checksum/FolderChecksum.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "language/Language.h"
#include "ui/Dialogs.h"
#include "util/Clock.h"
#include "util/FileExists.h"
#include "util/Md5sumName.h"

namespace vorlix {
namespace {

namespace fs = std::filesystem;

fs::path NormalFolder(const std::string& folder) {
    std::error_code ignored;
    fs::path path = fs::absolute(fs::path(folder), ignored).lexically_normal();
    if (path.filename().empty() && path.has_parent_path() && path != path.root_path()) {
        path = path.parent_path();
    }
    return path;
}

void ScanInto(const fs::path& folder, const std::string& prefix, FolderScan& scan) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) {
        scan.leftOut.push_back(prefix.empty() ? std::string(".") : prefix);
        return;
    }
    for (; it != fs::directory_iterator(); it.increment(error)) {
        const fs::path& path = it->path();
        const std::string relative = prefix + path.filename().string();
        std::error_code statusError;
        const fs::file_status own = fs::symlink_status(path, statusError);
        if (fs::is_directory(own)) {
            ScanInto(path, relative + "/", scan);
            continue;
        }
        if (fs::is_symlink(own)) {
            const fs::file_status target = fs::status(path, statusError);
            if (fs::is_regular_file(target)) {
                scan.files.push_back({relative, path.string()});
            } else if (!fs::is_directory(target)) {
                scan.leftOut.push_back(relative);  // a dangling link or a link to a device
            }
            continue;  // links to folders are not followed
        }
        if (fs::is_regular_file(own)) {
            scan.files.push_back({relative, path.string()});
        } else {
            scan.leftOut.push_back(relative);
        }
    }
    if (error) scan.leftOut.push_back(prefix.empty() ? std::string(".") : prefix);
}

std::string Label(const Language& language, std::string_view key) {
    return language.GetLabel("modChecksumList", key);
}

}  // namespace

FolderScan ScanFolder(const std::string& folder) {
    FolderScan scan;
    ScanInto(fs::path(folder), "", scan);
    std::sort(scan.files.begin(), scan.files.end(),
              [](const FolderFile& a, const FolderFile& b) { return a.relative < b.relative; });
    std::sort(scan.leftOut.begin(), scan.leftOut.end());
    return scan;
}

std::string FolderOwnName(const std::string& folder) {
    return NormalFolder(folder).filename().string();
}

std::string FolderChecksumPath(const std::string& folder) {
    const fs::path path = NormalFolder(folder);
    return (path.parent_path() / (path.filename().string() + ".MD5")).string();
}

std::string FolderListText(std::string_view commentLine, const std::vector<ResultRow>& rows) {
    std::string text(commentLine);
    text += "\r\n";
    for (const ResultRow& row : rows) {
        if (row.status != EntryStatus::Digested) continue;
        if (Md5sumNeedsEscape(row.name)) {
            text += "\\" + row.digest + " *" + Md5sumEscape(row.name);
        } else {
            text += row.digest + " *" + row.name;
        }
        text += "\r\n";
    }
    return text;
}

SaveOutcome SaveChecksumListFile(Dialogs& dialogs, const Language& language,
                                 const std::string& checksumPath, const std::string& content,
                                 bool autoMode, const std::string& lastUsedPath,
                                 std::string* savedAs) {
    const auto label = [&](std::string_view key) { return language.GetLabel("frmVorlix", key); };
    std::string target = checksumPath;
    std::error_code ignored;
    if (!autoMode && fs::exists(fs::symlink_status(checksumPath, ignored))) {
        const Answer answer =
            dialogs.MessageBox(label("lblFileSource") + checksumPath + " " + label("msgbox1Text1"),
                               language.GetLabel("Generic", "SaveChangesCaption"),
                               MessageIcon::Question, MessageButtons::YesNo, DefaultButton::No);
        if (answer != Answer::Yes) {
            const auto chosen = dialogs.OpenFile(
                {label("cmdlgMD5File"), "MD5", label("cmdlgTitle2"), lastUsedPath});
            if (!chosen) {
                dialogs.MessageBox(
                    label("msgbox2Text1") + " " + checksumPath + " " + label("msgbox2Text2"),
                    label("msgbox2Caption"), MessageIcon::Information);
                return SaveOutcome::Cancelled;
            }
            target = *chosen;
        }
    }
    if (const std::error_code error = WriteChecksumFile(target, content)) {
        dialogs.MessageBox(
            label("msgbox3Text1") + " " + std::to_string(error.value()) + " " + error.message(),
            "Vorlix", MessageIcon::None);
        return SaveOutcome::Failed;
    }
    if (savedAs) *savedAs = target;
    if (!autoMode) {
        dialogs.MessageBox(label("msgbox4Text1") + " " + target, label("msgbox4Text2"),
                           MessageIcon::Information);
    }
    return SaveOutcome::Saved;
}

FolderOutcome CreateFolderChecksumFile(Dialogs& dialogs, const Language& language,
                                       const Clock& clock, const ManyFilesRunner& run,
                                       const std::string& folder, bool autoMode,
                                       const std::string& lastUsedPath) {
    const std::string caption = Label(language, "folderCaption");
    std::error_code ignored;
    const std::string ownName = FolderOwnName(folder);
    // A NUL cuts the name short for the system: the walk would enter the
    // shorter folder again at every level, without end.
    if (folder.empty() || folder.find('\0') != std::string::npos ||
        !fs::is_directory(folder, ignored) || ownName.empty()) {
        dialogs.MessageBox(Label(language, "folderText1") + " " + folder + " " +
                               Label(language, "folderNotFound"),
                           caption, MessageIcon::Stop);
        return FolderOutcome::NotAFolder;
    }
    const std::string checksumPath = FolderChecksumPath(folder);

    const FolderScan scan = ScanFolder(folder);
    ManyFilesJob job;
    job.kind = ManyFilesKind::Folder;
    job.title = folder;
    job.listFolder = fs::path(checksumPath).parent_path().string();
    for (const FolderFile& file : scan.files) {
        job.names.push_back(ownName + "/" + file.relative);
        job.paths.push_back(file.path);
    }
    const ManyFilesOutcome outcome = run ? run(job) : RunManyFiles(job);
    if (outcome.cancelled) {
        const auto label = [&](std::string_view key) { return language.GetLabel("frmVorlix", key); };
        dialogs.MessageBox(label("msgbox2Text1") + " " + checksumPath + " " + label("msgbox2Text2"),
                           label("msgbox2Caption"), MessageIcon::Information);
        return FolderOutcome::Cancelled;
    }

    std::vector<std::string> leftOut;
    for (const std::string& name : scan.leftOut) leftOut.push_back(ownName + "/" + name);
    for (const ResultRow& row : outcome.rows) {
        if (row.status != EntryStatus::Digested) leftOut.push_back(row.name);
    }
    std::sort(leftOut.begin(), leftOut.end());
    const ResultCounts counts = CountResults(outcome.rows);

    std::string summary = Label(language, "folderText1") + " " + folder;
    if (counts.digested == 0) {
        summary += " " + Label(language, "folderEmpty");
    } else {
        const std::string content =
            FolderListText(ChecksumCommentLine(clock.LocalNow(), ProgramChecksumIdentity()),
                           outcome.rows);
        std::string savedAs;
        switch (SaveChecksumListFile(dialogs, language, checksumPath, content, autoMode,
                                     lastUsedPath, &savedAs)) {
            case SaveOutcome::Saved:
                break;
            case SaveOutcome::Cancelled:
                return FolderOutcome::Cancelled;
            case SaveOutcome::Failed:
                return FolderOutcome::Failed;
        }
        summary += "\r\n" + Label(language, "folderSavedTo") + " " + savedAs;
        summary += "\r\n" + Label(language, "folderRecorded") + " " + std::to_string(counts.digested);
        summary += "\r\n" + Label(language, "folderBytes") + " " + std::to_string(counts.bytes);
    }
    if (!leftOut.empty()) {
        summary += "\r\n" + Label(language, "folderLeftOut");
        for (const std::string& name : leftOut) summary += "\r\n   " + Md5sumEscape(name);
    }
    const bool complete = leftOut.empty() && counts.digested != 0;
    dialogs.MessageBox(summary, caption, complete ? MessageIcon::Information : MessageIcon::Stop);
    return complete ? FolderOutcome::Complete : FolderOutcome::Incomplete;
}

}  // namespace vorlix
