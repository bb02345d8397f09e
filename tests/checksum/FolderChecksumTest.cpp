// How a folder is walked, where its checksum file goes and what it may replace.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "ChecksumFixture.h"
#include "app/JobMessages.h"
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

constexpr const char* kAbc = "900150983cd24fb0d6963f7d28e17f72";

class FolderSave : public ChecksumTest {
  protected:
    FolderSave() : root(fs::canonical(dir.Path())) {}

    // Creates and shows the outcome as the program does.
    FolderOutcome Create(const fs::path& folder, bool autoMode = true) {
        const FolderResult result =
            CreateFolderChecksumFile(dialogs, language, clock, {}, folder.string(), autoMode);
        ShowFolderResult(dialogs, language, folder.string(), result);
        return result.outcome;
    }
    Shown Refusal(const std::string& target, const char* key) const {
        return Message(T("lblFileSource") + " " + target + " " + T(key), T("msgbox2Caption"),
                       MessageIcon::Stop);
    }
    std::string Entries(const fs::path& file) const {
        const std::string text = ReadAll(file);
        return text.substr(text.find("\r\n") + 2);
    }

    fs::path root;
};

TEST_F(FolderSave, AFolderIsResolvedOnceForTheWalkTheNamesAndTheFile) {
    dir.Write("dir/own.txt", "abc");
    dir.Write("elsewhere/inner/far.txt", "abc");
    fs::create_directory_symlink(root / "elsewhere/inner", root / "dir/sub");

    // "dir/sub/.." is the folder the system finds there: "elsewhere".
    EXPECT_EQ(ResolveFolder((root / "dir/sub/..").string()), root / "elsewhere");
    EXPECT_EQ(Create(root / "dir/sub/.."), FolderOutcome::Complete);
    EXPECT_FALSE(fs::exists(root / "dir.MD5"));
    EXPECT_EQ(Entries(root / "elsewhere.MD5"), std::string(kAbc) + " *elsewhere/inner/far.txt\r\n");

    // A link named as the folder keeps its name, beside itself.
    EXPECT_EQ(ResolveFolder((root / "dir/sub/").string()), root / "dir/sub");
    EXPECT_EQ(Create(root / "dir/sub/"), FolderOutcome::Complete);
    EXPECT_EQ(Entries(root / "dir/sub.MD5"), std::string(kAbc) + " *sub/far.txt\r\n");
    EXPECT_EQ(dialogs.Messages().back().text.find(T("folderText1") + " " +
                                                  (root / "dir/sub").string() + "\r\n"),
              0u);
}

TEST_F(FolderSave, TheFileIsNeverInsideTheTreeNorOneOfItsFiles) {
    dir.Write("tree/a.txt", "abc");
    // Named as "L" beside it, the folder is the whole tree above it.
    fs::create_directory_symlink(root, root / "tree/L");
    EXPECT_EQ(Create(root / "tree/L"), FolderOutcome::Failed);
    EXPECT_EQ(dialogs.Messages(),
              std::vector{Refusal((root / "tree/L.MD5").string(), "saveInsideFolder")});
    EXPECT_FALSE(fs::exists(root / "tree/L.MD5"));
    fs::remove(root / "tree/L");

    // The checksum file's name leads into the tree.
    dialogs.Clear();
    fs::create_symlink(root / "tree/inside.md5", root / "tree.MD5");
    EXPECT_EQ(Create(root / "tree"), FolderOutcome::Failed);
    EXPECT_EQ(dialogs.Messages(),
              std::vector{Refusal((root / "tree.MD5").string(), "saveInsideFolder")});
    EXPECT_FALSE(fs::exists(root / "tree/inside.md5"));
    fs::remove(root / "tree.MD5");

    // A link in the tree names the checksum file: its digest would be stale at once.
    dialogs.Clear();
    dir.Write("tree.MD5", "old");
    fs::create_symlink("../tree.MD5", root / "tree/old.md5");
    EXPECT_EQ(Create(root / "tree"), FolderOutcome::Failed);
    EXPECT_EQ(dialogs.Messages(),
              std::vector{Refusal((root / "tree.MD5").string(), "saveIsDataFile")});
    EXPECT_EQ(ReadAll(root / "tree.MD5"), "old");
}

TEST_F(FolderSave, AnotherNameIsAskedAboutAndItsEntriesAreRelativeToIt) {
    dir.Write("F/x.txt", "abc");
    dir.Write("F.MD5", "old");
    const std::string other = dir.Write("other.md5", "other");
    const std::string fresh = root / "lists/fresh.md5";
    fs::create_directories(root / "lists");

    // No, an existing name, No again, then nothing: both stay.
    dialogs.ThenAnswer(Answer::No).ThenChooseFile(other);
    dialogs.ThenAnswer(Answer::No).ThenCancelFileDialog();
    EXPECT_EQ(Create(root / "F", false), FolderOutcome::Cancelled);
    const auto asked = dialogs.Messages();
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0].text,
              T("lblFileSource") + (root / "F.MD5").string() + " " + T("msgbox1Text1"));
    EXPECT_EQ(asked[1].text, T("lblFileSource") + other + " " + T("msgbox1Text1"));
    EXPECT_EQ(asked[1].buttons, MessageButtons::YesNo);
    EXPECT_EQ(ReadAll(other), "other");
    EXPECT_EQ(ReadAll(root / "F.MD5"), "old");

    // A new name in another folder: md5sum -c run there finds the files.
    dialogs.Clear();
    dialogs.ThenAnswer(Answer::No).ThenChooseFile(fresh);
    EXPECT_EQ(Create(root / "F", false), FolderOutcome::Complete);
    EXPECT_EQ(Entries(fresh), std::string(kAbc) + " *../F/x.txt\r\n");
    // One message after the file is written: the summary, which names it.
    ASSERT_EQ(dialogs.Messages().size(), 2u);
    EXPECT_NE(dialogs.Messages()[1].text.find(T("folderSavedTo") + " " + fresh), std::string::npos);

    // A folder reached through a link: ".." climbs from where the link leads.
    dialogs.Clear();
    fs::create_directories(root / "deep/er");
    fs::create_directory_symlink(root / "deep/er", root / "L");
    dialogs.ThenAnswer(Answer::No).ThenChooseFile((root / "L/list.md5").string());
    EXPECT_EQ(Create(root / "F", false), FolderOutcome::Complete);
    EXPECT_EQ(Entries(root / "deep/er/list.md5"), std::string(kAbc) + " *../../F/x.txt\r\n");
    EXPECT_TRUE(dialogs.ScriptUsedUp());
}

}  // namespace
}  // namespace vorlix::test
