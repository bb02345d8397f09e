#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "checksum/ManyFiles.h"
#include "support/TempDir.h"

namespace vorlix::test {
namespace {

constexpr const char* kAbc = "900150983cd24fb0d6963f7d28e17f72";    // "abc"
constexpr const char* kEmpty = "d41d8cd98f00b204e9800998ecf8427e";  // ""

// A job whose entries come from a source gives the rows a job of vectors
// gives: same names, paths, outcomes and counts, in the same order.
TEST(ManyFilesTest, ASourceGivesTheRowsOfTheSameEntriesInVectors) {
    TempDir dir;
    ManyFilesJob vectors;
    vectors.kind = ManyFilesKind::ChecksumList;
    vectors.paths = {dir.Write("a", "abc"), dir / "gone", dir.Write("b", ""), dir.Write("c", "x")};
    vectors.names = {"a", "gone", "b", "c"};
    vectors.expected = {kAbc, kAbc, kAbc, std::nullopt};

    ManyFilesJob streamed;
    streamed.kind = vectors.kind;
    streamed.total = vectors.paths.size();
    std::size_t next = 0;
    streamed.source = [&](ManyFilesEntry& entry) {
        if (next == vectors.paths.size()) return false;
        entry = {vectors.names[next], vectors.paths[next], vectors.expected[next]};
        ++next;
        return true;
    };
    EXPECT_EQ(streamed.Count(), 4u);

    std::vector<std::string> handed;
    const ManyFilesOutcome fromVectors = RunManyFiles(vectors);
    const ManyFilesOutcome fromSource =
        RunManyFiles(streamed, [&](const ResultRow& row) { handed.push_back(row.name); });
    EXPECT_EQ(handed, vectors.names);
    ASSERT_EQ(fromSource.rows.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const ResultRow& a = fromVectors.rows[i];
        const ResultRow& b = fromSource.rows[i];
        EXPECT_EQ(a.name, b.name);
        EXPECT_EQ(a.path, b.path);
        EXPECT_EQ(a.status, b.status) << a.name;
        EXPECT_EQ(a.digest, b.digest) << a.name;
    }
    EXPECT_EQ(fromSource.rows[0].status, EntryStatus::Intact);
    EXPECT_EQ(fromSource.rows[1].status, EntryStatus::Missing);
    EXPECT_EQ(fromSource.rows[2].status, EntryStatus::Damaged);
    EXPECT_EQ(fromSource.rows[2].digest, kEmpty);
    EXPECT_EQ(fromSource.rows[3].status, EntryStatus::Digested);
    EXPECT_EQ(fromSource.counts.intact, fromVectors.counts.intact);
    EXPECT_EQ(fromSource.counts.damaged, fromVectors.counts.damaged);
    EXPECT_EQ(fromSource.counts.missing, fromVectors.counts.missing);
    EXPECT_FALSE(fromSource.cancelled);
}

}  // namespace
}  // namespace vorlix::test
