#include <sys/stat.h>

#include <filesystem>

#include "ChecksumFixture.h"
#include "checksum/ChecksumFile.h"
#include "support/Unprivileged.h"

namespace vorlix::test {
namespace {

namespace fs = std::filesystem;

class ChecksumSave : public ChecksumTest {
  protected:
    ChecksumSaveRequest Request(const std::string& dataPath, bool standard) const {
        return {dataPath, kHelloDigest, "6 bytes", standard, false};
    }
    SaveOutcome Save(const ChecksumSaveRequest& request) {
        return SaveChecksumFile(dialogs, language, clock, request);
    }
    std::vector<std::string> FilesIn(const fs::path& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    Shown OverwriteQuestion(const std::string& checksumPath) const {
        return Question(T("lblFileSource") + checksumPath + " " + T("msgbox1Text1"),
                        T("SaveChangesCaption"), MessageIcon::Question, DefaultButton::No);
    }
    Shown Confirmation(const std::string& checksumPath) const {
        return Message(T("msgbox4Text1") + " " + checksumPath, T("msgbox4Text2"),
                       MessageIcon::Information);
    }
};

TEST_F(ChecksumSave, WritesBothLayoutsExactlyAndConfirms) {
    const auto data = dir.Write("archive.zip", "hello\n");
    EXPECT_EQ(Save(Request(data, false)), SaveOutcome::Saved);
    EXPECT_EQ(ReadAll(data + ".MD5"), FixedCommentLine() +
                                          "\r\n[INI]\r\n[MD5FileInfo]\r\nFileName=archive.zip\r\n"
                                          "MD5Checksum=b1946ac92492d2347c6235b4d2611184\r\n"
                                          "FileLenght=6 bytes\r\n[EOF]\r\n");
    EXPECT_EQ(dialogs.Seen(), std::vector{Confirmation(data + ".MD5")});

    dialogs.Clear();
    const auto other = dir.Write("b.txt", "hello\n");
    EXPECT_EQ(Save(Request(other, true)), SaveOutcome::Saved);
    EXPECT_EQ(ReadAll(other + ".MD5"),
              FixedCommentLine() + "\r\nb1946ac92492d2347c6235b4d2611184 *b.txt\r\n");
    EXPECT_EQ(dialogs.Seen(), std::vector{Confirmation(other + ".MD5")});
}

TEST_F(ChecksumSave, AutomaticModeShowsNoConfirmation) {
    auto request = Request(dir.Write("a.txt", "hello\n"), true);
    request.autoMode = true;
    EXPECT_EQ(Save(request), SaveOutcome::Saved);
    EXPECT_TRUE(fs::exists(request.dataPath + ".MD5"));
    EXPECT_TRUE(dialogs.Seen().empty());
}

TEST_F(ChecksumSave, YesOverwritesTheExistingFile) {
    const auto data = dir.Write("a.txt", "hello\n");
    const auto target = dir.Write("a.txt.MD5", "old");
    dialogs.ThenAnswer(Answer::Yes);
    EXPECT_EQ(Save(Request(data, true)), SaveOutcome::Saved);
    EXPECT_EQ(ReadAll(target), FixedCommentLine() + "\r\n" + kHelloDigest + " *a.txt\r\n");
    EXPECT_EQ(dialogs.Seen(), (std::vector{OverwriteQuestion(target), Confirmation(target)}));
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"a.txt", "a.txt.MD5"}));
}

TEST_F(ChecksumSave, NoOffersAnotherNameAndTheEntryStillNamesTheDataFile) {
    const auto data = dir.Write("a.txt", "hello\n");
    const auto target = dir.Write("a.txt.MD5", "old");
    const auto chosen = dir / "elsewhere.md5";
    dialogs.ThenAnswer(Answer::No).ThenChooseFile(chosen);
    EXPECT_EQ(Save(Request(data, true)), SaveOutcome::Saved);

    EXPECT_EQ(ReadAll(target), "old");
    EXPECT_EQ(ReadAll(chosen), FixedCommentLine() + "\r\n" + kHelloDigest + " *a.txt\r\n");
    const auto& seen = dialogs.Seen();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], OverwriteQuestion(target));
    EXPECT_EQ(seen[1].kind, Shown::Kind::FileDialog);
    EXPECT_EQ(seen[1].request.filter, T("cmdlgMD5File"));
    EXPECT_EQ(seen[1].request.defaultExtension, "MD5");
    EXPECT_EQ(seen[1].request.title, T("cmdlgTitle2"));
    // A save dialog, so a new name may be typed; it starts at the file in question.
    EXPECT_EQ(seen[1].request.mode, FileDialogMode::Save);
    EXPECT_EQ(seen[1].request.initialFolder, target);
    EXPECT_EQ(seen[2], Confirmation(chosen));
}

