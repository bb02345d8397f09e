#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <any>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "digest/FileDigest.h"
#include "digest/ManyFileDigest.h"
#include "digest/Md5.h"
#include "support/SystemFiles.h"
#include "support/TempDir.h"

namespace vorlix {
namespace {

namespace fs = std::filesystem;
using Status = FileDigestResult::Status;

struct Outcome {
    std::size_t index;
    Status status;
    std::string digest;
    std::uint64_t size;
};

std::vector<Outcome> DigestAll(const std::vector<std::string>& paths,
                               const ManyFileDigestOptions& options) {
    std::vector<Outcome> outcomes;
    DigestManyFiles(
        paths,
        [&](std::size_t index, const FileDigestResult& result) {
            outcomes.push_back({index, result.status, result.digest, result.size});
        },
        options);
    return outcomes;
}

class ManyFileDigestTest : public ::testing::Test {
  protected:
    std::string Write(const std::string& name, std::size_t size) {
        std::string bytes(size, '\0');
        for (char& c : bytes) c = static_cast<char>(random_() & 0xff);
        const fs::path path = dir_.Path() / name;
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<long>(size));
        expected_.push_back(TextDigest(bytes));
        return path.string();
    }

    test::TempDir dir_;
    std::mt19937 random_{99};
    std::vector<std::string> expected_;
};

TEST_F(ManyFileDigestTest, EveryFileGetsItsOwnDigestInListOrder) {
    std::vector<std::string> paths;
    std::vector<std::size_t> sizes = {0, 1, 55, 56, 63, 64, 65, 4096, (128 << 10) + 1, 300000};
    for (int i = 0; i < 60; ++i) sizes.push_back(random_() % 20000);
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        paths.push_back(Write("file" + std::to_string(i), sizes[i]));
    }
    for (int lanes : {0, 1}) {
        for (int threads : {1, 2, 3}) {
            ManyFileDigestOptions options;
            options.threads = threads;
            options.lanes = lanes;
            const auto outcomes = DigestAll(paths, options);
            ASSERT_EQ(outcomes.size(), paths.size());
            for (std::size_t i = 0; i < outcomes.size(); ++i) {
                EXPECT_EQ(outcomes[i].index, i);
                EXPECT_EQ(outcomes[i].status, Status::Ok) << paths[i];
                EXPECT_EQ(outcomes[i].digest, expected_[i])
                    << paths[i] << " with " << threads << " workers, lanes " << lanes;
                EXPECT_EQ(outcomes[i].size, sizes[i]);
            }
        }
    }
}

TEST_F(ManyFileDigestTest, WhatCannotBeReadIsAReadErrorAndTheRestGoesOn) {
    const std::string fifo = (dir_.Path() / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(dir_.Path() / "folder");
    const std::vector<std::string> paths = {Write("a", 100),
                                            (dir_.Path() / "missing").string(),
                                            (dir_.Path() / "folder").string(),
                                            fifo,
                                            "/dev/zero",
                                            Write("b", 70000)};
    const auto outcomes = DigestAll(paths, {});
    ASSERT_EQ(outcomes.size(), 6u);
    EXPECT_EQ(outcomes[0].digest, expected_[0]);
    for (std::size_t i = 1; i <= 4; ++i) {
        EXPECT_EQ(outcomes[i].status, Status::ReadError) << paths[i];
    }
    EXPECT_EQ(outcomes[5].digest, expected_[1]);
}

// A caller that stalls (a window busy painting) lets the workers fill the
// whole window; they wait for room and go on once it moves again.
TEST_F(ManyFileDigestTest, MoreFilesThanTheReorderWindowStillComeInOrder) {
    std::vector<std::string> paths;
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < kManyFilesAhead + 900; ++i) {
        paths.push_back(Write(std::to_string(i), i % 200));
        total += i % 200;
    }
    for (const bool stall : {false, true}) {
        ManyFileDigestOptions options;
        options.threads = 2;
        std::vector<std::uint64_t> reported;
        options.progress = [&](std::uint64_t bytes) { reported.push_back(bytes); };
        std::vector<Outcome> outcomes;
        DigestManyFiles(
            paths,
            [&](std::size_t index, const FileDigestResult& result) {
                if (stall && index == 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(200));
                outcomes.push_back({index, result.status, result.digest, result.size});
            },
            options);
        ASSERT_EQ(outcomes.size(), paths.size());
        for (std::size_t i = 0; i < outcomes.size(); ++i) {
            ASSERT_EQ(outcomes[i].index, i);
            ASSERT_EQ(outcomes[i].digest, expected_[i]);
        }
        ASSERT_FALSE(reported.empty());
        EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
        EXPECT_EQ(reported.back(), total);
    }
}

TEST_F(ManyFileDigestTest, CancelStopsEveryWorkerAndReportsTheRestAsCancelled) {
    // More files than the workers may finish ahead of the caller, so the last
    // one is still unstarted when the cancel comes, however fast they are.
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < kManyFilesAhead + 1000; ++i) {
        paths.push_back(Write(std::to_string(i), 100));
    }
    std::atomic<bool> cancel{false};
    ManyFileDigestOptions options;
    options.cancel = &cancel;
    options.threads = 2;
    std::vector<Status> statuses;
    DigestManyFiles(
        paths,
        [&](std::size_t index, const FileDigestResult& result) {
            statuses.push_back(result.status);
            if (index == 10) cancel = true;
        },
        options);
    ASSERT_EQ(statuses.size(), paths.size());
    for (std::size_t i = 0; i <= 10; ++i) EXPECT_EQ(statuses[i], Status::Ok);
    EXPECT_EQ(statuses.back(), Status::Cancelled);
}

