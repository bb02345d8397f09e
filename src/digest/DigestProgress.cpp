#include "digest/DigestProgress.h"

#include <cstdio>

namespace vorlix {

std::string ProgressText(std::uint64_t done, std::uint64_t total,
                         std::chrono::duration<double> elapsed, char decimalSeparator) {
    const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
    return ProgressTextOfShare(percent, done, elapsed, decimalSeparator);
}

std::string ProgressTextOfShare(int percent, std::uint64_t bytesDone,
                                std::chrono::duration<double> elapsed, char decimalSeparator) {
    const double seconds = elapsed.count();
    const double megabytesPerSecond = seconds > 0 ? bytesDone / 1e6 / seconds : 0.0;
    char text[64];
    if (percent >= 0) {
        std::snprintf(text, sizeof text, "%3d %%   %.1f MB/s", percent, megabytesPerSecond);
    } else {
        std::snprintf(text, sizeof text, "%.1f MB/s", megabytesPerSecond);
    }
    std::string result(text);
    if (decimalSeparator != '.') {
        if (const auto dot = result.rfind('.'); dot != std::string::npos)
            result[dot] = decimalSeparator;
    }
    return result;
}

}  // namespace vorlix