TEST_F(ChecksumSave, PickingAnotherExistingFileAsksAgain) {
    const auto data = dir.Write("a.txt", "hello\n");
    const auto target = dir.Write("a.txt.MD5", "old");
    const auto second = dir.Write("second.md5", "second");
    const auto third = dir.Write("third.md5", "third");
    dialogs.ThenAnswer(Answer::No).ThenChooseFile(second);
    dialogs.ThenAnswer(Answer::No).ThenChooseFile(third);
    dialogs.ThenAnswer(Answer::Yes);
    EXPECT_EQ(Save(Request(data, true)), SaveOutcome::Saved);
    EXPECT_EQ(dialogs.Messages(), (std::vector{OverwriteQuestion(target), OverwriteQuestion(second),
                                               OverwriteQuestion(third), Confirmation(third)}));
    EXPECT_EQ(ReadAll(target), "old");
    EXPECT_EQ(ReadAll(second), "second");
    EXPECT_EQ(ReadAll(third), FixedCommentLine() + "\r\n" + kHelloDigest + " *a.txt\r\n");
    EXPECT_TRUE(dialogs.ScriptUsedUp());

    // Cancelling the second dialog names the file it was asked about.
    dialogs.Clear();
    dialogs.ThenAnswer(Answer::No).ThenChooseFile(second);
    dialogs.ThenAnswer(Answer::No).ThenCancelFileDialog();
    EXPECT_EQ(Save(Request(data, true)), SaveOutcome::Cancelled);
    EXPECT_EQ(dialogs.Messages().back(),
              Message(T("msgbox2Text1") + " " + second + " " + T("msgbox2Text2"),
                      T("msgbox2Caption"), MessageIcon::Information));
    EXPECT_EQ(ReadAll(second), "second");
}

TEST_F(ChecksumSave, CancellingTheDialogWritesNothing) {
    const auto data = dir.Write("a.txt", "hello\n");
    const auto target = dir.Write("a.txt.MD5", "old");
    dialogs.ThenAnswer(Answer::No).ThenCancelFileDialog();
    EXPECT_EQ(Save(Request(data, false)), SaveOutcome::Cancelled);
    EXPECT_EQ(ReadAll(target), "old");
    EXPECT_EQ(dialogs.Messages(),
              (std::vector{OverwriteQuestion(target),
                           Message(T("msgbox2Text1") + " " + target + " " + T("msgbox2Text2"),
                                   T("msgbox2Caption"), MessageIcon::Information)}));
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"a.txt", "a.txt.MD5"}));
}

TEST_F(ChecksumSave, AFailureNamesTheSystemErrorAndLeavesEverythingAsItWas) {
    auto failure = [&](const std::string& number, const std::string& text) {
        return std::vector{
            Message(T("msgbox3Text1") + " " + number + " " + text, "Vorlix", MessageIcon::None)};
    };
    // The folder of the target is a file.
    dir.Write("plain", "x");
    EXPECT_EQ(Save(Request(dir / "plain/a.txt", false)), SaveOutcome::Failed);
    EXPECT_EQ(dialogs.Seen(), failure("20", "Not a directory"));

    // A folder stands where the checksum file would go.
    dialogs.Clear();
    const auto data = dir.Write("b.txt", "hello\n");
    fs::create_directory(data + ".MD5");
    dir.Write("b.txt.MD5/inside", "kept");
    EXPECT_EQ(Save(Request(data, true)), SaveOutcome::Failed);
    EXPECT_EQ(dialogs.Seen(), failure("21", "Is a directory"));
    EXPECT_EQ(ReadAll(data + ".MD5/inside"), "kept");

    // The old checksum file survives a write that fails.
    dialogs.Clear();
    const auto old = dir.Write("c.txt.MD5", "old");
    dialogs.ThenAnswer(Answer::No).ThenChooseFile(dir / "missing/folder.md5");
    EXPECT_EQ(Save(Request(dir / "c.txt", false)), SaveOutcome::Failed);
    EXPECT_EQ(dialogs.Messages().back(), failure("2", "No such file or directory")[0]);
    EXPECT_EQ(ReadAll(old), "old");

    // A name the sectioned layout cannot hold.
    dialogs.Clear();
    EXPECT_EQ(Save(Request(dir / "line\nbreak", false)), SaveOutcome::Failed);
    EXPECT_EQ(dialogs.Seen(), failure("22", "Invalid argument"));

    EXPECT_EQ(FilesIn(dir.Path()),
              (std::vector<std::string>{"b.txt", "b.txt.MD5", "c.txt.MD5", "plain"}));
}

