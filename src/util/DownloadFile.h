#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace vorlix {

struct DownloadLimits {
    std::chrono::milliseconds connectTimeout{15000};
    std::chrono::milliseconds totalTimeout{60000};
    std::uint64_t maxBytes = 1024 * 1024;  // a larger body is a failure
    int maxRedirects = 5;
};

// Fetches an address (https, http or file) to a local file, replacing it.
// HTTPS is checked against the system's certificate store, host name
// included; an HTTP status of 400 or more, a body over the limit or a time-out
// is a failure. A failure leaves no file behind, and nothing is shown. Blocks
// until done; safe to call on any thread.
bool DownloadFile(const std::string& address, const std::string& localPath,
                  const DownloadLimits& limits = {});

}  // namespace vorlix
