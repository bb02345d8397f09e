#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "support/TempDir.h"
#include "util/Interrupts.h"

namespace vorlix {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// The wait status of `work` run in a child process.
int InChild(const std::function<void()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        work();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

TEST(InterruptsTest, AnInterruptEndsWithTheStatusAndRemovesTheTemporaryFile) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        TempDir dir;
        const std::string temporary = dir.Write(".a.MD5.tmp1-0", "half");
        const std::string kept = dir.Write("a.MD5", "old");
        const int status = InChild([&] {
            ExitOnInterrupt(1);
            TemporaryFileCleanup cleanup(temporary);
            ::raise(signal);
            ::_exit(3);
        });
        ASSERT_TRUE(WIFEXITED(status)) << "signal " << signal;
        EXPECT_EQ(WEXITSTATUS(status), 1) << "signal " << signal;
        EXPECT_FALSE(fs::exists(temporary));
        EXPECT_TRUE(fs::exists(kept));
    }
}

TEST(InterruptsTest, AHoldLetsTheWorkFinishThenEnds) {
    TempDir dir;
    const std::string finished = dir / "finished";
    const int status = InChild([&] {
        ExitOnInterrupt(1);
        {
            InterruptHold outer;
            {
                InterruptHold inner;
                ::raise(SIGINT);
            }
            if (!InterruptHold::Requested()) ::_exit(4);
            dir.Write("finished", "");
        }
        ::_exit(3);
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_TRUE(fs::exists(finished));
}

}  // namespace
}  // namespace vorlix
