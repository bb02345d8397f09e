#include "util/FileExists.h"

#include <sys/stat.h>

namespace vorlix {

bool FileExists(const std::string& path) {
    if (path.empty()) return false;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    return !S_ISDIR(info.st_mode);
}

}  // namespace vorlix
