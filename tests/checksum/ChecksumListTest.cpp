#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "ChecksumFixture.h"
#include "app/JobMessages.h"
#include "checksum/ChecksumFile.h"
#include "checksum/ChecksumList.h"
#include "checksum/ChecksumListVerification.h"
#include "checksum/DigestText.h"
#include "checksum/FolderChecksum.h"
#include "digest/DigestMany.h"
#include "language/Language.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace vorlix::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kAbc = "900150983cd24fb0d6963f7d28e17f72";    // "abc"
constexpr const char* kEmpty = "d41d8cd98f00b204e9800998ecf8427e";  // ""

// The shipped English pack, so the new texts are checked along the way.
class ListTest : public ::testing::Test {
  protected:
    ListTest() : language(VORLIX_SOURCE_PACKS) { language.LoadLanguageFile(1033); }
    std::string L(const char* section, const char* key) { return language.GetLabel(section, key); }
    // Creates and shows the outcome as the program does.
    FolderOutcome CreateFolder(const std::string& folder, bool autoMode) {
        const FolderResult result =
            CreateFolderChecksumFile(dialogs, language, clock, {}, folder, autoMode);
        ShowFolderResult(dialogs, language, folder, result);
        return result.outcome;
    }
    // Verifies and shows the summary as the program does.
    ListOutcome Verify(const ManyFilesRunner& run, const std::string& list) {
        const ListResult result = VerifyChecksumList(run, list);
        ShowListResult(dialogs, language, list, result);
        return result.outcome;
    }

    TempDir dir;
    ScriptedDialogs dialogs;
    Language language;
    FixedClock clock;
};

TEST(ChecksumListParse, ReadsEveryMd5sumFormAndCountsTheRest) {
    const ChecksumList list = ParseChecksumList(
        "# a comment\r\n"
        "\r\n" +
        std::string(kAbc) + "  text mode.txt\r\n" + std::string(kAbc) +
        " *binary mode.txt\n"
        "MD5 (tag (form).txt) = " +
        kAbc +
        "\n"
        "\\" +
        kAbc +
        "  new\\nline\\\\back\n"
        "\\" +
        kAbc +
        "  bad\\escape\n"      // no such escape: no entry
        "xyz *not a digest\n"  // the single-file rule takes it, a list does not
        + std::string(kAbc) +
        " *\n"  // no name
        "plain garbage\n");
    ASSERT_EQ(list.entries.size(), 4u);
    EXPECT_EQ(list.entries[0].name, "text mode.txt");
    EXPECT_EQ(list.entries[1].name, "binary mode.txt");
    EXPECT_EQ(list.entries[2].name, "tag (form).txt");
    EXPECT_EQ(list.entries[3].name, "new\nline\\back");
    EXPECT_EQ(list.notEntries, 4u);
}

TEST(ChecksumListParse, TheDigestsLengthOrTagGivesItsAlgorithm) {
    const std::string sha1(40, 'a'), sha256(64, 'b'), sha384(96, 'c'), wide(128, 'd');
    const DigestSet sha512OrBlake2b =
        DigestSet(DigestAlgorithm::Sha512).Add(DigestAlgorithm::Blake2b);
    const struct {
        std::string line;
        std::optional<DigestAlgorithm> namedBy;  // what the list's name says of 128 digits
        std::optional<DigestSet> algorithms;     // none: no entry
    } cases[] = {
        {sha1 + "  f", {}, DigestAlgorithm::Sha1},
        {std::string(56, 'e') + " *f", {}, DigestAlgorithm::Sha224},
        {sha256 + "  f", {}, DigestAlgorithm::Sha256},
        {sha384 + "  f", {}, DigestAlgorithm::Sha384},
        {wide + "  f", {}, sha512OrBlake2b},
        {wide + "  f", DigestAlgorithm::Sha512, DigestAlgorithm::Sha512},
        {wide + "  f", DigestAlgorithm::Blake2b, DigestAlgorithm::Blake2b},
        {"SHA256 (f) = " + sha256, {}, DigestAlgorithm::Sha256},
        {"SHA1(f)= " + sha1, {}, DigestAlgorithm::Sha1},
        {"BLAKE2b (f) = " + wide, {}, DigestAlgorithm::Blake2b},
        {"BLAKE2b-512 (f) = " + wide, {}, DigestAlgorithm::Blake2b},
        {"SHA512 (f) = " + wide, DigestAlgorithm::Blake2b, DigestAlgorithm::Sha512},
        // A tag's digest has its length; other lengths are no digest at all.
        {"SHA256 (f) = " + sha1, {}, {}},
        {"BLAKE2b-256 (f) = " + sha256, {}, {}},
        {std::string(48, 'a') + "  f", {}, {}},
        {sha256 + "0  f", {}, {}},
        // In a BLAKE2b list, b2sum reads 64 digits as a shorter BLAKE2b.
        {sha256 + "  f", DigestAlgorithm::Blake2b, {}},
    };
    for (const auto& c : cases) {
        ChecksumListLineParser parser(c.namedBy);
        const auto entry = parser.Parse(c.line);
        ASSERT_EQ(entry.has_value(), c.algorithms.has_value()) << c.line;
        if (!entry) continue;
        EXPECT_EQ(entry->algorithms, *c.algorithms) << c.line;
        EXPECT_EQ(entry->name, "f");
    }
    EXPECT_EQ(WideDigestNamedBy("/x/B2SUMS"), DigestAlgorithm::Blake2b);
    EXPECT_EQ(WideDigestNamedBy("image.iso.SHA512"), DigestAlgorithm::Sha512);
    EXPECT_EQ(WideDigestNamedBy("/x/b2sums"), DigestAlgorithm::Blake2b);
    EXPECT_EQ(WideDigestNamedBy("/b2sums/CHECKSUM"), std::nullopt);
}

