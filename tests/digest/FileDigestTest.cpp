#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>

#include "digest/FileDigest.h"
#include "digest/Md5.h"
#include "support/Pattern.h"
#include "support/ScriptedDialogs.h"
#include "support/SystemFiles.h"
#include "support/TempDir.h"
#include "ui/ReadError.h"

namespace vorlix {
namespace {

// Bytes that differ from buffer to buffer.
std::string PatternFor(std::size_t length) { return test::Pattern(length, 88172645u); }

using test::Message;
using test::ScriptedDialogs;
using test::TempDir;
using Status = FileDigestResult::Status;

std::string AllByteValues() {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    return bytes;
}

TEST(FileDigestTest, DigestsTheContentByteForByte) {
    TempDir dir;
    const struct {
        std::string name;
        std::string content;
    } cases[] = {
        {"empty", ""},
        {"all bytes.bin", AllByteValues()},
        {"Příliš žluťoučký kůň.txt", "abc"},
        // Whole read buffers, and more buffers than the reader holds with a ragged end.
        {"two MiB", PatternFor(2 << 20)},
        {"big", PatternFor((9 << 20) + 17)},
    };
    for (const auto& c : cases) {
        const std::string path = dir.Write(c.name, c.content);
        const FileDigestResult result = ComputeFileDigest(path);
        EXPECT_EQ(result.status, Status::Ok) << c.name;
        EXPECT_EQ(result.size, c.content.size()) << c.name;
        EXPECT_EQ(result.digest, TextDigest(c.content)) << c.name;
    }
}

TEST(FileDigestTest, MissingOrUnreadableNamesAreReadErrors) {
    TempDir dir;
    const std::string missing = dir / "no such file.bin";
    const std::string folder = dir / "a folder";
    std::filesystem::create_directory(folder);
    // A FIFO without a writer would block a plain open and read for ever.
    const std::string fifo = dir / "a fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {missing, folder, dir / "no folder/file", fifo}) {
        const FileDigestResult result = ComputeFileDigest(path);
        EXPECT_EQ(result.status, Status::ReadError) << path;
        EXPECT_NE(result.errorNumber, 0) << path;
        EXPECT_TRUE(result.digest.empty()) << path;
    }
    // Digesting never leaves a file behind.
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST(FileDigestTest, ReportsProgressAndStopsWhenCancelled) {
    TempDir dir;
    const std::string content((4 << 20) + 3, 'x');
    const std::string path = dir.Write("data", content);

    std::uint64_t lastDone = 0, lastTotal = 0;
    int calls = 0;
    const auto result = ComputeFileDigest(path, [&](std::uint64_t done, std::uint64_t total) {
        EXPECT_GE(done, lastDone);
        lastDone = done;
        lastTotal = total;
        ++calls;
    });
    EXPECT_EQ(result.status, Status::Ok);
    EXPECT_GT(calls, 1);
    EXPECT_EQ(lastDone, content.size());
    EXPECT_EQ(lastTotal, content.size());

    std::atomic<bool> cancel{false};
    const auto stopped = ComputeFileDigest(
        path, [&](std::uint64_t, std::uint64_t) { cancel = true; }, &cancel);
    EXPECT_EQ(stopped.status, Status::Cancelled);
    EXPECT_TRUE(stopped.digest.empty());
}

// The change happens at the first progress report, after the first buffer
// and while the reader may be ahead; the digest must not pass for any
// version of the file. Big files go through the reader thread, small ones
// are read directly.
TEST(FileDigestTest, AFileThatChangesWhileItIsReadIsAReadError) {
    TempDir dir;
    for (const std::size_t size : {std::size_t{8} << 20, std::size_t{200} << 10}) {
        const std::string content = PatternFor(size);
        const struct {
            const char* name;
            std::function<void(const std::string& path)> change;
        } cases[] = {
            {"truncated",
             [&](const std::string& path) { std::filesystem::resize_file(path, size / 4); }},
            {"extended",
             [](const std::string& path) {
                 std::ofstream(path, std::ios::binary | std::ios::app) << "more";
             }},
            {"rewritten in place",
             [&](const std::string& path) {
                 std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
                 out.seekp(static_cast<std::streamoff>(size / 8 * 5));
                 out << "other bytes, same size";
             }},
        };
        for (const auto& c : cases) {
            const std::string path = dir.Write("data", content);
            // An old time, so that any write moves it however coarse the clock.
            const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
            ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
            bool changed = false;
            const auto result = ComputeFileDigest(path, [&](std::uint64_t, std::uint64_t) {
                if (!std::exchange(changed, true)) c.change(path);
            });
            EXPECT_EQ(result.status, Status::ReadError) << c.name;
            EXPECT_TRUE(result.changedWhileRead) << c.name;
            EXPECT_TRUE(result.digest.empty()) << c.name;

            ScriptedDialogs dialogs;
            ShowFileReadError(dialogs, path, ReadErrorReason(result));
            EXPECT_EQ(dialogs.Seen(),
                      std::vector{Message(
                          "Error Reading File " + path + "\r\nthe file changed while it was read",
                          "Error Read File", MessageIcon::Stop)})
                << c.name;
        }
    }
}

// Sizes from 2^28 on once overflowed the bit count; the file is sparse, so it
// costs no disk, only the time to digest 256 MiB.
TEST(FileDigestTest, DigestsFilesOfTwoToTheTwentyEightBytesAndMore) {
    TempDir dir;
    const std::string path = dir / "large.bin";
    { std::ofstream out(path, std::ios::binary); }
    std::filesystem::resize_file(path, std::uint64_t{1} << 28);
    {
        std::ofstream out(path, std::ios::binary | std::ios::app);
        out << "tail";
    }
    const FileDigestResult result = ComputeFileDigest(path);
    EXPECT_EQ(result.status, Status::Ok);
    EXPECT_EQ(result.size, (std::uint64_t{1} << 28) + 4);
    EXPECT_EQ(result.digest, "aa8d731436db92e88c93b400d85f2f7e");
}

// /proc and /sys report sizes their files do not have; md5sum reads them to
// their end, and so do we, through a link as well.
TEST(FileDigestTest, FilesWithAWrongSizeAreReadToTheirEnd) {
    TempDir dir;
    const std::vector<std::string> files = test::FilesWithWrongSizes();
    ASSERT_FALSE(files.empty());
    for (const std::string& file : files) {
        const std::string link = dir / "link";
        std::filesystem::remove(link);
        std::filesystem::create_symlink(file, link);
        const std::string content = test::ReadToEnd(file);
        ASSERT_FALSE(content.empty()) << file;
        for (const std::string& path : {file, link}) {
            const FileDigestResult result = ComputeFileDigest(path);
            EXPECT_EQ(result.status, Status::Ok) << path;
            EXPECT_EQ(result.digest, TextDigest(content)) << path;
            EXPECT_EQ(result.size, content.size()) << path;
        }
    }
}

// Another part of the program holds every descriptor for a while: the
// digest waits for one instead of failing the file.
TEST(FileDigestTest, WaitsForAFreeDescriptor) {
    TempDir dir;
    const std::string path = dir.Write("abc", "abc");
    const test::OpenFileLimit limit(test::OpenDescriptors() + 4);
    const test::DescriptorHog hog(std::chrono::milliseconds(200));
    ASSERT_GT(hog.Held(), 0u);
    const FileDigestResult result = ComputeFileDigest(path);
    EXPECT_EQ(result.status, Status::Ok);
    EXPECT_EQ(result.digest, "900150983cd24fb0d6963f7d28e17f72");
}

}  // namespace
}  // namespace vorlix
