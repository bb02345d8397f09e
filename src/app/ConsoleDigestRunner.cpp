#include "app/ConsoleDigestRunner.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "digest/DigestProgress.h"
#include "util/Interrupts.h"

namespace vorlix {

FileDigestResult RunDigestOnConsole(const std::string& path, DigestSet algorithms,
                                    std::ostream& progress, bool progressIsTerminal,
                                    char decimalSeparator) {
    // Ctrl+C or SIGTERM stops the digest at the next buffer; once the progress
    // line is gone, the hold ends the program: nothing is saved.
    InterruptHold hold;
    const std::atomic<bool>* interrupted = &InterruptHold::Requested();
    if (!progressIsTerminal)
        return ComputeFileDigest(path, {}, interrupted, FileKind::RegularOrBlockDevice, algorithms);

    std::atomic<std::uint64_t> done{0};
    std::atomic<std::uint64_t> total{0};
    std::mutex mutex;
    std::condition_variable finishedSignal;
    bool finished = false;

    const auto started = std::chrono::steady_clock::now();
    // The progress line is drawn by its own thread, so the digest loop itself
    // only stores two counters.
    std::thread painter([&] {
        std::unique_lock lock(mutex);
        if (finishedSignal.wait_for(lock, kProgressDelay, [&] { return finished; })) return;
        bool drawn = false;
        do {
            const auto elapsed = std::chrono::steady_clock::now() - started;
            progress << '\r'
                     << ProgressText(done.load(std::memory_order_relaxed),
                                     total.load(std::memory_order_relaxed), elapsed,
                                     decimalSeparator)
                     << "\x1b[K" << std::flush;
            drawn = true;
        } while (!finishedSignal.wait_for(lock, std::chrono::milliseconds(200),
                                          [&] { return finished; }));
        if (drawn) progress << "\r\x1b[K" << std::flush;
    });

    FileDigestResult result = ComputeFileDigest(
        path,
        [&](std::uint64_t bytesDone, std::uint64_t bytesTotal) {
            done.store(bytesDone, std::memory_order_relaxed);
            total.store(bytesTotal, std::memory_order_relaxed);
        },
        interrupted);
    {
        std::lock_guard lock(mutex);
        finished = true;
    }
    finishedSignal.notify_one();
    painter.join();
    return result;
}

}  // namespace vorlix
