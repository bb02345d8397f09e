#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "update/UpdateFile.h"
#include "update/UpdateFixture.h"

namespace vorlix {
namespace {

using Lines = std::vector<std::string>;

TEST(UpdateFile, SplitsAtCrLfAndKeepsALastPieceWithoutOne) {
    struct Case {
        std::string plain;
        Lines lines;
    };
    const Case cases[] = {
        {"", {""}},
        {"[Update]\r\nProgramToUpdate=1\r\n", {"[Update]", "ProgramToUpdate=1"}},
        {"[Update]\r\nProgramToUpdate=1", {"[Update]", "ProgramToUpdate=1"}},
        {"A\r\n\r\nB\r\n   ", {"A", "", "B", "   "}},  // the padding of the last block
        {"A\nB\rC", {"A\nB\rC"}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitUpdateLines(c.plain), c.lines) << c.plain;
}

TEST(UpdateFile, KeysMatchExactlyAndOnlyInTheirOwnSection) {
    const Lines lines = {
        "ProgramToUpdate=9",  // before any section
        "  [Update]  ",
        "ProgramToUpdate = 3",
        "[ProgramNames]",
        "Program10=Ten",
        "Program1=One",
        " Program2 =\t Two \t ",
        "Program3=a=b",
        "Program3=second",
        "Program4",
        "[UpdateVersionProgram]",
        "VersionFile1=1.0.0.1",
        "Program5=From another section",
        "[ProgramNames] extra",
        "Program6=After a line that is no header",
    };
    struct Case {
        const char* section;
        const char* key;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"Update", "ProgramToUpdate", "3"},
        {"ProgramNames", "Program1", "One"},  // Program10 stands before it
        {"ProgramNames", "Program10", "Ten"},
        {"ProgramNames", "Program2", "\t Two \t"},   // spaces go, tabs stay
        {"ProgramNames", "Program3", "a=b"},         // the first entry counts
        {"ProgramNames", "Program4", std::nullopt},  // no "="
        {"ProgramNames", "Program5", std::nullopt},  // only in a later section
        {"UpdateVersionProgram", "Program1", std::nullopt},
        {"UpdateVersionProgram", "VersionFile1", "1.0.0.1"},
        {"UpdateVersionProgram", "Program6", "After a line that is no header"},
        {"ProgramNames", "Program", std::nullopt},
        {"Missing", "ProgramToUpdate", std::nullopt},
        {"update", "ProgramToUpdate", std::nullopt},  // names keep their case
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindUpdateValue(lines, c.section, c.key), c.value) << c.section << " " << c.key;
}

TEST(UpdateFile, FirstQuestionReadsDeletesAndDeciphersLaterOnesUseMemory) {
    test::TempDir folder;
    const std::string path = folder / "Update.txt";
    UpdateFile file;
    EXPECT_EQ(file.ReadUpdateValue(path, "Update", "ProgramToUpdate"), std::nullopt);
    EXPECT_FALSE(file.Loaded());

    // Only the first line counts.
    folder.Write("Update.txt", test::EncipheredUpdateFile(test::UpdateFileListing("1.2.3.4")) +
                                   "00112233445566778899\r\n");
    EXPECT_EQ(file.ReadUpdateValue(path, "Update", "ProgramToUpdate"), "2");
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(file.ReadUpdateValue(path, "UpdateVersionProgram", "VersionFile2"), "1.2.3.4");
    // A question that finds nothing leaves nothing behind for the next one.
    EXPECT_EQ(file.ReadUpdateValue(path, "Update", "Program2"), std::nullopt);
    EXPECT_EQ(file.ReadUpdateValue(path, "ProgramNames", "Program2"), "Vorlix");

    file.ResetUpdateFile();
    EXPECT_EQ(file.ReadUpdateValue(path, "Update", "ProgramToUpdate"), std::nullopt);
}

TEST(UpdateFile, ContentThatIsNoCipherTextAnswersNothing) {
    test::TempDir folder;
    const std::string path = folder.Write("Update.txt", "<html><body>Not Found</body></html>\n");
    UpdateFile file;
    EXPECT_EQ(file.ReadUpdateValue(path, "Update", "ProgramToUpdate"), std::nullopt);
    EXPECT_TRUE(file.Loaded());
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace vorlix
