#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "ChecksumFixture.h"
#include "app/JobMessages.h"
#include "checksum/ChecksumFile.h"
#include "checksum/ChecksumVerification.h"
#include "ui/EndProgram.h"
#include "util/Text.h"

namespace vorlix::test {
namespace {

namespace fs = std::filesystem;

class ChecksumVerify : public ChecksumTest {
  protected:
    // Verifies and shows the messages as the program does.
    VerifyOutcome Verify(const std::string& checksumPath) {
        const VerifyResult result = VerifyChecksumFile(checksumPath);
        ShowVerifyResult(dialogs, language, result);
        return result.outcome;
    }
    // A checksum file for `name` in the layout asked for, as the program writes it.
    std::string Saved(const std::string& name, bool standard) {
        ScriptedDialogs quiet;
        const ChecksumSaveRequest request{dir / name, kHelloDigest, "6 bytes", standard, true};
        fs::remove(request.dataPath + ".MD5");
        EXPECT_EQ(SaveChecksumFile(quiet, language, clock, request), SaveOutcome::Saved);
        return request.dataPath + ".MD5";
    }
    std::string Sectioned(const std::string& lines) { return dir.Write("a.txt.md5", lines); }

    Shown Success(const std::string& subject) const {
        return Message(T("msgbox9Text1") + " " + subject + " " + T("msgbox9Text2"),
                       T("msgbox9Text3"), MessageIcon::Information);
    }
    Shown Mismatch(const std::string& subject) const {
        return Message(T("msgbox7Text1") + " " + subject + " " + T("msgbox7Text2"),
                       T("msgbox6Caption"), MessageIcon::Stop);
    }
    Shown LengthMismatch(const std::string& subject) const {
        return Message(T("msgbox8Text1") + " " + subject + " " + T("msgbox8Text2"),
                       T("msgbox6Caption"), MessageIcon::Stop);
    }
    Shown Missing(const std::string& name) const {
        return Message(T("lblFileSource") + " " + name + " " + T("msgbox6Text1"),
                       T("msgbox6Caption"), MessageIcon::Stop);
    }
    Shown Unrecognised(const std::string& path) const {
        return Message(T("msgbox5Text1") + " " + path + " " + T("msgbox5Text2"),
                       T("msgbox2Caption"), MessageIcon::Stop);
    }
};

TEST_F(ChecksumVerify, FilesThisProgramWritesVerifyInBothLayouts) {
    dir.Write("a.txt", "hello\n");
    EXPECT_EQ(Verify(Saved("a.txt", false)), VerifyOutcome::Passed);
    EXPECT_EQ(dialogs.Seen(), std::vector{Success("A.TXT")});

    dialogs.Clear();
    const auto standard = Saved("a.txt", true);
    EXPECT_EQ(Verify(standard), VerifyOutcome::Passed);
    EXPECT_EQ(dialogs.Seen(), std::vector{Success(Utf8Upper(standard))});
}

TEST_F(ChecksumVerify, NamesOfAnyCharactersSurviveASaveAndARead) {
    for (const std::string name :
         {"žluťoučký kůň.txt", "[EOF] MD5Checksum=x.txt", "a\\b*c", "two  blanks .txt"}) {
        dir.Write(name, "hello\n");
        for (bool standard : {false, true}) {
            dialogs.Clear();
            EXPECT_EQ(Verify(Saved(name, standard)), VerifyOutcome::Passed) << name;
            EXPECT_EQ(dialogs.Messages().size(), 1u);
        }
    }
    // A line break only fits the standard layout.
    dir.Write("line\nbreak", "hello\n");
    dialogs.Clear();
    EXPECT_EQ(Verify(Saved("line\nbreak", true)), VerifyOutcome::Passed);
    EXPECT_EQ(dialogs.Seen(), std::vector{Success(Utf8Upper(dir / "line\nbreak.MD5"))});
}

TEST_F(ChecksumVerify, SectionedFindsTheFirstDifference) {
    const std::string head = "# c \r\n[INI]\r\n[MD5FileInfo]\r\n";
    const std::string name = "FileName=a.txt\r\n";
    const std::string digest = std::string("MD5Checksum=") + kHelloDigest + "\r\n";
    const std::string length = "FileLenght=6 bytes\r\n";
    struct Case {
        std::string what;
        std::string data;  // content of a.txt
        std::string checksumFile;
        Shown expected;
    };
    const Case cases[] = {
        {"one changed byte", "hellO\n", head + name + digest + length + "[EOF]", Mismatch("A.TXT")},
        {"an appended byte", "hello\nx", head + name + digest + length + "[EOF]",
         Mismatch("A.TXT")},
        {"upper-case digest", "hello\n",
         head + name + "MD5Checksum=" + Utf8Upper(kHelloDigest) + "\r\n" + length + "[EOF]",
         Success("A.TXT")},
        {"edited length", "hello\n", head + name + digest + "FileLenght=7 bytes\r\n[EOF]",
         LengthMismatch("A.TXT")},
        {"length not a number", "hello\n", head + name + digest + "FileLenght=six bytes\r\n[EOF]",
         LengthMismatch("A.TXT")},
        {"length without unit", "hello\n", head + name + digest + "FileLenght=6\r\n[EOF]",
         Success("A.TXT")},
        {"digest before name", "hello\n", head + digest + name + length + "[EOF]", Mismatch("")},
        {"empty digest before name", "hello\n", head + "MD5Checksum=\r\n" + name + length + "[EOF]",
         Mismatch("")},
        {"length before name", "hello\n", head + length + name + digest + "[EOF]",
         LengthMismatch("")},
        {"trailing blank in name", "hello\n",
         head + "FileName=a.txt \r\n" + digest + length + "[EOF]", Missing("a.txt ")},
        {"missing data file", "", head + "FileName=Gone.txt\r\n" + digest + length + "[EOF]",
         Missing("Gone.txt")},
        {"LF only", "hello\n",
         "# c \n[INI]\n[MD5FileInfo]\nFileName=a.txt\nMD5Checksum=" + std::string(kHelloDigest) +
             "\nFileLenght=6 bytes\n[EOF]\n",
         Success("A.TXT")},
        {"byte order mark, CR only", "hello\n",
         "\xEF\xBB\xBF[INI]\r[MD5FileInfo]\rFileName=a.txt"
         "\rMD5Checksum=" +
             std::string(kHelloDigest) + "\rFileLenght=6 bytes\r[EOF]",
         Success("A.TXT")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.Clear();
        dir.Write("a.txt", c.data);
        const auto checksum = Sectioned(c.checksumFile);
        const bool passes = c.expected.caption == T("msgbox9Text3");
        EXPECT_EQ(Verify(checksum), passes ? VerifyOutcome::Passed : VerifyOutcome::Failed);
        EXPECT_EQ(dialogs.Seen(), std::vector{c.expected});
    }
    // Verifying never makes a file.
    EXPECT_FALSE(fs::exists(dir / "Gone.txt"));
}

TEST_F(ChecksumVerify, StandardGivesOneMessagePerEntry) {
    dir.Write("a.txt", "hello\n");
    const std::string good = std::string(kHelloDigest) + " *a.txt";
    const std::string bad = "00000000000000000000000000000000 *A.TXT";
    const auto checksum = dir.Write(
        "a.txt.md5", "# c \r\n" + good + "\r\n" + bad + "\r\n" + good + ".bak\r\nnoise\r\n");
    EXPECT_EQ(Verify(checksum), VerifyOutcome::Failed);
    const auto subject = Utf8Upper(checksum);
    EXPECT_EQ(dialogs.Seen(), (std::vector{Success(subject), Mismatch(subject)}));
}

TEST_F(ChecksumVerify, StandardAcceptsWhatMd5sumWrites) {
    dir.Write("a.txt", "hello\n");
    dir.Write("we\\n\nird", "hello\n");
    const std::string d = kHelloDigest;
    const std::pair<std::string, std::string> files[] = {
        {"a.txt.md5", d + "  a.txt\n"},                      // md5sum
        {"a.txt.MD5", "MD5 (a.txt) = " + d + "\n"},          // md5sum --tag
        {"we\\n\nird.md5", "\\" + d + "  we\\\\n\\nird\n"},  // escaped name
        {"a.txt.Md5", Utf8Upper(d) + " *A.txt"},             // upper-case digits
    };
    for (const auto& [name, content] : files) {
        dialogs.Clear();
        const auto checksum = dir.Write(name, content);
        EXPECT_EQ(Verify(checksum), VerifyOutcome::Passed) << name;
        EXPECT_EQ(dialogs.Seen(), std::vector{Success(Utf8Upper(checksum))}) << name;
    }
}

TEST_F(ChecksumVerify, StandardWithoutItsDataFileSaysSoAndCreatesNothing) {
    const auto checksum = dir.Write("gone.txt.md5", std::string(kHelloDigest) + " *gone.txt\r\n");
    EXPECT_EQ(Verify(checksum), VerifyOutcome::Failed);
    EXPECT_EQ(dialogs.Seen(), std::vector{Missing("gone.txt")});
    EXPECT_FALSE(fs::exists(dir / "gone.txt"));
}

TEST_F(ChecksumVerify, FilesInNeitherLayoutAreReportedNeverFatal) {
    std::string manyMarkers;
    for (int i = 0; i < 40000; ++i) manyMarkers += "[INI] [EOF]\n";
    const std::pair<std::string, std::string> files[] = {
        {"empty.md5", ""},
        {"bom.md5", "\xEF\xBB\xBF"},
        {"garbage.md5", std::string("\0\xff\r*\x80", 5)},
        {"markers.md5", manyMarkers},
        {"a.txt.md5", std::string(kHelloDigest) + " *A.TXT.bak\r\n"},
        {"other.md5", std::string(kHelloDigest) + " *a.txt\r\n"},
        {"no-extension", std::string(kHelloDigest) + " *no-extension\r\n"},
    };
    dir.Write("a.txt", "hello\n");
    for (const auto& [name, content] : files) {
        dialogs.Clear();
        const auto checksum = dir.Write(name, content);
        EXPECT_EQ(Verify(checksum), VerifyOutcome::Failed) << name;
        EXPECT_EQ(dialogs.Seen(), std::vector{Unrecognised(checksum)}) << name;
    }
}

TEST_F(ChecksumVerify, NothingHappensWithoutAChecksumFile) {
    EXPECT_EQ(Verify(""), VerifyOutcome::NothingDone);
    EXPECT_EQ(Verify(dir / "missing.md5"), VerifyOutcome::NothingDone);
    EXPECT_EQ(Verify(dir.Path().string()), VerifyOutcome::NothingDone);
    EXPECT_TRUE(dialogs.Seen().empty());
}

TEST_F(ChecksumVerify, AnUnreadableDataFileStopsTheVerification) {
    // Reading this file at offset 0 always fails.
    const auto checksum = Sectioned(
        "[INI]\n[MD5FileInfo]\nFileName=/proc/self/mem\nMD5Checksum=x\n"
        "FileLenght=0 bytes\n[EOF]\n");
    EXPECT_EQ(Verify(checksum), VerifyOutcome::ReadError);
    EXPECT_EQ(dialogs.Seen(), std::vector{Message("Error Reading File /proc/self/mem",
                                                  "Error Read File", MessageIcon::Stop)});
}

TEST_F(ChecksumVerify, RecordedNamesWithControlCharactersAreNoFile) {
    dir.Write("a.txt", "hello\n");
    dir.Write("a.txt\x1b[2J", "hello\n");
    const std::string rest =
        std::string("\nMD5Checksum=") + kHelloDigest + "\nFileLenght=6 bytes\n[EOF]\n";
    // The system would read a.txt for the first; the user would see the longer name.
    for (const std::string& name : {std::string("a.txt\0.exe", 10), std::string("a.txt\x1b[2J")}) {
        dialogs.Clear();
        const auto checksum = Sectioned("[INI]\n[MD5FileInfo]\nFileName=" + name + rest);
        EXPECT_EQ(Verify(checksum), VerifyOutcome::Failed);
        EXPECT_EQ(dialogs.Seen(), std::vector{Missing(name)});
    }

    // In the standard layout such a line is no entry, so the file is in neither layout.
    dir.Write("b\x07.txt", "hello\n");
    dialogs.Clear();
    const auto standard = dir.Write("b\x07.txt.md5", std::string(kHelloDigest) + " *b\x07.txt\r\n");
    EXPECT_EQ(Verify(standard), VerifyOutcome::Failed);
    EXPECT_EQ(dialogs.Seen(), std::vector{Unrecognised(standard)});
}

TEST_F(ChecksumVerify, OnlyRegularFilesAreReadForAChecksumFile) {
    std::vector<std::string> notFiles = {"/dev/null", dir / "fifo"};
    ASSERT_EQ(::mkfifo(notFiles.back().c_str(), 0600), 0);
    // A disk named by a checksum file must not be read, however readable.
    for (const auto& entry : fs::directory_iterator("/dev")) {
        std::error_code error;
        if (entry.is_block_file(error) && ::access(entry.path().c_str(), R_OK) == 0) {
            notFiles.push_back(entry.path());
            break;
        }
    }
    if (notFiles.size() < 3) std::cerr << "no readable block device: only /dev/null and a FIFO\n";
    for (const std::string& name : notFiles) {
        SCOPED_TRACE(name);
        dialogs.Clear();
        const auto checksum = Sectioned("[INI]\n[MD5FileInfo]\nFileName=" + name +
                                        "\nMD5Checksum=d41d8cd98f00b204e9800998ecf8427e\n"
                                        "FileLenght=0 bytes\n[EOF]\n");
        EXPECT_EQ(Verify(checksum), VerifyOutcome::ReadError);
        EXPECT_EQ(dialogs.Seen(), std::vector{Message("Error Reading File " + name,
                                                      "Error Read File", MessageIcon::Stop)});
    }
}

TEST(ChecksumVerification, NamesWithoutAFolderLieBesideTheChecksumFile) {
    EXPECT_EQ(ResolveDataPath("/data/sums/a.md5", "a.txt"), "/data/sums/a.txt");
    EXPECT_EQ(ResolveDataPath("/data/sums/a.md5", "sub/a.txt"), "/data/sums/sub/a.txt");
    EXPECT_EQ(ResolveDataPath("/data/sums/a.md5", "/other/a.txt"), "/other/a.txt");
    EXPECT_EQ(ResolveDataPath("a.md5", "a.txt"), "a.txt");
    EXPECT_EQ(ResolveDataPath("/data/a.md5", ""), "");
    EXPECT_TRUE(SameDigest("B1946AC9", "b1946ac9"));
    EXPECT_FALSE(SameDigest("b1946ac9 ", "b1946ac9"));
    EXPECT_FALSE(SameDigest("b1946ac@", "b1946ac`"));
}

// Lists join every name by hand; the result must be what the path library
// would have made of it, odd forms included.
TEST(ChecksumVerification, JoiningANameMatchesThePathLibrary) {
    namespace fs = std::filesystem;
    for (const char* list : {"a.md5", "/a.md5", "/data/a.md5", "data//a.md5", "./a.md5",
                             "../up/a.md5", "//a.md5", "data/./a.md5"}) {
        for (const char* name :
             {"x", "sub/x", "/abs/x", "./x", "../x", "x/", ".", "..", " x", "a\\b", "//x"}) {
            const fs::path expected = fs::path(list).parent_path() / name;
            const std::string wanted = fs::path(name).is_absolute() ? name : expected.string();
            EXPECT_EQ(ResolveDataPath(list, name), wanted) << list << " + " << name;
        }
    }
}

}  // namespace
}  // namespace vorlix::test
