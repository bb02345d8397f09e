#include <gtest/gtest.h>
#include <sys/stat.h>

#include "checksum/ChecksumFile.h"
#include "support/TempDir.h"

namespace vorlix {
namespace {

using Lines = std::vector<std::string>;

TEST(ChecksumFile, CommentLineHasFixedWidthDateAndTimeAndEndsWithABlank) {
    std::tm now{};
    now.tm_year = 2024 - 1900;
    now.tm_mon = 0;
    now.tm_mday = 7;
    now.tm_hour = 0;
    now.tm_min = 5;
    now.tm_sec = 9;
    const ChecksumIdentity identity{"Vorlix", "1.0.0.22", "DB.000022-28.10.2023-13.18.05_VRLX."};
    EXPECT_EQ(
        ChecksumCommentLine(now, identity),
        "# Created Vorlix 1.0.0.22, DB.000022-28.10.2023-13.18.05_VRLX. 07-01-2024 00:05:09 ");
}

TEST(ChecksumFile, LayoutsAreWrittenByteForByte) {
    EXPECT_EQ(StandardLayoutText("# c ", "0123456789abcdef0123456789abcdef", "archive.zip"),
              "# c \r\n0123456789abcdef0123456789abcdef *archive.zip\r\n");
    EXPECT_EQ(SectionedLayoutText("# c ", "archive.zip", "0123456789abcdef0123456789abcdef",
                                  "1024 bytes"),
              "# c \r\n[INI]\r\n[MD5FileInfo]\r\nFileName=archive.zip\r\n"
              "MD5Checksum=0123456789abcdef0123456789abcdef\r\nFileLenght=1024 bytes\r\n"
              "[EOF]\r\n");
    // A line break cannot stand in a line; md5sum's escaped form carries it.
    EXPECT_EQ(StandardLayoutText("# c ", "0123456789abcdef0123456789abcdef", "a\nb\\c"),
              "# c \r\n\\0123456789abcdef0123456789abcdef *a\\nb\\\\c\r\n");
}

TEST(ChecksumFile, LinesEndAtCrLfLfOrCrAndAByteOrderMarkIsDropped) {
    EXPECT_EQ(SplitChecksumLines(""), Lines{});
    EXPECT_EQ(SplitChecksumLines("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitChecksumLines("a\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitChecksumLines("a\rb\r"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitChecksumLines("a\r\rb\n\r\n"), (Lines{"a", "", "b", ""}));
    EXPECT_EQ(SplitChecksumLines("\xEF\xBB\xBF"
                                 "a\r\n\xEF\xBB\xBF"),
              (Lines{"a", "\xEF\xBB\xBF"}));
    EXPECT_EQ(SplitChecksumLines("\xEF\xBB\xBF"), Lines{""});
}

// The reader takes the stream a block at a time: a line end split by a block
// boundary is still one line end, and an overlong line keeps its first MiB.
TEST(ChecksumFile, LinesSurviveBlockBoundariesAndOverlongLinesAreCut) {
    for (const std::size_t before : {65534u, 65535u, 65536u, 131071u}) {
        const std::string head(before, 'x');
        EXPECT_EQ(SplitChecksumLines(head + "\r\nb\rc"), (Lines{head, "b", "c"})) << before;
        EXPECT_EQ(SplitChecksumLines(head + "\n\r\n"), (Lines{head, ""})) << before;
    }
    const std::string mebibyte(std::size_t{1} << 20, 'y');
    EXPECT_EQ(SplitChecksumLines(mebibyte + "zzz\r\nnext"), (Lines{mebibyte, "next"}));
}

TEST(ChecksumFile, SectionedLinesAreKnownByTheKeyBeforeTheirEqualsSign) {
    EXPECT_EQ(CountSectionMarkers("[INI][MD5FileInfo] [EOF]"), 3);
    EXPECT_EQ(CountSectionMarkers("x FileName y FileName"), 1);
    EXPECT_EQ(CountSectionMarkers("FileName=[EOF] MD5Checksum.txt"), 1);
    EXPECT_EQ(CountSectionMarkers("filename=a"), 0);

    const auto name = ParseSectionedLine("FileName=a=b.txt ");
    EXPECT_TRUE(name.fileName);
    EXPECT_FALSE(name.checksum);
    EXPECT_EQ(name.value, "a=b.txt ");
    const auto bare = ParseSectionedLine("MD5Checksum");
    EXPECT_TRUE(bare.checksum);
    EXPECT_EQ(bare.value, "MD5Checksum");
    EXPECT_FALSE(ParseSectionedLine("FileName=FileLenght").length);
}

TEST(ChecksumFile, LengthValueIsTheNumberBeforeTheFirstBlank) {
    const std::pair<std::string, std::optional<std::uint64_t>> cases[] = {
        {"1024 bytes", 1024},
        {"0 bytes", 0},
        {"1024", 1024},
        {" 7 bytes", 7},
        {"18446744073709551615 bytes", 18446744073709551615ull},
        {"18446744073709551616 bytes", std::nullopt},
        {"", std::nullopt},
        {"bytes", std::nullopt},
        {"-1 bytes", std::nullopt},
        {"1e3 bytes", std::nullopt},
        {"12,5 bytes", std::nullopt},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(ParseLengthValue(value), expected) << value;
    }
}

TEST(ChecksumFile, StandardEntriesInTheirThreeForms) {
    const std::string d = "b1946ac92492d2347c6235b4d2611184";
    struct Case {
        std::string line;
        std::optional<std::pair<std::string, std::string>> entry;
    };
    const Case cases[] = {
        {d + " *a.txt", std::pair{d, "a.txt"}},
        {d + "  a.txt", std::pair{d, "a.txt"}},
        {"MD5 (a.txt) = " + d, std::pair{d, "a.txt"}},
        {"MD5 (x) = (y).txt) = " + d, std::pair{d, "x) = (y).txt"}},
        {"\\" + d + "  we\\\\n\\nird", std::pair{d, "we\\n\nird"}},
        {"\\MD5 (a\\nb) = " + d, std::pair{d, "a\nb"}},
        {"\\" + d + "  bad\\x", std::nullopt},
        // Anything with an asterisk: the digest is what stands before it.
        {"  B1946AC9 *a*b ", std::pair{std::string("B1946AC9"), "a*b "}},
        {"*a.txt", std::pair{std::string(), "a.txt"}},
        {d + " a.txt", std::nullopt},
        {"SHA1 (a.txt) = " + d, std::nullopt},
        {"# Created Vorlix 1.0.0.22", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto entry = ParseStandardEntry(c.line);
        ASSERT_EQ(entry.has_value(), c.entry.has_value()) << c.line;
        if (entry) {
            EXPECT_EQ(entry->digest, c.entry->first) << c.line;
            EXPECT_EQ(entry->name, c.entry->second) << c.line;
        }
    }
}

TEST(ChecksumFile, AnEntryNamesTheDataFileOnlyWithTheWholeName) {
    const StandardEntry upper{"", "A.TXT  "};
    EXPECT_TRUE(IsEntryFor(upper, "a.txt"));
    EXPECT_TRUE(IsEntryFor({"", "Žluťoučký kůň.txt"}, "žluťoučký KŮŇ.TXT"));
    EXPECT_FALSE(IsEntryFor({"", "A.TXT.bak"}, "a.txt"));
    EXPECT_FALSE(IsEntryFor({"", "b/a.txt"}, "a.txt"));
    EXPECT_FALSE(IsEntryFor({"", " a.txt"}, "a.txt"));
}

TEST(ChecksumFile, ExpectedDataNameIsTheChecksumFilesNameWithoutMd5) {
    EXPECT_EQ(ExpectedDataName("/data/archive.zip.MD5"), "archive.zip");
    EXPECT_EQ(ExpectedDataName("archive.zip.md5"), "archive.zip");
    EXPECT_EQ(ExpectedDataName("/d.md5/notes.md5.txt.Md5"), "notes.md5.txt");
    EXPECT_EQ(ExpectedDataName("/d/a.txt.md5.bak"), "a.txt");
    EXPECT_EQ(ExpectedDataName("/d/a.txt"), std::nullopt);
    EXPECT_EQ(ExpectedDataName("/d/.md5"), std::nullopt);
    EXPECT_EQ(ExpectedDataName(""), std::nullopt);
}

TEST(ChecksumFile, LayoutDetection) {
    test::TempDir dir;
    const std::string d = "b1946ac92492d2347c6235b4d2611184";
    const std::string sectioned = SectionedLayoutText("# c ", "a.txt", d, "6 bytes");
    std::string manyMarkers;
    for (int i = 0; i < 40000; ++i) manyMarkers += "[EOF]\r\n";
    struct Case {
        std::string name;
        std::string content;
        int layout;
    };
    const Case cases[] = {
        {"a.txt.MD5", sectioned, kLayoutSectioned},
        {"other.txt", sectioned, kLayoutSectioned},
        {"shuffled.md5",
         "x [EOF] y\nFileLenght=6 bytes\n[MD5FileInfo]\nMD5Checksum=" + d + "\n[INI]\nFileName=a",
         kLayoutSectioned},
        {"odd.md5", SectionedLayoutText("# c ", "[EOF]FileName.txt", d, "6 bytes"),
         kLayoutSectioned},
        {"seventh.md5", sectioned + "[EOF]\r\n", kLayoutUnrecognised},
        {"a.txt.md5", StandardLayoutText("# c ", d, "a.txt"), kLayoutStandard},
        {"A.TXT.md5", "\xEF\xBB\xBF" + d + "  a.txt\n", kLayoutStandard},
        {"b.txt.md5", "MD5 (B.txt) = " + d, kLayoutStandard},
        {"c.txt.md5", d + " *A.TXT.bak\r\n", kLayoutUnrecognised},
        {"d.txt.md5", d + " *other.txt\r\n", kLayoutUnrecognised},
        {"e.txt", d + " *e.txt\r\n", kLayoutUnrecognised},
        {"empty.md5", "", kLayoutUnrecognised},
        {"markers.md5", manyMarkers, kLayoutUnrecognised},
        {"garbage.md5", std::string("\0\xff\r\r\n*\x80\xC3", 8), kLayoutUnrecognised},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DetectChecksumFileLayout(dir.Write(c.name, c.content)), c.layout) << c.name;
    }
    std::filesystem::create_directory(dir / "folder.md5");
    EXPECT_EQ(DetectChecksumFileLayout(dir / "folder.md5"), kLayoutUnrecognised);
    EXPECT_EQ(DetectChecksumFileLayout(dir / "missing.md5"), kLayoutUnrecognised);
    // A FIFO would block a plain open for ever.
    ASSERT_EQ(::mkfifo((dir / "fifo.md5").c_str(), 0600), 0);
    EXPECT_EQ(DetectChecksumFileLayout(dir / "fifo.md5"), kLayoutUnrecognised);
}

}  // namespace
}  // namespace vorlix
