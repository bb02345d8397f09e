#pragma once

#include <atomic>
#include <string>

namespace vorlix {

// From now on SIGINT, SIGTERM, SIGHUP and SIGQUIT end the program with
// `status` at once, after removing the temporary file being written, if there
// is one. Work that must not stop halfway holds them back with an
// InterruptHold.
void ExitOnInterrupt(int status);

// Without it, a write beyond the file-size limit kills the program before it
// can clean up or say why; ignored, the write fails with EFBIG instead.
void IgnoreFileSizeSignal();

// While one exists, an interrupt is only noted; the work may watch
// Requested() to stop early. When the last hold goes, a noted interrupt ends
// the program. Inert unless ExitOnInterrupt was called.
class InterruptHold {
  public:
    InterruptHold();
    ~InterruptHold();
    InterruptHold(const InterruptHold&) = delete;
    InterruptHold& operator=(const InterruptHold&) = delete;

    static const std::atomic<bool>& Requested();
};

// While one exists, an interrupt removes the file at `path` before the
// program ends. One at a time.
class TemporaryFileCleanup {
  public:
    explicit TemporaryFileCleanup(const std::string& path);
    ~TemporaryFileCleanup();
    TemporaryFileCleanup(const TemporaryFileCleanup&) = delete;
    TemporaryFileCleanup& operator=(const TemporaryFileCleanup&) = delete;
};

}  // namespace vorlix
