#include "util/ResolveTarget.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

namespace vorlix {
namespace {

namespace fs = std::filesystem;

// As many links as the kernel follows before it gives up with ELOOP.
constexpr int kMaxLinks = 40;

// Puts the names of `path` on the stack of names still to walk, its first
// name on top.
void PushNames(const fs::path& path, std::vector<std::string>& pending) {
    std::vector<std::string> names;
    for (const fs::path& name : path.relative_path()) names.push_back(name.string());
    pending.insert(pending.end(), names.rbegin(), names.rend());
}

}  // namespace

bool MayFollowLink(uid_t linkOwner, uid_t folderOwner, mode_t folderMode, uid_t follower) {
    const bool openToAll = (folderMode & S_ISVTX) != 0 && (folderMode & S_IWOTH) != 0;
    return !openToAll || linkOwner == follower || linkOwner == folderOwner;
}

ResolvedTarget ResolveTarget(const std::string& path) {
    ResolvedTarget resolved;
    const fs::path absolute = fs::absolute(path, resolved.error);
    if (resolved.error) return resolved;

    std::vector<std::string> pending;
    PushNames(absolute, pending);
    fs::path done = absolute.root_path();
    int links = 0;
    while (!pending.empty()) {
        const std::string name = std::move(pending.back());
        pending.pop_back();
        if (name.empty() || name == ".") continue;
        // `done` has no link in it, so its parent is the folder ".." names.
        if (name == "..") {
            done = done.parent_path();
            continue;
        }
        const fs::path next = done / name;
        struct stat own {};
        if (::lstat(next.c_str(), &own) != 0) {
            // Not there (yet): the rest stands as written; creating it will
            // make it or fail with the system's reason.
            done = next;
            while (!pending.empty()) {
                done /= pending.back();
                pending.pop_back();
            }
            break;
        }
        if (!S_ISLNK(own.st_mode)) {
            done = next;
            continue;
        }
        struct stat folder {};
        if (::stat(done.c_str(), &folder) != 0) {
            resolved.error = {errno, std::generic_category()};
            return resolved;
        }
        if (!MayFollowLink(own.st_uid, folder.st_uid, folder.st_mode, ::geteuid())) {
            resolved.refusedLink = next.string();
            resolved.error = std::make_error_code(std::errc::permission_denied);
            return resolved;
        }
        if (++links > kMaxLinks) {
            resolved.error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
            return resolved;
        }
        const fs::path target = fs::read_symlink(next, resolved.error);
        if (resolved.error) return resolved;
        if (target.is_absolute()) done = target.root_path();
        PushNames(target, pending);
    }
    resolved.path = done.string();
    return resolved;
}

}  // namespace vorlix