// Run as an unprivileged user, since root may write any file.
TEST_F(ChecksumSave, AFileTheUserMayNotWriteIsAnErrorAndStaysAsItWas) {
    const auto data = dir.Write("a.txt", "hello\n");
    const auto target = dir.Write("a.txt.MD5", "old");
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    fs::permissions(dir.Path(), fs::perms::all);
    dialogs.ThenAnswer(Answer::Yes);
    const auto seen = RunWithoutPrivileges([&] {
        std::string out = Save(Request(data, false)) == SaveOutcome::Failed ? "failed" : "saved";
        for (const Shown& shown : dialogs.Messages()) out += "|" + shown.text;
        return out;
    });
    if (!seen) GTEST_SKIP() << "root cannot run a process as nobody here";
    EXPECT_EQ(*seen, "failed|" + OverwriteQuestion(target).text + "|" + T("msgbox3Text1") +
                         " 13 Permission denied");
    EXPECT_EQ(ReadAll(target), "old");
    EXPECT_EQ(fs::status(target).permissions(),
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"a.txt", "a.txt.MD5"}));
}

TEST_F(ChecksumSave, TheDataFileIsNeverReplacedByWhateverNameItIsPicked) {
    const auto data = dir.Write("a.txt", "hello\n");
    dir.Write("a.txt.MD5", "old");
    fs::create_symlink("a.txt", dir.Path() / "alias");
    fs::create_hard_link(data, dir.Path() / "hard");
    for (const std::string& picked : {data, dir / "alias", dir / "hard", dir / "./a.txt"}) {
        dialogs.Clear();
        dialogs.ThenAnswer(Answer::No).ThenChooseFile(picked);
        EXPECT_EQ(Save(Request(data, true)), SaveOutcome::Failed) << picked;
        // Said at once: no question about replacing it comes first.
        EXPECT_EQ(
            dialogs.Messages(),
            (std::vector{OverwriteQuestion(data + ".MD5"),
                         Message(T("lblFileSource") + " " + picked + " " + T("saveIsDataFile"),
                                 T("msgbox2Caption"), MessageIcon::Stop)}))
            << picked;
        EXPECT_EQ(ReadAll(data), "hello\n");
    }
    EXPECT_EQ(ReadAll(dir / "a.txt.MD5"), "old");
    EXPECT_EQ(FilesIn(dir.Path()),
              (std::vector<std::string>{"a.txt", "a.txt.MD5", "alias", "hard"}));
}

TEST_F(ChecksumSave, OnlyTheUsersOwnLinksInAFolderOpenToAllAreFollowed) {
    const auto data = dir.Write("open/a.txt", "hello\n");
    ASSERT_EQ(::chmod((dir.Path() / "open").c_str(), 01777), 0);
    const auto elsewhere = dir.Write("elsewhere.md5", "kept");
    const std::string link = data + ".MD5";
    fs::create_symlink(elsewhere, link);

    // The user's own: the question, then written through it.
    dialogs.ThenAnswer(Answer::Yes);
    EXPECT_EQ(Save(Request(data, true)), SaveOutcome::Saved);
    EXPECT_EQ(ReadAll(elsewhere), FixedCommentLine() + "\r\n" + kHelloDigest + " *a.txt\r\n");
    EXPECT_TRUE(fs::is_symlink(link));

    if (::geteuid() != 0) GTEST_SKIP() << "a link of another user needs root to be made";
    dir.Write("elsewhere.md5", "kept");
    ASSERT_EQ(::lchown(link.c_str(), 65534, 65534), 0);
    dialogs.Clear();
    EXPECT_EQ(Save(Request(data, true)), SaveOutcome::Failed);
    EXPECT_EQ(dialogs.Seen(),
              std::vector{Message(T("lblFileSource") + " " + link + " " + T("savePlantedLink"),
                                  T("msgbox2Caption"), MessageIcon::Stop)});
    EXPECT_EQ(ReadAll(elsewhere), "kept");
    EXPECT_EQ(FilesIn(dir.Path() / "open"), (std::vector<std::string>{"a.txt", "a.txt.MD5"}));
}

TEST_F(ChecksumSave, OverwritingKeepsTheFilesPermissions) {
    const auto data = dir.Write("a.txt", "hello\n");
    const auto target = dir.Write("a.txt.MD5", "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    dialogs.ThenAnswer(Answer::Yes);
    EXPECT_EQ(Save(Request(data, true)), SaveOutcome::Saved);
    EXPECT_EQ(fs::status(target).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

}  // namespace
}  // namespace vorlix::test
