#include "checksum/FolderChecksum.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

#include "util/Clock.h"
#include "util/Md5sumName.h"

namespace vorlix {
namespace {

namespace fs = std::filesystem;

fs::path NormalFolder(const std::string& folder) {
    if (const auto resolved = ResolveFolder(folder)) return *resolved;
    // Not there: as written, for a message that names it.
    std::error_code ignored;
    fs::path path = fs::absolute(fs::path(folder), ignored).lexically_normal();
    if (path.filename().empty() && path.has_parent_path() && path != path.root_path()) {
        path = path.parent_path();
    }
    return path;
}

// Reads one folder: its files go into the scan, the names of its subfolders
// come back. The folder is closed before any subfolder is opened, so the
// walk holds one descriptor and no more memory per level than the names
// still to visit.
std::vector<std::string> ReadFolder(const std::string& path, const std::string& prefix,
                                    FolderScan& scan) {
    std::vector<std::string> folders;
    DIR* folder = ::opendir(path.c_str());
    if (!folder) {
        scan.leftOut.push_back(prefix.empty() ? std::string(".") : prefix);
        return folders;
    }
    const int at = ::dirfd(folder);
    const std::string separator = path.empty() || path.back() == '/' ? "" : "/";
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(folder);
        if (!entry) {
            if (errno != 0) scan.leftOut.push_back(prefix.empty() ? std::string(".") : prefix);
            break;
        }
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..") continue;
        mode_t type = DTTOIF(entry->d_type);
        if (entry->d_type == DT_UNKNOWN) {
            struct stat own {};
            type = ::fstatat(at, entry->d_name, &own, AT_SYMLINK_NOFOLLOW) == 0 ? own.st_mode : 0;
        }
        if (S_ISDIR(type)) {
            folders.emplace_back(name);
            continue;
        }
        std::string relative = prefix + std::string(name);
        if (S_ISLNK(type)) {
            struct stat target {};
            const bool known = ::fstatat(at, entry->d_name, &target, 0) == 0;
            if (known && S_ISREG(target.st_mode)) {
                scan.files.push_back({std::move(relative), path + separator + std::string(name)});
            } else if (!known || !S_ISDIR(target.st_mode)) {
                // A dangling link or a link to a device.
                scan.leftOut.push_back(std::move(relative));
            }
            continue;  // links to folders are not followed
        }
        if (S_ISREG(type)) {
            scan.files.push_back({std::move(relative), path + separator + std::string(name)});
        } else {
            scan.leftOut.push_back(std::move(relative));
        }
    }
    ::closedir(folder);
    return folders;
}

}  // namespace

std::optional<fs::path> ResolveFolder(const std::string& folder) {
    fs::path path(folder);
    while (path.filename().empty() && path.has_parent_path() && path != path.root_path()) {
        path = path.parent_path();
    }
    std::error_code error;
    const fs::path name = path.filename();
    fs::path resolved;
    if (name.empty() || name == "." || name == "..") {
        // No name of its own: the folder it stands for.
        resolved = fs::canonical(path, error);
    } else {
        resolved =
            fs::canonical(path.has_parent_path() ? path.parent_path() : fs::path("."), error);
        resolved /= name;
    }
    if (error) return std::nullopt;
    return resolved;
}

FolderScan ScanFolder(const std::string& folder) {
    // A folder on the way down: where its path and its name below the top
    // end, and the subfolders not yet visited.
    struct Level {
        std::size_t pathLength;
        std::size_t prefixLength;
        std::vector<std::string> folders;
    };
    FolderScan scan;
    std::string path = folder;
    std::string prefix;
    std::vector<Level> levels;
    levels.push_back({path.size(), prefix.size(), ReadFolder(path, prefix, scan)});
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.folders.empty()) {
            levels.pop_back();
            continue;
        }
        const std::string name = std::move(level.folders.back());
        level.folders.pop_back();
        path.resize(level.pathLength);
        if (!path.empty() && path.back() != '/') path += '/';
        path += name;
        prefix.resize(level.prefixLength);
        prefix += name + "/";
        std::vector<std::string> folders = ReadFolder(path, prefix, scan);
        levels.push_back({path.size(), prefix.size(), std::move(folders)});
    }
    std::sort(scan.files.begin(), scan.files.end(),
              [](const FolderFile& a, const FolderFile& b) { return a.relative < b.relative; });
    std::sort(scan.leftOut.begin(), scan.leftOut.end());
    return scan;
}

std::string FolderOwnName(const std::string& folder) {
    return NormalFolder(folder).filename().string();
}

std::string FolderChecksumPath(const std::string& folder, DigestAlgorithm algorithm) {
    const fs::path path = NormalFolder(folder);
    return (path.parent_path() / (path.filename().string() + "." + SuffixName(algorithm))).string();
}

