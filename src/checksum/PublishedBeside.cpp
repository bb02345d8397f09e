#include "checksum/PublishedBeside.h"

#include <sys/stat.h>

#include <vector>

#include "checksum/ChecksumList.h"
#include "checksum/ChecksumVerification.h"
#include "util/PathHelpers.h"
#include "util/Text.h"

namespace vorlix {
namespace {

// A list bigger than this is no list for one download; reading it would
// hold the window up.
constexpr off_t kLargestList = off_t{64} << 20;

std::vector<std::string> Candidates(const std::string& folder, const std::string& name) {
    std::vector<std::string> paths;
    for (const char* suffix : {".md5", ".sha256", ".sha512", ".sha1"}) {
        paths.push_back(JoinDataPath(folder, name + suffix));
        paths.push_back(JoinDataPath(folder, name + AsciiUpper(suffix)));
    }
    for (const char* list : {"MD5SUMS", "SHA256SUMS", "SHA512SUMS", "CHECKSUM"}) {
        paths.push_back(JoinDataPath(folder, list));
        paths.push_back(JoinDataPath(folder, AsciiLower(list)));
    }
    return paths;
}

}  // namespace

std::optional<PublishedBeside> FindPublishedBeside(const std::string& dataPath) {
    const std::string name = PathFileName(dataPath);
    if (name.empty()) return std::nullopt;
    const std::string folder = ChecksumFileFolder(dataPath);
    for (const std::string& path : Candidates(folder, name)) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
            info.st_size > kLargestList)
            continue;
        const auto list = ChecksumListFile::Open(path);
        if (!list) continue;
        while (auto entry = list->Next()) {
            if (entry->name != name && entry->name != "./" + name) continue;
            return PublishedBeside{path, {AsciiLower(entry->digest), entry->algorithms}};
        }
    }
    return std::nullopt;
}

}  // namespace vorlix
