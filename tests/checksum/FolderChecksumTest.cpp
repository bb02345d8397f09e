#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "checksum/FolderChecksum.h"
#include "support/TempDir.h"

namespace vorlix::test {
namespace {

namespace fs = std::filesystem;

// Deep folders are walked with one folder open at a time and a file at
// every level; the names below the folder are what md5sum reads back.
TEST(FolderScanTest, WalksAFolderNestedTwoThousandLevelsDeep) {
    TempDir dir;
    std::string relative;
    std::vector<std::string> expected;
    fs::path deep = dir.Path() / "top";
    fs::create_directory(deep);
    for (int level = 0; level < 2000; ++level) {
        if (level % 500 == 0) {
            dir.Write((deep / "f").lexically_relative(dir.Path()).string(), "x");
            expected.push_back(relative + "f");
        }
        deep /= "d";
        relative += "d/";
        fs::create_directory(deep);
    }
    dir.Write((deep / "bottom").lexically_relative(dir.Path()).string(), "abc");
    expected.push_back(relative + "bottom");
    std::sort(expected.begin(), expected.end());

    const FolderScan scan = ScanFolder((dir.Path() / "top").string());
    std::vector<std::string> names;
    for (const FolderFile& file : scan.files) {
        names.push_back(file.relative);
        EXPECT_EQ(file.path, (dir.Path() / "top" / file.relative).string());
    }
    EXPECT_EQ(names, expected);
    EXPECT_TRUE(scan.leftOut.empty());

    // A trailing slash joins no second one in.
    const FolderScan slashed = ScanFolder((dir.Path() / "top").string() + "/");
    ASSERT_FALSE(slashed.files.empty());
    EXPECT_EQ(slashed.files.front().path, (dir.Path() / "top" / expected.front()).string());

    // From the bottom up: removing it from the top would open every level at once.
    for (fs::path level = deep; level != dir.Path(); level = level.parent_path()) {
        for (const auto& entry : fs::directory_iterator(level)) {
            if (!entry.is_directory()) fs::remove(entry.path());
        }
        fs::remove(level);
    }
}

}  // namespace
}  // namespace vorlix::test
