#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/ConsoleDigestRunner.h"
#include "app/ConsoleManyRunner.h"
#include "app/FrontEnd.h"
#include "app/ProgramFixture.h"
#include "digest/DigestProgress.h"
#include "support/TempDir.h"

namespace vorlix {
namespace {

TEST(ConsoleProgress, ALongDigestDrawsOneLineOnATerminalAndErasesIt) {
    test::TempDir dir;
    const std::string path = dir.Write("large.img", "");
    // Sparse, so it takes no disk, yet long enough to pass the delay.
    std::filesystem::resize_file(path, 768ull << 20);

    std::ostringstream terminal;
    const FileDigestResult result =
        RunDigestOnConsole(path, DigestAlgorithm::Md5, terminal, true, '.');
    ASSERT_EQ(result.status, FileDigestResult::Status::Ok);
    EXPECT_EQ(result.size, 768ull << 20);
    const std::string drawn = terminal.str();
    if (!drawn.empty()) {  // a very fast machine finishes within the delay
        EXPECT_EQ(drawn.front(), '\r');
        EXPECT_NE(drawn.find(" MB/s\x1b[K"), std::string::npos);
        EXPECT_TRUE(drawn.ends_with("\r\x1b[K"));
        EXPECT_EQ(drawn.find('\n'), std::string::npos);
    }

    std::ostringstream pipe;
    EXPECT_EQ(RunDigestOnConsole(path, DigestAlgorithm::Md5, pipe, false, '.').digest,
              result.digest);
    EXPECT_EQ(pipe.str(), "");
}

TEST(ConsoleProgress, VerificationDrawsTheSameLineAsADigest) {
    test::ProgramFixture program;
    const std::string data = program.root.Write("large.img", "");
    // Long enough to pass the delay even on a fast machine.
    std::filesystem::resize_file(data, 768ull << 20);
    const std::string sums =
        program.root.Write("large.img.md5", "c4d0ef9cd1b8d0a1b4a53d6ea7e9a6f2 *large.img\n");

    std::istringstream in;
    std::ostringstream out, terminal;
    int status = -1;
    try {
        status =
            RunConsoleFrontEnd(program.location, {sums}, program.store, {in, out, terminal, true});
    } catch (const ProgramEnded& ended) {
        status = ended.status;
    }
    EXPECT_EQ(status, 1);  // the digest above is made up
    const std::string drawn = terminal.str();
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.front(), '\r');
    EXPECT_NE(drawn.find(" MB/s\x1b[K"), std::string::npos);
    // The line is gone before the outcome is told.
    const auto erased = drawn.rfind("\r\x1b[K");
    ASSERT_NE(erased, std::string::npos);
    const std::string after = drawn.substr(erased + 4);
    EXPECT_FALSE(after.empty());
    EXPECT_TRUE(after.ends_with("\n")) << after;
    EXPECT_EQ(after.find_first_of("\r\x1b"), std::string::npos) << after;
}

TEST(ConsoleProgress, TextShowsPercentAndSpeedWithTheLocaleSeparator) {
    using std::chrono::duration;
    EXPECT_EQ(ProgressText(250'000'000, 1'000'000'000, duration<double>(0.5), ','),
              " 25 %   500,0 MB/s");
    EXPECT_EQ(ProgressText(0, 0, duration<double>(0), '.'), "100 %   0.0 MB/s");
    // A share told otherwise, or none at all.
    EXPECT_EQ(ProgressTextOfShare(7, 3'000'000'000u, duration<double>(2), ','),
              "  7 %   3000,0 MB   1500,0 MB/s");
    EXPECT_EQ(ProgressTextOfShare(-1, 1'000'000, duration<double>(4), ','), "1,0 MB   0,2 MB/s");
}

TEST(ConsoleProgress, ManyFilesShowFilesBytesAndSpeed) {
    using std::chrono::duration;
    EXPECT_EQ(ManyFilesProgressText(3, 40, 120'500'000, duration<double>(0.5), ','),
              "3/40 files   120,5 MB   241,0 MB/s");
    EXPECT_EQ(ManyFilesProgressText(0, 0, 0, duration<double>(0), '.'),
              "0/0 files   0.0 MB   0.0 MB/s");
}

TEST(ConsoleProgress, EntriesPassedOverCountTowardsTheTotal) {
    test::TempDir dir;
    const std::string large = dir.Write("large.img", "");
    // Long enough to pass the delay; the absent files before it are long done by then.
    std::filesystem::resize_file(large, 768ull << 20);
    ManyFilesJob job;
    job.kind = ManyFilesKind::ChecksumList;
    job.paths = {dir / "gone1", dir / "gone2", dir / "gone3", large};
    job.names = job.paths;
    job.expected = {std::nullopt, std::nullopt, std::nullopt, "00000000000000000000000000000000"};
    job.passOverAbsent = true;

    std::ostringstream out, terminal;
    const ManyFilesOutcome outcome = RunManyFilesOnConsole(job, out, false, terminal, true, '.');
    EXPECT_EQ(outcome.passedOver, 3u);
    const std::string drawn = terminal.str();
    ASSERT_FALSE(drawn.empty());
    std::size_t lines = 0;
    for (std::size_t at = drawn.find('\r'); at != std::string::npos;
         at = drawn.find('\r', at + 1)) {
        const std::string line = drawn.substr(at + 1, drawn.find("\x1b[K", at) - at - 1);
        if (line.empty()) continue;  // the line erased
        EXPECT_TRUE(line.starts_with("3/4 files   ")) << line;
        ++lines;
    }
    EXPECT_NE(lines, 0u);
}

TEST(ConsoleProgress, ListLinesGoToTheOutputAndATerminalGetsNoControlCharacters) {
    test::TempDir dir;
    ManyFilesJob job;
    job.kind = ManyFilesKind::ChecksumList;
    job.paths = {dir.Write("a", "abc"), dir.Write("b", ""), dir.Write("c", "abc")};
    // ESC, a line feed, CSI as the raw byte of 8-bit terminals and as a C1 character.
    job.names = {std::string("a") + '\x1b' + "[31m", std::string("new\nline") + '\x1b',
                 "c\x9b"
                 "2J\xc2\x9b"
                 "2J"};
    job.expected = {"900150983cd24fb0d6963f7d28e17f72", "00000000000000000000000000000000",
                    "900150983cd24fb0d6963f7d28e17f72"};

    // A pipe gets md5sum's lines byte for byte.
    std::ostringstream pipe, terminal, progress;
    RunManyFilesOnConsole(job, pipe, false, progress, false, '.');
    EXPECT_EQ(pipe.str(),
              "a\x1b[31m: OK\n\\new\\nline\x1b: FAILED\nc\x9b"
              "2J\xc2\x9b"
              "2J: OK\n");
    RunManyFilesOnConsole(job, terminal, true, progress, false, '.');
    EXPECT_EQ(terminal.str(),
              "\\a\\x1b[31m: OK\n\\new\\nline\\x1b: FAILED\n\\c\\x9b2J\\xc2\\x9b2J: OK\n");
    EXPECT_EQ(progress.str(), "");
}

}  // namespace
}  // namespace vorlix
