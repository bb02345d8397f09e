#include "digest/DigestProgress.h"

#include <cstdio>

namespace vorlix {
namespace {

// The numbers are written with a point; the locale may want another mark.
std::string WithSeparator(std::string text, char decimalSeparator) {
    if (decimalSeparator == '.') return text;
    for (char& c : text) {
        if (c == '.') c = decimalSeparator;
    }
    return text;
}

double MegabytesPerSecond(std::uint64_t bytes, std::chrono::duration<double> elapsed) {
    const double seconds = elapsed.count();
    return seconds > 0 ? static_cast<double>(bytes) / 1e6 / seconds : 0.0;
}

}  // namespace

std::string ProgressText(std::uint64_t done, std::uint64_t total,
                         std::chrono::duration<double> elapsed, char decimalSeparator) {
    const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
    char text[64];
    std::snprintf(text, sizeof text, "%3d %%   %.1f MB/s", percent,
                  MegabytesPerSecond(done, elapsed));
    return WithSeparator(text, decimalSeparator);
}

std::string ProgressTextOfShare(int percent, std::uint64_t bytesDone,
                                std::chrono::duration<double> elapsed, char decimalSeparator) {
    const double megabytes = static_cast<double>(bytesDone) / 1e6;
    char text[96];
    if (percent >= 0) {
        std::snprintf(text, sizeof text, "%3d %%   %.1f MB   %.1f MB/s", percent, megabytes,
                      MegabytesPerSecond(bytesDone, elapsed));
    } else {
        std::snprintf(text, sizeof text, "%.1f MB   %.1f MB/s", megabytes,
                      MegabytesPerSecond(bytesDone, elapsed));
    }
    return WithSeparator(text, decimalSeparator);
}

}  // namespace vorlix
