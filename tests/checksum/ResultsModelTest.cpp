#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <numeric>
#include <vector>

#include "checksum/ResultsModel.h"
#include "language/Language.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace vorlix::test {
namespace {

using std::chrono::duration;

constexpr const char* kAbc = "900150983cd24fb0d6963f7d28e17f72";    // "abc"
constexpr const char* kEmpty = "d41d8cd98f00b204e9800998ecf8427e";  // ""

// The shipped English pack, so the new texts are checked along the way.
class ResultsModelTest : public ::testing::Test {
  protected:
    ResultsModelTest() : language(VORLIX_SOURCE_PACKS) { language.LoadLanguageFile(1033); }
    std::string L(const char* key) { return language.GetLabel("frmResults", key); }

    TempDir dir;
    ScriptedDialogs dialogs;
    Language language;
};

ResultRow Row(std::string name, EntryStatus status, std::uint64_t size = 0,
              std::string digest = {}) {
    ResultRow row;
    row.name = std::move(name);
    row.path = "/data/" + row.name;
    row.status = status;
    row.size = size;
    row.digest = std::move(digest);
    return row;
}

// A file that is not there: it does not exist, or (ENOTDIR) its path runs
// through a file.
ResultRow Missing(std::string name, int errorNumber = ENOENT) {
    ResultRow row = Row(std::move(name), EntryStatus::Missing);
    row.errorNumber = errorNumber;
    return row;
}

ManyFilesJob StreamedJob(std::size_t total) {
    ManyFilesJob job;
    job.kind = ManyFilesKind::ChecksumList;
    job.source = [](ManyFilesEntry&) { return false; };
    job.total = total;
    return job;
}

TEST_F(ResultsModelTest, FilterCopyAndSaveAsAList) {
    ManyFilesJob job;
    job.kind = ManyFilesKind::Dropped;
    job.paths = {dir.Write("a/x.txt", "abc"), dir / "a/gone", dir.Write("b/y z", "")};
    job.names = job.paths;
    ResultsModel model;
    model.Start(job);
    const ManyFilesOutcome outcome =
        RunManyFiles(job, [&](const ResultRow& row) { model.Add(row); });
    EXPECT_FALSE(model.CanSaveAsList()) << "not while it runs";
    model.Finish(outcome.cancelled);
    EXPECT_TRUE(model.CanSaveAsList());

    EXPECT_EQ(model.VisibleRows().size(), 3u);
    EXPECT_EQ(model.CopyText(language),
              job.paths[0] + "\t" + L("stDigested") + "\t" + kAbc + "\t3\n" +  //
                  job.paths[1] + "\t" + L("stMissing") + "\t\t\n" +            //
                  job.paths[2] + "\t" + L("stDigested") + "\t" + kEmpty + "\t0\n");
    model.SetProblemsOnly(true);
    EXPECT_EQ(model.VisibleRows(), (std::vector<std::size_t>{1}));
    EXPECT_EQ(model.CopyText(language), job.paths[1] + "\t" + L("stMissing") + "\t\t\n");
    EXPECT_EQ(model.CountsText(language),
              L("lblFiles") + " 3/3   " + L("stMissing") + ": 1   " + L("stUnreadable") + ": 0");

    EXPECT_EQ(model.ListText("# c", dir / "a"),
              "# c\r\n" + std::string(kAbc) + " *x.txt\r\n" + kEmpty + " *../b/y z\r\n");
}

TEST_F(ResultsModelTest, CellsShowWhatWasReadAndNamesAsTheConsoleShowsThem) {
    ResultsModel model;
    const struct {
        ResultRow row;
        std::vector<std::string> cells;  // name, status, digest, size
    } cases[] = {
        {Row("ok.txt", EntryStatus::Intact, 3, kAbc), {"ok.txt", L("stIntact"), kAbc, "3"}},
        {Row("bad.txt", EntryStatus::Damaged, 0, kEmpty), {"bad.txt", L("stDamaged"), kEmpty, "0"}},
        {Row("gone", EntryStatus::Missing), {"gone", L("stMissing"), "", ""}},
        {Row("locked", EntryStatus::Unreadable), {"locked", L("stUnreadable"), "", ""}},
        {Row("later", EntryStatus::Cancelled), {"later", L("stCancelled"), "", ""}},
        {Row("in folder", EntryStatus::Digested, 3, kAbc),
         {"in folder", L("stDigested"), kAbc, "3"}},
        {Row("a\nb\x1b[2J\tc", EntryStatus::Missing),
         {"\\a\\nb\\x1b[2J\\x09c", L("stMissing"), "", ""}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> cells;
        for (ResultsColumn column : kResultsColumns)
            cells.push_back(model.CellText(language, c.row, column));
        EXPECT_EQ(cells, c.cells) << c.row.name;
    }
    std::vector<std::string> titles;
    for (ResultsColumn column : kResultsColumns)
        titles.push_back(model.ColumnTitle(language, column));
    EXPECT_EQ(titles, (std::vector<std::string>{L("colName"), L("colStatus"), L("colDigest"),
                                                L("colSize")}));
}

// Six rows in the job's order; the cases click headers and read the order shown.
class Sorting : public ResultsModelTest {
  protected:
    Sorting() {
        ManyFilesJob job;
        job.kind = ManyFilesKind::ChecksumList;
        job.paths.resize(6);
        model.Start(job);
        model.Add({
            Row("photo 10.jpg", EntryStatus::Intact, 300, "bb"),  // 0
            Row("Photo 9.jpg", EntryStatus::Damaged, 200, "cc"),  // 1
            Missing("notes.txt"),                                 // 2
            Row("archive.iso", EntryStatus::Intact, 5000, "aa"),  // 3
            Row("zz.bin", EntryStatus::Unreadable),               // 4
            Row("photo 9.jpg", EntryStatus::Intact, 200, "dd"),   // 5
        });
    }
    ResultsModel model;
};

TEST_F(Sorting, AClickSortsUpASecondDownAThirdBackToTheJobsOrder) {
    using C = ResultsColumn;
    const struct {
        std::vector<C> clicks;
        std::vector<std::size_t> shown;
        SortOrder order;
    } cases[] = {
        {{}, {0, 1, 2, 3, 4, 5}, SortOrder::JobOrder},
        // Names as people read them: case aside, 9 before 10.
        {{C::Name}, {3, 2, 1, 5, 0, 4}, SortOrder::Ascending},
        {{C::Name, C::Name}, {4, 0, 5, 1, 2, 3}, SortOrder::Descending},
        {{C::Name, C::Name, C::Name}, {0, 1, 2, 3, 4, 5}, SortOrder::JobOrder},
        // One click puts the problems first; alike rows keep the job's order.
        {{C::Status}, {1, 2, 4, 0, 3, 5}, SortOrder::Ascending},
        {{C::Status, C::Status}, {0, 3, 5, 4, 2, 1}, SortOrder::Descending},
        // Files not read have no size and no digest: below every other.
        {{C::Size}, {2, 4, 1, 5, 0, 3}, SortOrder::Ascending},
        {{C::Size, C::Size}, {3, 0, 1, 5, 2, 4}, SortOrder::Descending},
        {{C::Digest}, {2, 4, 3, 0, 1, 5}, SortOrder::Ascending},
        // Another column starts again from the top.
        {{C::Status, C::Status, C::Name}, {3, 2, 1, 5, 0, 4}, SortOrder::Ascending},
    };
    for (const auto& c : cases) {
        ResultsModel sorted = model;
        for (C column : c.clicks) sorted.SortBy(column);
        EXPECT_EQ(sorted.VisibleRows(), c.shown) << c.clicks.size() << " clicks";
        EXPECT_EQ(sorted.Order(), c.order) << c.clicks.size() << " clicks";
    }
}

TEST_F(Sorting, RowsThatComeLaterAndTheFilterKeepTheOrder) {
    model.SortBy(ResultsColumn::Status);
    model.Add({Row("new damage", EntryStatus::Damaged, 1, "ee"),  // 6
               Row("new ok", EntryStatus::Intact, 1, "ff")});     // 7
    EXPECT_EQ(model.VisibleRows(), (std::vector<std::size_t>{1, 6, 2, 4, 0, 3, 5, 7}));
    model.SetProblemsOnly(true);
    EXPECT_EQ(model.VisibleRows(), (std::vector<std::size_t>{1, 6, 2, 4}));
    model.Add({Row("late", EntryStatus::Missing), Row("fine", EntryStatus::Intact, 1, "00")});
    EXPECT_EQ(model.VisibleRows(), (std::vector<std::size_t>{1, 6, 2, 8, 4}));
    EXPECT_EQ(model.CopyText(language).substr(0, 12), "Photo 9.jpg\t");
    model.SetProblemsOnly(false);
    model.SortBy(ResultsColumn::Status);
    model.SortBy(ResultsColumn::Status);
    EXPECT_EQ(model.VisibleRows(), (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

// Hiding missing files passes them over as md5sum --ignore-missing does:
// no row, no count, and no file intact means nothing was verified. As there,
// only a file that does not exist; a path through a file is a broken entry.
// The digest column says which digests it shows: the pack's title for MD5
// alone, the names of the others.
TEST_F(ResultsModelTest, TheDigestColumnIsTitledByItsDigests) {
    ResultsModel model;
    const auto title = [&] { return model.ColumnTitle(language, ResultsColumn::Digest); };
    EXPECT_EQ(title(), L("colDigest"));
    model.Add(Row("a", EntryStatus::Intact, 1, std::string(32, 'a')));
    EXPECT_EQ(title(), L("colDigest"));
    ResultRow sha = Row("b", EntryStatus::Intact, 1, std::string(64, 'b'));
    sha.algorithm = DigestAlgorithm::Sha256;
    model.Add(sha);
    EXPECT_EQ(title(), "MD5 / SHA-256");
    ResultsModel only;
    only.Add(sha);
    only.Add(Missing("c"));
    EXPECT_EQ(only.ColumnTitle(language, ResultsColumn::Digest), "SHA-256");
}

TEST_F(ResultsModelTest, HidingMissingFilesPassesThemOverAndNeverPassesAList) {
    const std::string passedOver = language.GetLabel("modChecksumList", "listPassedOver");
    const std::string noneVerified = language.GetLabel("modChecksumList", "listNoneVerified");
    const auto counts = [&](std::size_t intact, std::size_t damaged, std::size_t missing,
                            std::size_t unreadable, std::size_t hidden) {
        const auto files = std::to_string(intact + damaged + missing + unreadable + hidden);
        return L("lblFiles") + " " + files + "/" + files + "   " + L("stIntact") + ": " +
               std::to_string(intact) + "   " + L("stDamaged") + ": " + std::to_string(damaged) +
               "   " + L("stMissing") + ": " + std::to_string(missing) + "   " + L("stUnreadable") +
               ": " + std::to_string(unreadable) + "   " + passedOver + " " +
               std::to_string(hidden);
    };
    const ResultRow intact = Row("ok", EntryStatus::Intact, 3, kAbc);
    const ResultRow gone = Missing("gone");
    const struct {
        const char* what;
        std::vector<ResultRow> rows;
        std::vector<std::size_t> shown;
        std::string counts;
    } cases[] = {
        {"some intact", {gone, intact, gone}, {1}, counts(1, 0, 0, 0, 2)},
        {"every file missing", {gone, gone}, {}, counts(0, 0, 0, 0, 2) + "   " + noneVerified},
        {"damaged and unreadable stay",
         {Row("bad", EntryStatus::Damaged, 3, kEmpty), gone,
          Row("locked", EntryStatus::Unreadable)},
         {0, 2},
         counts(0, 1, 0, 1, 1) + "   " + noneVerified},
        {"a path through a file stays",
         {intact, Missing("file.txt/x", ENOTDIR), gone},
         {0, 1},
         counts(1, 0, 1, 0, 1)},
        {"nothing missing", {intact}, {0}, counts(1, 0, 0, 0, 0)},
    };
    for (const auto& c : cases) {
        ManyFilesJob job;
        job.kind = ManyFilesKind::ChecksumList;
        job.paths.resize(c.rows.size());
        ResultsModel model;
        model.Start(job);
        model.Add(c.rows);
        std::vector<std::size_t> all(c.rows.size());
        std::iota(all.begin(), all.end(), 0);
        const std::string shownBefore = model.CountsText(language);
        model.SetHideMissing(true);
        EXPECT_FALSE(model.NoneVerified()) << c.what << ": not while it runs";
        model.Finish(false);
        EXPECT_EQ(model.VisibleRows(), c.shown) << c.what;
        EXPECT_EQ(model.CountsText(language), c.counts) << c.what;
        EXPECT_EQ(model.NoneVerified(), c.counts.ends_with(noneVerified)) << c.what;

        // Unticked, every row and count is back as it was.
        model.SetHideMissing(false);
        EXPECT_EQ(model.VisibleRows(), all) << c.what;
        EXPECT_EQ(model.CountsText(language), shownBefore) << c.what;
        EXPECT_FALSE(model.NoneVerified()) << c.what;
    }
}

TEST_F(Sorting, HiddenMissingFilesStayOutOfTheOrderTheFilterAndTheCopy) {
    model.SortBy(ResultsColumn::Status);
    model.SetHideMissing(true);
    EXPECT_EQ(model.VisibleRows(), (std::vector<std::size_t>{1, 4, 0, 3, 5}));
    model.SetProblemsOnly(true);
    EXPECT_EQ(model.VisibleRows(), (std::vector<std::size_t>{1, 4}));
    model.Add({Missing("late gone"), Row("late bad", EntryStatus::Damaged)});
    EXPECT_EQ(model.VisibleRows(), (std::vector<std::size_t>{1, 7, 4}));
    EXPECT_EQ(model.CopyText(language).find("notes.txt"), std::string::npos);
    model.SetHideMissing(false);
    EXPECT_EQ(model.VisibleRows(), (std::vector<std::size_t>{1, 7, 2, 6, 4}));
}

// A run that passes absent files over itself gives no rows for them; they
// are done all the same, and the count and the bar reach the total.
TEST_F(ResultsModelTest, EntriesTheRunPassedOverCountAsDone) {
    const std::string passedOver = language.GetLabel("modChecksumList", "listPassedOver");
    const std::string noneVerified = language.GetLabel("modChecksumList", "listNoneVerified");
    const struct {
        const char* what;
        std::vector<EntryStatus> rows;
        std::size_t absent;
        std::string counts;
    } cases[] = {
        {"one intact",
         {EntryStatus::Intact},
         3,
         "4/4   " + L("stIntact") + ": 1   " + L("stDamaged") + ": 0   " + L("stMissing") +
             ": 0   " + L("stUnreadable") + ": 0   " + passedOver + " 3"},
        {"every file absent",
         {},
         2,
         "2/2   " + L("stIntact") + ": 0   " + L("stDamaged") + ": 0   " + L("stMissing") +
             ": 0   " + L("stUnreadable") + ": 0   " + passedOver + " 2   " + noneVerified},
    };
    for (const auto& c : cases) {
        ManyFilesJob job = StreamedJob(c.rows.size() + c.absent);
        job.passOverAbsent = true;
        ResultsModel model;
        model.Start(job);
        for (const EntryStatus status : c.rows) model.Add(Row("here", status, 3, kAbc));
        model.PassedOver(c.absent);
        model.SetProgress({3, duration<double>(1)});
        EXPECT_EQ(model.Permille(), 1000) << c.what;
        model.Finish(false);
        EXPECT_EQ(model.CountsText(language), L("lblFiles") + " " + c.counts) << c.what;
        EXPECT_EQ(model.NoneVerified(), c.rows.empty()) << c.what;
    }
}

TEST(NaturalLess, NumbersByValueAndLetterCaseAside) {
    const struct {
        const char* a;
        const char* b;
        bool less;
    } cases[] = {
        {"photo 9", "photo 10", true},
        {"photo 10", "photo 9", false},
        {"a", "B", true},
        {"B", "a", false},
        {"file01", "file1", true},  // equal numbers: the bytes decide
        {"file1", "file01", false},
        {"x", "x", false},
        {"", "a", true},
        {"a2b", "a2a", false},
        {"99999999999999999999999", "100000000000000000000000", true},
        {"z", "\xC5\xBD", true},  // "Ž": bytes beyond ASCII compare as they are
    };
    for (const auto& c : cases) EXPECT_EQ(NaturalLess(c.a, c.b), c.less) << c.a << " < " << c.b;
}

TEST_F(ResultsModelTest, ProgressFollowsTheBytesThroughALargeFile) {
    // Files of a known size: the bytes alone tell the share.
    ManyFilesJob drop;
    drop.paths.resize(202);
    ResultsModel known;
    known.Start(drop);
    known.SetTotalBytes(4'000'000'000);
    std::vector<int> permilles;
    for (const std::uint64_t done : {0ull, 1'000'000'000ull, 3'000'000'000ull}) {
        known.SetProgress({done, duration<double>(2)});
        permilles.push_back(*known.Permille());
    }
    EXPECT_EQ(permilles, (std::vector<int>{0, 250, 750}));
    EXPECT_EQ(known.ProgressCaption(','), " 75 %   3000,0 MB   1500,0 MB/s");

    // A list read as it runs: 99 small files done, the 100th of 2 GiB under
    // way, and the engine already holding 60 small ones after it.
    ResultsModel streamed;
    streamed.Start(StreamedJob(202));
    for (int file = 0; file < 99; ++file) streamed.Taken(3);
    const std::uint64_t large = 2ull << 30;
    streamed.Taken(large);
    for (int file = 0; file < 60; ++file) streamed.Taken(3);
    streamed.Add(std::vector<ResultRow>(99, Row("small", EntryStatus::Intact, 3, kAbc)));
    permilles.clear();
    // The small ones after it may be read already; they wait behind it.
    for (const std::uint64_t read : {std::uint64_t{0}, large / 2, large * 3 / 4, large + 180}) {
        streamed.SetProgress({99 * 3 + read, duration<double>(1)});
        permilles.push_back(*streamed.Permille());
    }
    EXPECT_EQ(permilles, (std::vector<int>{490, 492, 493, 792}));
    EXPECT_TRUE(streamed.CountsText(language).starts_with(L("lblFiles") + " 99/202   "));

    // Sizes learnt late make a lower estimate; the bar does not go back.
    streamed.SetTotalBytes(large * 4);
    streamed.SetProgress({99 * 3 + large + 180, duration<double>(1)});
    EXPECT_EQ(streamed.Permille(), 792);
    streamed.SetProgress({large * 3, duration<double>(1)});
    EXPECT_EQ(streamed.Permille(), 792);
    streamed.SetProgress({large * 7 / 2, duration<double>(1)});
    EXPECT_EQ(streamed.Permille(), 875);

    // Done: full, unless cancelled, which leaves it where it stopped.
    streamed.Finish(true);
    EXPECT_EQ(streamed.Permille(), 875);
    known.Finish(false);
    EXPECT_EQ(known.Permille(), 1000);
}

TEST_F(ResultsModelTest, ARunOfUnknownLengthShowsCountBytesAndSpeedAlone) {
    ResultsModel model;
    model.Start(StreamedJob(0));
    model.Add({Row("a", EntryStatus::Intact, 5, kAbc), Row("b", EntryStatus::Missing)});
    model.SetProgress({2'500'000, duration<double>(2)});
    EXPECT_EQ(model.Permille(), std::nullopt);
    EXPECT_EQ(model.ProgressCaption('.'), "2.5 MB   1.2 MB/s");
    EXPECT_EQ(model.CountsText(language), L("lblFiles") + " 2   " + L("stIntact") + ": 1   " +
                                              L("stDamaged") + ": 0   " + L("stMissing") +
                                              ": 1   " + L("stUnreadable") + ": 0");
}

}  // namespace
}  // namespace vorlix::test
