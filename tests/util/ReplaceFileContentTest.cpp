#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "support/Unprivileged.h"
#include "util/Interrupts.h"
#include "util/ReplaceFileContent.h"

namespace vorlix {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::TempDir;

struct Mode {
    const char* name;
    ReplaceOptions options;
};
// Every file system here has unnamed temporary files; the named ones are
// what the others get.
const Mode kModes[] = {{"unnamed temporary", {true}}, {"named temporary", {false}}};

std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct stat StatOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
}

TEST(ReplaceFileContentTest, WritesTheWholeContentAndLeavesNothingElse) {
    for (const Mode& mode : kModes) {
        SCOPED_TRACE(mode.name);
        TempDir dir;

        // A new file.
        const std::string fresh = dir / "new.MD5";
        EXPECT_FALSE(ReplaceFileContent(fresh, "new content", mode.options));
        EXPECT_EQ(ReadAll(fresh), "new content");

        // An existing one is replaced by a new file with the old one's mode.
        const std::string existing = dir.Write("existing.MD5", "old, longer content");
        ASSERT_EQ(::chmod(existing.c_str(), 0640), 0);
        EXPECT_FALSE(ReplaceFileContent(existing, "replaced", mode.options));
        EXPECT_EQ(ReadAll(existing), "replaced");
        EXPECT_EQ(StatOf(existing).st_mode & 07777, 0640u);

        // A hard link keeps showing the same content: written in place.
        const std::string linked = dir.Write("linked.MD5", "old, longer content");
        const std::string other = dir / "other name";
        fs::create_hard_link(linked, other);
        const ino_t inode = StatOf(linked).st_ino;
        EXPECT_FALSE(ReplaceFileContent(linked, "through one link", mode.options));
        EXPECT_EQ(ReadAll(other), "through one link");
        EXPECT_EQ(StatOf(linked).st_ino, inode);
        EXPECT_EQ(StatOf(linked).st_nlink, 2u);

        // A symbolic link stays a link; the file it points to gets the content.
        const std::string real = dir.Write("real.MD5", "old");
        const std::string link = dir / "link.MD5";
        fs::create_symlink(real, link);
        EXPECT_FALSE(ReplaceFileContent(link, "through the symlink", mode.options));
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(ReadAll(real), "through the symlink");

        EXPECT_EQ(FilesIn(dir.Path()),
                  (std::vector<std::string>{"existing.MD5", "link.MD5", "linked.MD5", "new.MD5",
                                            "other name", "real.MD5"}));
    }
}

// The user's rights are those of an unprivileged process, also when the
// tests run as root.
TEST(ReplaceFileContentTest, TheRightToWriteTheFileDecidesNotTheFolders) {
    for (const Mode& mode : kModes) {
        SCOPED_TRACE(mode.name);
        TempDir dir;
        fs::permissions(dir.Path(),
                        fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
        const fs::path open = dir.Path() / "open";
        const fs::path closed = dir.Path() / "closed";
        fs::create_directories(open);
        fs::create_directories(closed);

        const std::string readOnly = dir.Write("open/read-only.MD5", "old");
        ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
        const std::string inClosed = dir.Write("closed/writable.MD5", "old, longer content");
        ASSERT_EQ(::chmod(inClosed.c_str(), 0666), 0);
        const ino_t inode = StatOf(inClosed).st_ino;
        // Files of another owner exist only when the tests run as root.
        const bool root = ::geteuid() == 0;
        const std::string foreign = dir.Write("open/foreign.MD5", "old");
        ASSERT_EQ(::chmod(foreign.c_str(), 0666), 0);
        ASSERT_EQ(::chmod(open.c_str(), 0777), 0);
        ASSERT_EQ(::chmod(closed.c_str(), 0555), 0);

        const auto results = test::RunWithoutPrivileges([&] {
            std::string out;
            for (const std::string& path : {readOnly, inClosed, foreign}) {
                out += std::to_string(ReplaceFileContent(path, "new", mode.options).value()) + " ";
            }
            return out;
        });
        ASSERT_EQ(::chmod(closed.c_str(), 0755), 0);
        if (!results) GTEST_SKIP() << "root cannot run a process as nobody here";

        EXPECT_EQ(*results, "13 0 0 ");
        EXPECT_EQ(ReadAll(readOnly), "old");
        EXPECT_EQ(StatOf(readOnly).st_mode & 07777, 0444u);
        EXPECT_EQ(ReadAll(inClosed), "new");
        EXPECT_EQ(StatOf(inClosed).st_ino, inode);
        EXPECT_EQ(ReadAll(foreign), "new");
        if (root) {
            EXPECT_EQ(StatOf(foreign).st_uid, 0u) << "the owner was not kept";
        }
        EXPECT_EQ(FilesIn(open), (std::vector<std::string>{"foreign.MD5", "read-only.MD5"}));
        EXPECT_EQ(FilesIn(closed), (std::vector<std::string>{"writable.MD5"}));
    }
}

TEST(ReplaceFileContentTest, AWriteBeyondTheFileSizeLimitFailsAndLeavesNothing) {
    for (const Mode& mode : kModes) {
        SCOPED_TRACE(mode.name);
        TempDir dir;
        fs::permissions(dir.Path(), fs::perms::all);
        const std::string existing = dir.Write("existing.MD5", "old");
        ASSERT_EQ(::chmod(existing.c_str(), 0666), 0);
        const auto results = test::RunWithoutPrivileges([&] {
            IgnoreFileSizeSignal();
            const rlimit limit{100, 100};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            const std::string big(1000, 'x');
            std::string out;
            for (const std::string& path : {dir / "new.MD5", existing}) {
                out += std::to_string(ReplaceFileContent(path, big, mode.options).value()) + " ";
            }
            return out;
        });
        if (!results) GTEST_SKIP() << "root cannot run a process as nobody here";
        EXPECT_EQ(*results, std::to_string(EFBIG) + " " + std::to_string(EFBIG) + " ");
        EXPECT_EQ(ReadAll(existing), "old");
        EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"existing.MD5"});
    }
}

}  // namespace
}  // namespace vorlix
