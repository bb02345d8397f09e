#include "util/Interrupts.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vorlix {
namespace {

// Everything here is read by the signal handler, so it is lock-free atomics
// and a fixed buffer.
std::atomic<int> gExitStatus{-1};  // -1: interrupts keep their default action
std::atomic<int> gHolds{0};
std::atomic<bool> gRequested{false};
std::atomic<bool> gTemporaryNamed{false};
char gTemporaryPath[PATH_MAX];

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

[[noreturn]] void EndAfterInterrupt(int status) {
    if (gTemporaryNamed.load()) ::unlink(gTemporaryPath);
    ::_exit(status);
}

extern "C" void OnInterrupt(int) {
    const int saved = errno;
    gRequested.store(true);
    if (gHolds.load() == 0) EndAfterInterrupt(gExitStatus.load());
    errno = saved;
}

}  // namespace

void ExitOnInterrupt(int status) {
    gExitStatus.store(status);
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // Held interrupts must not make a read or write fail half done.
    action.sa_flags = SA_RESTART;
    // A closed terminal (SIGHUP) and Ctrl+\ (SIGQUIT) end the program as
    // surely as Ctrl+C does, and must not leave more behind.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        ::sigaction(signal, &action, nullptr);
}

void IgnoreFileSizeSignal() { ::signal(SIGXFSZ, SIG_IGN); }

InterruptHold::InterruptHold() { gHolds.fetch_add(1); }

InterruptHold::~InterruptHold() {
    if (gHolds.fetch_sub(1) == 1 && gRequested.load() && gExitStatus.load() >= 0) {
        // Not in the handler here: the streams can be flushed as usual.
        if (gTemporaryNamed.load()) ::unlink(gTemporaryPath);
        std::fflush(nullptr);
        std::_Exit(gExitStatus.load());
    }
}

const std::atomic<bool>& InterruptHold::Requested() { return gRequested; }

TemporaryFileCleanup::TemporaryFileCleanup(const std::string& path) {
    if (path.size() >= sizeof gTemporaryPath) return;  // open would have failed already
    std::memcpy(gTemporaryPath, path.c_str(), path.size() + 1);
    gTemporaryNamed.store(true);
}

TemporaryFileCleanup::~TemporaryFileCleanup() { gTemporaryNamed.store(false); }

}  // namespace vorlix
