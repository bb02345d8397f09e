#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "util/FileExists.h"
#include "util/PathHelpers.h"

namespace vorlix {
namespace {

TEST(PathHelpers, CutNamesAndPathsApart) {
    EXPECT_EQ(PathFileName("/home/u/archive.zip"), "archive.zip");
    EXPECT_EQ(PathFileName("/home/u/"), "");
    EXPECT_EQ(PathFileName("archive.zip"), "archive.zip");
    EXPECT_EQ(NameAfterLastBackslash("archive.zip"), "archive.zip");
    EXPECT_EQ(NameAfterLastBackslash("/a/b.c"), "b.c");

    EXPECT_EQ(NameWithoutExtension("archive.tar.gz"), "archive.tar");
    EXPECT_EQ(NameWithoutExtension(".profile"), "");
    EXPECT_EQ(NameWithoutExtension("README"), "README");
    EXPECT_EQ(NameWithoutExtension("/a/archive.zip.MD5"), "/a/archive.zip");
}

TEST(PathHelpers, Md5ExtensionIsCutAtItsFirstOccurrenceInAnyCase) {
    EXPECT_EQ(PathWithoutMd5Extension("/a/archive.zip.MD5"), "/a/archive.zip");
    EXPECT_EQ(PathWithoutMd5Extension("/x.md5files/a.txt.md5"), "/x");
    EXPECT_EQ(PathWithoutMd5Extension("a.txt"), std::nullopt);
    EXPECT_EQ(PathWithoutMd5Extension(""), std::nullopt);
}

TEST(FileExists, TrueOnlyForAnExistingFileThatIsNoFolder) {
    test::TempDir dir;
    const auto file = dir.Write("a.txt", "x");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(dir.Path().string()));
    EXPECT_FALSE(FileExists(dir / "missing"));
    EXPECT_FALSE(FileExists(""));
}

}  // namespace
}  // namespace vorlix
