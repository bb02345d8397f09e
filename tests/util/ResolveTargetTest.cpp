#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/TempDir.h"
#include "util/ResolveTarget.h"

namespace vorlix {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(ResolveTargetTest, ALinkInAFolderOpenToAllIsFollowedOnlyForItsOwnerOrTheFolders) {
    constexpr uid_t kUser = 1000, kRoot = 0, kOther = 1001;
    constexpr mode_t kTmp = S_IFDIR | 01777;
    struct Case {
        uid_t linkOwner, folderOwner;
        mode_t folderMode;
        uid_t follower;
        bool followed;
    };
    const Case cases[] = {
        {kUser, kRoot, kTmp, kUser, true},              // the user's own link in /tmp
        {kRoot, kRoot, kTmp, kUser, true},              // the folder owner's
        {kOther, kRoot, kTmp, kUser, false},            // planted by someone else
        {kOther, kRoot, kTmp, kRoot, false},            // root is not spared
        {kOther, kOther, kTmp, kUser, true},            // a folder of the link's owner
        {kOther, kRoot, S_IFDIR | 0777, kUser, true},   // not sticky
        {kOther, kRoot, S_IFDIR | 01775, kUser, true},  // sticky, but not open to all
        {kOther, kUser, S_IFDIR | 0755, kUser, true},   // an ordinary folder
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MayFollowLink(c.linkOwner, c.folderOwner, c.folderMode, c.follower), c.followed)
            << c.linkOwner << " in a folder of " << c.folderOwner << " mode " << std::oct
            << c.folderMode << " followed by " << std::dec << c.follower;
    }
}

TEST(ResolveTargetTest, ResolvesEveryLinkAsTheSystemDoes) {
    TempDir dir;
    const fs::path root = fs::canonical(dir.Path());
    dir.Write("real/deep/file", "x");
    fs::create_directory_symlink(root / "real/deep", root / "short");
    fs::create_symlink("short/file", root / "relative");
    fs::create_symlink("loop", root / "loop");

    // ".." after a link is the link target's parent, not the link's folder.
    EXPECT_EQ(ResolveTarget(root / "short/../deep/file").path, root / "real/deep/file");
    EXPECT_EQ(ResolveTarget(root / "relative").path, root / "real/deep/file");
    EXPECT_EQ(ResolveTarget(root / "short/new.MD5").path, root / "real/deep/new.MD5");
    EXPECT_EQ(ResolveTarget(root / "missing/x").path, root / "missing/x");
    EXPECT_EQ(ResolveTarget(root / "loop").error, std::errc::too_many_symbolic_link_levels);

    // The user's own link in a folder open to all is followed.
    fs::create_directory(root / "open");
    ASSERT_EQ(::chmod((root / "open").c_str(), 01777), 0);
    fs::create_symlink(root / "real/deep/file", root / "open/mine");
    const ResolvedTarget own = ResolveTarget(root / "open/mine");
    EXPECT_EQ(own.path, root / "real/deep/file");
    EXPECT_TRUE(own.refusedLink.empty());

    // Someone else's is not; only root can make one here.
    if (::geteuid() != 0) GTEST_SKIP() << "a link of another user needs root to be made";
    fs::create_symlink(root / "real/deep/file", root / "open/planted");
    ASSERT_EQ(::lchown((root / "open/planted").c_str(), 65534, 65534), 0);
    const ResolvedTarget planted = ResolveTarget(root / "open/planted");
    EXPECT_EQ(planted.refusedLink, root / "open/planted");
    EXPECT_EQ(planted.error, std::errc::permission_denied);
    EXPECT_EQ(planted.path, "");
}

}  // namespace
}  // namespace vorlix
