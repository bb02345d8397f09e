#pragma once

#include <string>

#include "util/DownloadFile.h"

namespace vorlix {

// DownloadFile on a worker thread. The calling thread keeps processing
// events meanwhile, so every window repaints; user input waits until the
// download has ended, as the check is modal.
bool DownloadInBackground(const std::string& address, const std::string& localPath,
                          const DownloadLimits& limits);

}  // namespace vorlix
