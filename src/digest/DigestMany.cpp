#include "digest/DigestMany.h"

namespace vorlix {
namespace {

// The multi-buffer scheduler: every core, several files per core, results
// still in list order. Anything but a regular file is a read error.
ManyFileDigestOptions Options(const std::atomic<bool>* cancel, const DigestManyProgress& progress) {
    ManyFileDigestOptions options;
    options.cancel = cancel;
    options.progress = progress;
    return options;
}

}  // namespace

void DigestMany(const std::vector<std::string>& paths, const DigestResultHandler& onResult,
                const std::atomic<bool>* cancel, const DigestManyProgress& progress) {
    DigestManyFiles(paths, onResult, Options(cancel, progress));
}

void DigestMany(const ManyFileSource& source, const ManyFileEntryResult& onResult,
                const std::atomic<bool>* cancel, const DigestManyProgress& progress) {
    DigestManyFiles(source, onResult, Options(cancel, progress));
}

}  // namespace vorlix