// A distribution's signed CHECKSUM file: the armour and the comments are
// lines that are not entries, the entries in it are verified.
TEST_F(ListTest, AClearSignedChecksumFileVerifiesItsEntries) {
    dir.Write("image.iso", "abc");
    const std::string abc256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    const std::string list = dir.Write("CHECKSUM",
                                       "-----BEGIN PGP SIGNED MESSAGE-----\n"
                                       "Hash: SHA256\n"
                                       "\n"
                                       "# image.iso: 3 bytes\n"
                                       "SHA256 (image.iso) = " +
                                           abc256 +
                                           "\n"
                                           "-----BEGIN PGP SIGNATURE-----\n"
                                           "\n"
                                           "iQIzBAEBCAAdFiEE\n"
                                           "-----END PGP SIGNATURE-----\n");
    const ListResult result = VerifyChecksumList({}, list);
    EXPECT_EQ(result.outcome, ListOutcome::Passed);
    EXPECT_EQ(result.counts.intact, 1u);
    EXPECT_EQ(result.notEntries, 5u);

    dir.Write("image.iso", "abd");
    EXPECT_EQ(VerifyChecksumList({}, list).counts.damaged, 1u);
}

TEST_F(ListTest, OnlyEntriesForOtherFilesMakeAList) {
    const struct {
        const char* file;
        std::string content;
        ChecksumFileKind kind;
    } cases[] = {
        {"a.txt.MD5", "# Created Vorlix\r\n" + std::string(kAbc) + " *a.txt\r\n",
         ChecksumFileKind::Single},
        {"a.txt.md5", std::string(kAbc) + " *a.txt\n" + kAbc + " *A.TXT\n",
         ChecksumFileKind::Single},
        {"b.md5", "[INI]\n[MD5FileInfo]\nFileName=x\nMD5Checksum=y\nFileLenght=1\n[EOF]\n",
         ChecksumFileKind::Single},
        {"c.md5", "garbage\n", ChecksumFileKind::Single},
        {"a.md5", std::string(kAbc) + "  a\n" + kAbc + "  b\n", ChecksumFileKind::List},
        {"d.md5", std::string(kAbc) + "  sub/e.txt\n", ChecksumFileKind::List},
        {"MD5SUMS", std::string(kAbc) + "  d\n", ChecksumFileKind::List},
        {"SUMS", "no entries\n", ChecksumFileKind::NoUsableEntry},
        {"EMPTY", "", ChecksumFileKind::NoUsableEntry},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyChecksumFile(dir.Write(c.file, c.content)), c.kind) << c.file;
    }
}

TEST(Md5sumLines, AreWhatMd5sumPrints) {
    const struct {
        const char* name;
        EntryStatus status;
        const char* line;
    } cases[] = {
        {"a b.txt", EntryStatus::Intact, "a b.txt: OK"},
        {"sub/c", EntryStatus::Damaged, "sub/c: FAILED"},
        {"gone", EntryStatus::Missing, "gone: FAILED open or read"},
        {"dir", EntryStatus::Unreadable, "dir: FAILED open or read"},
        {"back\\slash", EntryStatus::Intact,
         "back\\slash: OK"},  // md5sum -c escapes only for a line feed
        {"new\nline\\x\r", EntryStatus::Intact, "\\new\\nline\\\\x\\r: OK"},
    };
    for (const auto& c : cases) {
        ResultRow row;
        row.name = c.name;
        row.status = c.status;
        EXPECT_EQ(Md5sumCheckLine(row), c.line) << c.name;
    }
}

