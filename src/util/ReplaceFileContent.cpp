#include "util/ReplaceFileContent.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>

#include "util/FileHandle.h"
#include "util/Interrupts.h"
#include "util/ResolveTarget.h"

namespace vorlix {
namespace {

namespace fs = std::filesystem;

std::error_code SystemError(int number) { return {number, std::generic_category()}; }
std::error_code LastError() { return SystemError(errno); }

bool WriteAll(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return true;
}

// Hidden, and named after the target so that a leftover (after a power cut)
// explains itself.
std::string TemporaryName(const fs::path& folder, const fs::path& target, int attempt) {
    return (folder / ("." + target.filename().string() + ".tmp" + std::to_string(::getpid()) + "-" +
                      std::to_string(attempt)))
        .string();
}

void SyncFolder(const fs::path& folder) {
    FileHandle handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (handle.get() >= 0) ::fsync(handle.get());
}

// Gives an unnamed file a name; fails with EEXIST when the name is taken.
std::error_code LinkUnnamed(int fd, const std::string& name) {
    if (::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) return {};
    if (errno == EEXIST) return LastError();
    // Without the privilege for AT_EMPTY_PATH, the file is named through /proc.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return {};
    return LastError();
}

struct Attempt {
    std::error_code error;
    bool inPlace = false;      // the folder or the owner does not allow a replacement
    bool namedNeeded = false;  // the unnamed file could not be given a name
};

// Writes the content to a new file in the target's folder and puts it in
// the target's place. `old` is the file being replaced, or null.
Attempt WriteBeside(const fs::path& target, std::string_view content, const struct stat* old,
                    bool unnamed) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    int fd = -1;
    if (unnamed) {
        fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        // EISDIR and EOPNOTSUPP: the kernel or the file system has no unnamed files.
        if (fd < 0 && (errno == EISDIR || errno == EOPNOTSUPP || errno == EINVAL)) unnamed = false;
    }
    std::string tempPath;
    std::optional<TemporaryFileCleanup> cleanup;
    if (!unnamed) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            tempPath = TemporaryName(folder, target, attempt);
            // Known to the interrupt handler before it exists, so it is never left behind.
            cleanup.emplace(tempPath);
            fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0 || errno != EEXIST) break;
            cleanup.reset();
        }
    }
    if (fd < 0) {
        const int error = errno;
        cleanup.reset();
        if (old && (error == EACCES || error == EPERM)) return {{}, true, false};
        return {SystemError(error), false, false};
    }
    FileHandle file(fd);
    const auto fail = [&](std::error_code error) {
        if (!tempPath.empty()) ::unlink(tempPath.c_str());
        return Attempt{error, false, false};
    };

    if (old) {
        struct stat fresh {};
        if (::fstat(fd, &fresh) != 0) return fail(LastError());
        // Replacing the file must not hand it over to another owner.
        if ((fresh.st_uid != old->st_uid || fresh.st_gid != old->st_gid) &&
            ::fchown(fd, old->st_uid, old->st_gid) != 0) {
            fail({});
            return {{}, true, false};
        }
        if (::fchmod(fd, old->st_mode & 07777) != 0) return fail(LastError());
    }
    if (!WriteAll(fd, content, 0) || ::fsync(fd) != 0) return fail(LastError());

    if (!tempPath.empty()) {
        if (::rename(tempPath.c_str(), target.c_str()) != 0) return fail(LastError());
    } else if (!old) {
        // A new file appears whole, under its name, in one step.
        const std::error_code error = LinkUnnamed(fd, target.string());
        if (error == std::errc::no_such_file_or_directory) return {{}, false, true};
        if (error) return {error, false, false};
    } else {
        // No call replaces a file with an unnamed one: it is named beside the
        // target for the moment of the rename.
        std::error_code error;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = TemporaryName(folder, target, attempt);
            TemporaryFileCleanup named(name);
            error = LinkUnnamed(fd, name);
            if (error == std::errc::file_exists) continue;
            if (error == std::errc::no_such_file_or_directory) return {{}, false, true};
            if (error) break;
            if (::rename(name.c_str(), target.c_str()) != 0) {
                error = LastError();
                ::unlink(name.c_str());
            }
            break;
        }
        if (error) return {error, false, false};
    }
    SyncFolder(folder);
    return {};
}

// Small files are kept so that a write failing halfway can put them back.
std::optional<std::string> ReadForRestore(const fs::path& target, const struct stat& old) {
    constexpr off_t kLimit = off_t{1} << 20;
    if (old.st_size > kLimit) return std::nullopt;
    FileHandle file(::open(target.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) return std::nullopt;
    // One byte more than the size shows a file that grew meanwhile.
    std::string bytes(static_cast<std::size_t>(old.st_size) + 1, '\0');
    std::size_t length = 0;
    for (;;) {
        const ssize_t got = ::read(file.get(), bytes.data() + length, bytes.size() - length);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        length += static_cast<std::size_t>(got);
        if (length == bytes.size()) return std::nullopt;
    }
    bytes.resize(length);
    return bytes;
}

std::error_code WriteInPlace(int fd, const fs::path& target, std::string_view content,
                             const struct stat& old) {
    // Once the first byte is written, the file is finished before an
    // interrupt may end the program.
    InterruptHold hold;
    const auto previous = ReadForRestore(target, old);
    if (WriteAll(fd, content, 0) && ::ftruncate(fd, static_cast<off_t>(content.size())) == 0 &&
        ::fsync(fd) == 0) {
        return {};
    }
    const std::error_code error = LastError();
    if (previous && WriteAll(fd, *previous, 0)) {
        (void)::ftruncate(fd, static_cast<off_t>(previous->size()));
        ::fsync(fd);
    }
    return error;
}

}  // namespace

std::error_code ReplaceFileContent(const std::string& path, std::string_view content,
                                   ReplaceOptions options) {
    // Writing through a link keeps the link, as opening the file would; a
    // link that someone else planted in a folder open to all is not followed.
    const ResolvedTarget resolved = ResolveTarget(path);
    if (resolved.error) return resolved.error;
    const fs::path target(resolved.path);

    struct stat old {};
    if (::stat(target.c_str(), &old) != 0) {
        if (errno != ENOENT) return LastError();
        Attempt attempt = WriteBeside(target, content, nullptr, options.unnamedTemporary);
        if (attempt.namedNeeded) attempt = WriteBeside(target, content, nullptr, false);
        return attempt.error;
    }
    if (S_ISDIR(old.st_mode)) return SystemError(EISDIR);
    // A device or a FIFO is never replaced by a plain file.
    if (!S_ISREG(old.st_mode)) return SystemError(EINVAL);

    // The right to write the file itself decides, whatever the folder allows:
    // a file the user may not write stays as it is.
    // No link here since it was resolved; one that appears meanwhile is not followed.
    FileHandle file(
        ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (file.get() < 0) return LastError();
    if (::fstat(file.get(), &old) != 0) return LastError();
    if (!S_ISREG(old.st_mode)) return SystemError(EINVAL);

    // A file with other hard links is written in place, so that they all
    // still show the same content.
    if (old.st_nlink <= 1) {
        Attempt attempt = WriteBeside(target, content, &old, options.unnamedTemporary);
        if (attempt.namedNeeded) attempt = WriteBeside(target, content, &old, false);
        if (!attempt.inPlace) return attempt.error;
    }
    return WriteInPlace(file.get(), target, content, old);
}

}  // namespace vorlix
