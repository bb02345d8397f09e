#include <gtest/gtest.h>

#include <system_error>

#include "language/Language.h"
#include "settings/FakeAssociationPlatform.h"
#include "settings/FileAssociation.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace vorlix {
namespace {

class FileAssociationTest : public ::testing::Test {
  protected:
    test::TempDir folder;
    const ProgramLocation location = ProgramLocation::FromExecutable(folder.Path() / "vorlix");
    test::ScriptedDialogs dialogs;
    test::FakeAssociationPlatform platform;
    Language language{location.LanguagesFolder()};
    FileAssociation association{platform, dialogs, language, location};

    void LoadPack() {
        folder.Write("Languages/1033.xml",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Vorlix_LanguageFile>\n"
                     "<Head><LanguageFileNo>1033</LanguageFileNo></Head>\n"
                     "<modAssociateExtension><msgbox1Text1>Give the extension without a dot."
                     "</msgbox1Text1><msgbox1Text2>File association</msgbox1Text2>"
                     "</modAssociateExtension>\n</Vorlix_LanguageFile>\n");
        ASSERT_TRUE(language.LoadLanguageFile(1033));
    }
};

// What the desktop refused comes back to the caller and is noted for the
// console; nothing is shown.
TEST_F(FileAssociationTest, RegistersAndRemovesUnderTheTypeNameAndPassesFailuresOn) {
    LoadPack();
    platform.failures = {
        {"/home/u/.config/mimeapps.list", std::make_error_code(std::errc::permission_denied), {}},
        {"update-mime-database", {}, "exited with status 1"}};
    EXPECT_EQ(association.AssociateExtension("md5", "/opt/vorlix/vorlix", "vorlix"),
              platform.failures);
    EXPECT_EQ(association.RemoveExtensionAssociation("md5", "vorlix"), platform.failures);
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"register md5 /opt/vorlix/vorlix vorlix",
                                                        "unregister md5 vorlix"}));
    EXPECT_TRUE(dialogs.Seen().empty());
    const std::string denied = "File association: /home/u/.config/mimeapps.list: " +
                               std::make_error_code(std::errc::permission_denied).message();
    const std::string tool = "File association: update-mime-database: exited with status 1";
    EXPECT_EQ(dialogs.Notes(), (std::vector<std::string>{denied, tool, denied, tool}));
}

TEST_F(FileAssociationTest, ExtensionWithADotGetsThePackMessageAndChangesNothing) {
    LoadPack();
    const auto message = test::Message("Give the extension without a dot.", "File association",
                                       MessageIcon::Information);

    association.AssociateExtension(".md5", "/opt/vorlix/vorlix", "vorlix");
    association.RemoveExtensionAssociation("md.5", "vorlix");
    EXPECT_EQ(dialogs.Seen(), (std::vector<test::Shown>{message, message}));
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(FileAssociationTest, AssociatedOnlyWhenTheOpenCommandNamesThisProgramExactly) {
    const std::string self = (folder.Path() / "vorlix").string();
    const struct {
        std::optional<std::string> registered;
        bool associated;
    } cases[] = {
        {self, true},
        {std::nullopt, false},
        {folder.Path().string() + "/Vorlix", false},
        {"/other/vorlix", false},
        {"/x" + self, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.registered.value_or("(none)"));
        platform.openCommands.clear();
        if (c.registered) platform.openCommands["vorlix"] = *c.registered;
        FileAssociation fresh{platform, dialogs, language, location};
        EXPECT_FALSE(fresh.AssociationChecked);
        EXPECT_EQ(fresh.IsExtensionAssociated(), c.associated);
        EXPECT_TRUE(fresh.AssociationChecked);
        EXPECT_EQ(fresh.ExeFullPath, self);
    }
}

TEST_F(FileAssociationTest, TypeNameFollowsTheExecutableName) {
    FileAssociation other{platform, dialogs, language,
                          ProgramLocation::FromExecutable("/opt/tools/Other.bin")};
    EXPECT_EQ(other.TypeName(), "Other");
    platform.openCommands["Other"] = "/opt/tools/Other.bin";
    EXPECT_TRUE(other.IsExtensionAssociated());
}

TEST(ExecutableFullPathTest, OneSeparatorBetweenFolderAndName) {
    EXPECT_EQ(ExecutableFullPath(ProgramLocation::FromExecutable("/vorlix")), "/vorlix");
    EXPECT_EQ(ExecutableFullPath(ProgramLocation::FromExecutable("/opt/My Tools/vorlix")),
              "/opt/My Tools/vorlix");
}

}  // namespace
}  // namespace vorlix