std::string FolderListText(std::string_view commentLine, const std::vector<ResultRow>& rows,
                           const std::string& listFolder) {
    std::error_code ignored;
    const fs::path named = fs::absolute(listFolder, ignored).lexically_normal();
    std::optional<fs::path> real;
    std::vector<ResultRow> relative;
    for (const ResultRow& row : rows) {
        if (row.status != EntryStatus::Digested) continue;
        ResultRow entry = row;
        const fs::path absolute = fs::absolute(row.path, ignored).lexically_normal();
        fs::path name = absolute.lexically_relative(named);
        if (name.empty() || *name.begin() == "..") {
            // ".." climbs out of the folder the system finds, which a link in
            // the folder's name may put elsewhere.
            if (!real) real = fs::weakly_canonical(named, ignored);
            name = absolute.lexically_relative(*real);
        }
        entry.name = name.empty() ? absolute.generic_string() : name.generic_string();
        relative.push_back(std::move(entry));
    }
    return FolderListText(commentLine, relative);
}

std::string FolderListText(std::string_view commentLine, const std::vector<ResultRow>& rows) {
    std::string text(commentLine);
    text += "\r\n";
    for (const ResultRow& row : rows) {
        if (row.status != EntryStatus::Digested) continue;
        text += Md5sumEntryLine(row.digest, row.name, Md5sumMode::Binary);
        text += "\r\n";
    }
    return text;
}

FolderResult CreateFolderChecksumFile(Dialogs& dialogs, const Language& language,
                                      const Clock& clock, const ManyFilesRunner& run,
                                      const std::string& folder, bool autoMode,
                                      DigestAlgorithm algorithm) {
    FolderResult result;
    std::error_code ignored;
    // One path for the walk, the names and the checksum file: "dir/link/.."
    // read once by the system and once by hand would be two folders.
    std::optional<fs::path> resolved;
    // A NUL cuts the name short for the system: the walk would enter the
    // shorter folder again at every level, without end.
    if (!folder.empty() && folder.find('\0') == std::string::npos) resolved = ResolveFolder(folder);
    if (!resolved || !fs::is_directory(*resolved, ignored) || resolved->filename().empty()) {
        return result;
    }
    result.listed = resolved->string();
    const std::string ownName = resolved->filename().string();
    result.checksumPath =
        (resolved->parent_path() / (ownName + "." + SuffixName(algorithm))).string();

    const FolderScan scan = ScanFolder(result.listed);
    ManyFilesJob job;
    job.kind = ManyFilesKind::Folder;
    job.title = result.listed;
    job.listFolder = resolved->parent_path().string();
    job.algorithms = algorithm;
    for (const FolderFile& file : scan.files) {
        job.names.push_back(ownName + "/" + file.relative);
        job.paths.push_back(file.path);
    }
    const ManyFilesOutcome outcome = run ? run(job) : RunManyFiles(job);
    if (outcome.cancelled) {
        result.outcome = FolderOutcome::Cancelled;
        result.runCancelled = true;
        return result;
    }

    for (const std::string& name : scan.leftOut) result.leftOut.push_back(ownName + "/" + name);
    for (const ResultRow& row : outcome.rows) {
        if (row.status != EntryStatus::Digested) result.leftOut.push_back(row.name);
    }
    std::sort(result.leftOut.begin(), result.leftOut.end());
    result.counts = CountResults(outcome.rows);

    if (result.counts.digested != 0) {
        SaveRequest save;
        save.target = result.checksumPath;
        save.content = [&](const std::string& target) {
            // Names as md5sum -c run in the list's own folder finds them.
            return FolderListText(ChecksumCommentLine(clock.LocalNow(), ProgramChecksumIdentity()),
                                  outcome.rows, fs::absolute(target).parent_path().string());
        };
        save.dataFiles = job.paths;
        save.listedFolder = result.listed;
        // The summary says where it went; a confirmation too would say it twice.
        save.confirm = false;
        save.askFirst = !autoMode;
        const SaveResult saved = SaveFile(dialogs, language, save);
        switch (saved.outcome) {
            case SaveOutcome::Saved:
                break;
            case SaveOutcome::Cancelled:
                result.outcome = FolderOutcome::Cancelled;
                return result;
            case SaveOutcome::Failed:
                result.outcome = FolderOutcome::Failed;
                return result;
        }
        result.savedAs = saved.savedAs;
    }
    const bool complete = result.leftOut.empty() && result.counts.digested != 0;
    result.outcome = complete ? FolderOutcome::Complete : FolderOutcome::Incomplete;
    return result;
}

}  // namespace vorlix
