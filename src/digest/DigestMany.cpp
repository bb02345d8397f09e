#include "digest/DigestMany.h"

namespace vorlix {

void DigestMany(const std::vector<std::string>& paths, const DigestResultHandler& onResult,
                const std::atomic<bool>* cancel, const DigestManyProgress& progress) {
    std::uint64_t finishedBytes = 0;
    for (std::size_t index = 0; index < paths.size(); ++index) {
        FileDigestResult result;
        if (cancel && cancel->load()) {
            result.status = FileDigestResult::Status::Cancelled;
        } else {
            DigestProgress fileProgress;
            if (progress) {
                fileProgress = [&](std::uint64_t done, std::uint64_t) {
                    progress(finishedBytes + done);
                };
            }
            result = ComputeFileDigest(paths[index], fileProgress, cancel);
            if (result.status == FileDigestResult::Status::Ok) {
                finishedBytes += result.size;
                if (progress) progress(finishedBytes);
            }
        }
        onResult(index, result);
    }
}

}  // namespace vorlix