TEST_F(ListTest, AListVerifiesEveryEntryInOrderAndSumsUp) {
    dir.Write("list/abc.txt", "abc");
    dir.Write("list/changed.txt", "abd");
    fs::create_directories(dir.Path() / "list" / "a folder");
    dir.Write("other/empty", "");
    const std::string list =
        dir.Write("list/SUMS", std::string(kAbc) + "  abc.txt\n" + kAbc + " *changed.txt\n" + kAbc +
                                   "  missing.txt\n" + kAbc + "  a folder\n" + kEmpty +
                                   "  ../other/empty\n" + kEmpty + "  " +
                                   (dir.Path() / "other/empty").string() + "\nnot an entry\n");

    std::vector<std::string> seen;
    const ManyFilesRunner run = [&](const ManyFilesJob& job) {
        EXPECT_EQ(job.kind, ManyFilesKind::ChecksumList);
        return RunManyFiles(job,
                            [&](const ResultRow& row) { seen.push_back(Md5sumCheckLine(row)); });
    };
    EXPECT_EQ(Verify(run, list), ListOutcome::Failed);
    EXPECT_EQ(seen, (std::vector<std::string>{"abc.txt: OK", "changed.txt: FAILED",
                                              "missing.txt: FAILED open or read",
                                              "a folder: FAILED open or read", "../other/empty: OK",
                                              (dir.Path() / "other/empty").string() + ": OK"}));
    const std::string summary =
        L("modChecksumList", "listText1") + " " + list + "\r\n" +
        L("modChecksumList", "listChecked") + " 6\r\n" + L("modChecksumList", "listIntact") +
        " 3\r\n" + L("modChecksumList", "listDamaged") + " 1\r\n" +
        L("modChecksumList", "listMissing") + " 1\r\n" + L("modChecksumList", "listUnreadable") +
        " 1\r\n" + L("modChecksumList", "listNotEntries") + " 1";
    EXPECT_EQ(
        dialogs.Seen(),
        (std::vector{Message(summary, L("modChecksumList", "listCaption"), MessageIcon::Stop)}));

    dialogs.Clear();
    const std::string good = dir.Write("list/GOOD", std::string(kAbc) + "  abc.txt\n");
    EXPECT_EQ(Verify({}, good), ListOutcome::Passed);
    EXPECT_EQ(dialogs.Seen().at(0).icon, MessageIcon::Information);

    dialogs.Clear();
    const std::string none = dir.Write("list/NONE", "nothing\n");
    EXPECT_EQ(Verify({}, none), ListOutcome::NoUsableEntry);
    EXPECT_EQ(dialogs.Seen(),
              (std::vector{Message(L("frmVorlix", "msgbox5Text1") + " " + none + " " +
                                       L("frmVorlix", "msgbox5Text2"),
                                   L("frmVorlix", "msgbox2Caption"), MessageIcon::Stop)}));
}

TEST_F(ListTest, AFolderIsScannedInByteOrderWithLinksToFilesOnly) {
    dir.Write("f/b", "b");
    dir.Write("f/B", "B");
    dir.Write("f/.hidden", "");
    dir.Write("f/sub/deep/x", "x");
    dir.Write("f/ž", "z");
    fs::create_symlink("b", dir.Path() / "f/link");
    fs::create_directory_symlink(dir.Path(), dir.Path() / "f/up");
    fs::create_symlink("nowhere", dir.Path() / "f/dangling");
    ASSERT_EQ(mkfifo((dir.Path() / "f/pipe").c_str(), 0600), 0);

    const FolderScan scan = ScanFolder(dir / "f");
    std::vector<std::string> names;
    for (const FolderFile& file : scan.files) names.push_back(file.relative);
    EXPECT_EQ(names, (std::vector<std::string>{".hidden", "B", "b", "link", "sub/deep/x", "ž"}));
    EXPECT_EQ(scan.leftOut, (std::vector<std::string>{"dangling", "pipe"}));

    EXPECT_EQ(FolderChecksumPath(dir / "f/"), dir / "f.MD5");
    EXPECT_EQ(FolderChecksumPath(dir / "f/sub/.."), dir / "f.MD5");
    EXPECT_EQ(FolderOwnName("/"), "");
}

