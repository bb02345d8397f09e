#include "app/ConsoleManyRunner.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "digest/DigestProgress.h"
#include "util/Interrupts.h"
#include "util/Md5sumName.h"

namespace vorlix {

std::string ManyFilesProgressText(std::size_t filesDone, std::size_t filesTotal,
                                  std::uint64_t bytesDone, std::chrono::duration<double> elapsed,
                                  char decimalSeparator) {
    const double seconds = elapsed.count();
    const double megabytes = static_cast<double>(bytesDone) / 1e6;
    const double perSecond = seconds > 0 ? megabytes / seconds : 0.0;
    char text[96];
    std::snprintf(text, sizeof text, "%zu/%zu files   %.1f MB   %.1f MB/s", filesDone, filesTotal,
                  megabytes, perSecond);
    std::string result(text);
    if (decimalSeparator != '.') {
        for (char& c : result) {
            if (c == '.') c = decimalSeparator;
        }
    }
    return result;
}

ManyFilesOutcome RunManyFilesOnConsole(const ManyFilesJob& job, std::ostream& out,
                                       bool outIsTerminal, std::ostream& progress,
                                       bool progressIsTerminal, char decimalSeparator) {
    // Ctrl+C or SIGTERM stops the run at the next buffer; when the hold goes,
    // the program ends: no summary, nothing saved.
    InterruptHold hold;
    // A list echoes md5sum -c, a drop md5sum itself; a folder's lines go to its file.
    const bool echo = job.kind != ManyFilesKind::Folder;
    const bool checking = job.kind == ManyFilesKind::ChecksumList;
    std::atomic<std::size_t> filesDone{0};
    std::atomic<std::uint64_t> bytesDone{0};
    std::mutex mutex;
    std::condition_variable finishedSignal;
    bool finished = false;
    bool drawn = false;

    // The lines and the progress line may share a terminal: one writer at a time.
    const auto erase = [&] {
        if (drawn) progress << "\r\x1b[K" << std::flush;
        drawn = false;
    };
    const auto started = std::chrono::steady_clock::now();
    std::thread painter;
    if (progressIsTerminal) {
        painter = std::thread([&] {
            std::unique_lock lock(mutex);
            if (finishedSignal.wait_for(lock, kProgressDelay, [&] { return finished; })) return;
            do {
                progress << '\r'
                         << ManyFilesProgressText(filesDone.load(), job.Count(), bytesDone.load(),
                                                  std::chrono::steady_clock::now() - started,
                                                  decimalSeparator)
                         << "\x1b[K" << std::flush;
                drawn = true;
            } while (!finishedSignal.wait_for(lock, std::chrono::milliseconds(200),
                                              [&] { return finished; }));
            erase();
        });
    }

    ManyFilesOutcome outcome = RunManyFiles(
        job,
        [&](const ResultRow& row) {
            filesDone.fetch_add(1);
            if (!echo) return;
            std::lock_guard lock(mutex);
            erase();
            // Scripts read these lines as md5sum's; a terminal never gets raw control characters.
            // Like md5sum, a drop keeps its output a list: unreadable files are told apart.
            const bool listLine = checking || row.status == EntryStatus::Digested;
            const bool digestLine = listLine && !checking;
            std::ostream& stream = listLine ? out : progress;
            const bool terminal = listLine ? outIsTerminal : progressIsTerminal;
            if (terminal) {
                stream << (digestLine ? TerminalDigestLine(row) : TerminalCheckLine(row)) << '\n';
            } else {
                stream << (digestLine ? Md5sumDigestLine(row) : Md5sumCheckLine(row)) << '\n';
            }
            // A person watches a terminal line by line; a pipe takes whole buffers.
            if (terminal) stream.flush();
        },
        &InterruptHold::Requested(),
        [&](std::uint64_t bytes) { bytesDone.store(bytes, std::memory_order_relaxed); },
        // An entry passed over is one of the total too: without it the count
        // would stop short of the total it is shown against.
        [&] { filesDone.fetch_add(1); });
    {
        std::lock_guard lock(mutex);
        finished = true;
    }
    finishedSignal.notify_one();
    if (painter.joinable()) painter.join();
    out.flush();
    return outcome;
}

}  // namespace vorlix