// A source is asked for its entries only as results go out: the engine holds
// one window of them, whatever the length of the list. Each comes back with
// what the caller kept beside it.
TEST_F(ManyFileDigestTest, ASourceIsReadOnlyAWindowAheadAndItsTagsComeBack) {
    const std::vector<std::string> files = {Write("a", 10), Write("b", 0), Write("c", 70000)};
    const std::size_t count = 2 * kManyFilesAhead + 10;
    std::size_t given = 0, handed = 0, mostAhead = 0;
    ManyFileDigestOptions options;
    options.threads = 2;
    DigestManyFiles(
        [&](ManyFileEntry& next) {
            if (given == count) return false;
            next.path = files[given % files.size()];
            next.tag = given++;
            return true;
        },
        [&](std::size_t index, ManyFileEntry& entry, const FileDigestResult& result) {
            ASSERT_EQ(index, handed++);
            mostAhead = std::max(mostAhead, given - index);
            ASSERT_EQ(std::any_cast<std::size_t>(entry.tag), index);
            ASSERT_EQ(entry.path, files[index % files.size()]);
            ASSERT_EQ(result.digest, expected_[index % files.size()]);
        },
        options);
    EXPECT_EQ(handed, count);
    // The window, and the one entry being handed on.
    EXPECT_LE(mostAhead, kManyFilesAhead + 1);
    EXPECT_GE(mostAhead, kManyFilesAhead);

    std::size_t results = 0;
    DigestManyFiles([](ManyFileEntry&) { return false; },
                    [&](std::size_t, ManyFileEntry&, const FileDigestResult&) { ++results; });
    EXPECT_EQ(results, 0u);
}

// /proc and /sys report sizes their files do not have; md5sum reads them to
// their end, and so do we, through a link as well.
TEST_F(ManyFileDigestTest, FilesWithAWrongSizeAreReadToTheirEnd) {
    std::vector<std::string> paths, contents;
    for (const std::string& file : test::FilesWithWrongSizes()) {
        const std::string link = (dir_.Path() / ("link" + std::to_string(paths.size()))).string();
        fs::create_symlink(file, link);
        for (const std::string& path : {file, link}) {
            paths.push_back(path);
            contents.push_back(test::ReadToEnd(file));
        }
    }
    ASSERT_FALSE(paths.empty());
    for (int lanes : {0, 1}) {
        ManyFileDigestOptions options;
        options.lanes = lanes;
        const auto outcomes = DigestAll(paths, options);
        ASSERT_EQ(outcomes.size(), paths.size());
        for (std::size_t i = 0; i < paths.size(); ++i) {
            ASSERT_FALSE(contents[i].empty()) << paths[i];
            EXPECT_EQ(outcomes[i].status, Status::Ok) << paths[i];
            EXPECT_EQ(outcomes[i].digest, TextDigest(contents[i])) << paths[i];
            EXPECT_EQ(outcomes[i].size, contents[i].size()) << paths[i];
        }
    }
}

// The change comes while the file is still being read (fewer bytes are in
// than it has); whatever was read then is no digest of any version of it.
TEST_F(ManyFileDigestTest, AFileThatChangesWhileItIsReadIsAReadError) {
    const std::size_t size = std::size_t{64} << 20;
    const struct {
        const char* name;
        std::function<void(const std::string& path)> change;
    } cases[] = {
        {"extended", [](const std::string& path) { std::ofstream(path, std::ios::app) << "more"; }},
        {"truncated", [&](const std::string& path) { fs::resize_file(path, size / 2); }},
    };
    for (const auto& c : cases) {
        const std::string path = (dir_.Path() / "big").string();
        { std::ofstream out(path, std::ios::binary); }
        fs::resize_file(path, size);  // sparse: no disk, only the reading
        const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
        bool changed = false;
        ManyFileDigestOptions options;
        options.threads = 1;
        options.progress = [&](std::uint64_t bytes) {
            if (bytes > 0 && bytes < size && !std::exchange(changed, true)) c.change(path);
        };
        const auto outcomes = DigestAll({path}, options);
        if (!changed) GTEST_SKIP() << "the file was read before the first progress report";
        ASSERT_EQ(outcomes.size(), 1u);
        EXPECT_EQ(outcomes[0].status, Status::ReadError) << c.name;
        EXPECT_TRUE(outcomes[0].digest.empty()) << c.name;
    }
}

// With few descriptors left, files wait for one rather than fail; so do they
// while another part of the program holds every last one for a while.
TEST_F(ManyFileDigestTest, AFewFreeDescriptorsAreEnoughForManyFiles) {
    std::vector<std::string> paths;
    for (int i = 0; i < 100; ++i) paths.push_back(Write("f" + std::to_string(i), 1000 + i));
    const test::OpenFileLimit limit(test::OpenDescriptors() + 12);
    for (const bool hog : {false, true}) {
        ManyFileDigestOptions options;
        options.threads = 3;
        std::optional<test::DescriptorHog> hogged;
        if (hog) {
            hogged.emplace(std::chrono::milliseconds(300));
            ASSERT_GT(hogged->Held(), 0u);
        }
        const auto outcomes = DigestAll(paths, options);
        ASSERT_EQ(outcomes.size(), paths.size());
        for (std::size_t i = 0; i < outcomes.size(); ++i) {
            ASSERT_EQ(outcomes[i].status, Status::Ok) << paths[i] << (hog ? " with a hog" : "");
            ASSERT_EQ(outcomes[i].digest, expected_[i]);
        }
    }
}

}  // namespace
}  // namespace vorlix