TEST_F(ListTest, AFolderFileRecordsEveryReadableFileAndNamesTheRest) {
    dir.Write("Data/a b.txt", "abc");
    dir.Write("Data/new\nline", "");
    ASSERT_EQ(mkfifo((dir.Path() / "Data/pipe").c_str(), 0600), 0);

    EXPECT_EQ(CreateFolder(dir / "Data", false), FolderOutcome::Incomplete);
    EXPECT_EQ(ReadAll(dir / "Data.MD5"), FixedCommentLine() + "\r\n" + kAbc +
                                             " *Data/a b.txt\r\n\\" + kEmpty +
                                             " *Data/new\\nline\r\n");
    // One message, which also says where the file went.
    ASSERT_EQ(dialogs.Seen().size(), 1u);
    EXPECT_EQ(dialogs.Seen()[0],
              Message(L("modChecksumList", "folderText1") + " " + (dir / "Data") + "\r\n" +
                          L("modChecksumList", "folderSavedTo") + " " + (dir / "Data.MD5") +
                          "\r\n" + L("modChecksumList", "folderRecorded") + " 2\r\n" +
                          L("modChecksumList", "folderBytes") + " 3\r\n" +
                          L("modChecksumList", "folderLeftOut") + "\r\n   Data/pipe",
                      L("modChecksumList", "folderCaption"), MessageIcon::Stop));

    // It exists now: No, then no other name, keeps it as it was.
    fs::remove(dir.Path() / "Data/pipe");
    dialogs.Clear();
    dialogs.ThenAnswer(Answer::No).ThenCancelFileDialog();
    const std::string before = ReadAll(dir / "Data.MD5");
    EXPECT_EQ(CreateFolder(dir / "Data", false), FolderOutcome::Cancelled);
    EXPECT_EQ(ReadAll(dir / "Data.MD5"), before);
    EXPECT_EQ(dialogs.Seen().front().buttons, MessageButtons::YesNo);

    // Automatic mode replaces it without a question or a confirmation.
    dialogs.Clear();
    EXPECT_EQ(CreateFolder(dir / "Data", true), FolderOutcome::Complete);
    ASSERT_EQ(dialogs.Seen().size(), 1u);
    EXPECT_EQ(dialogs.Seen()[0].icon, MessageIcon::Information);

    // Nothing to record: nothing written.
    fs::create_directories(dir.Path() / "Empty");
    EXPECT_EQ(CreateFolder(dir / "Empty", true), FolderOutcome::Incomplete);
    EXPECT_FALSE(fs::exists(dir.Path() / "Empty.MD5"));
    EXPECT_EQ(CreateFolder(dir / "Data.MD5", true), FolderOutcome::NotAFolder);
    EXPECT_TRUE(dialogs.ScriptUsedUp());
}

TEST(PublishedDigest, IsFoundInTheFormsPeopleCopy) {
    const std::string digest = kAbc;
    const std::string upper = "900150983CD24FB0D6963F7D28E17F72";
    const struct {
        std::string text;
        std::optional<std::string> found;
    } cases[] = {
        {digest, digest},
        {"  " + upper + "\n", digest},
        {"MD5: " + digest, digest},
        {"md5:" + upper, digest},
        {digest + "  file.iso", digest},
        {digest + " *file.iso\n", digest},
        {"MD5 (file.iso) = " + digest, digest},
        {"\nSHA1 below\n" + digest + "  file.iso\n", digest},
        {digest.substr(1), std::nullopt},
        {digest + "0", std::nullopt},
        {"hello", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto found = FindPublishedDigest(c.text);
        EXPECT_EQ(found ? std::optional(found->digest) : std::nullopt, c.found) << c.text;
    }
}

TEST_F(ListTest, ManyDigestsComeInOrderAndStopWhenCancelled) {
    const std::vector<std::string> paths = {dir.Write("1", "abc"), dir / "missing",
                                            dir.Write("3", "")};
    std::vector<std::size_t> order;
    std::vector<FileDigestResult> results;
    std::uint64_t lastProgress = 0;
    DigestMany(
        paths,
        [&](std::size_t index, const FileDigestResult& result) {
            order.push_back(index);
            results.push_back(result);
        },
        nullptr, [&](std::uint64_t bytes) { lastProgress = bytes; });
    EXPECT_EQ(order, (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_EQ(results[0].digest, kAbc);
    EXPECT_EQ(results[1].status, FileDigestResult::Status::ReadError);
    EXPECT_EQ(results[2].digest, kEmpty);
    EXPECT_EQ(lastProgress, 3u);

    const std::atomic<bool> cancel{true};
    std::size_t cancelled = 0;
    DigestMany(
        paths,
        [&](std::size_t, const FileDigestResult& result) {
            cancelled += result.status == FileDigestResult::Status::Cancelled;
        },
        &cancel);
    EXPECT_EQ(cancelled, paths.size());
}

}  // namespace
}  // namespace vorlix::test
