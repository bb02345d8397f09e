#include "digest/DigestMany.h"

#include "digest/ManyFileDigest.h"

namespace vorlix {

void DigestMany(const std::vector<std::string>& paths, const DigestResultHandler& onResult,
                const std::atomic<bool>* cancel, const DigestManyProgress& progress) {
    // The multi-buffer scheduler: every core, several files per core, results
    // still in list order. Anything but a regular file is a read error.
    ManyFileDigestOptions options;
    options.cancel = cancel;
    options.progress = progress;
    DigestManyFiles(paths, onResult, options);
}

}  // namespace vorlix
