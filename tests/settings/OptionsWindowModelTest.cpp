#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "app/Startup.h"
#include "identity/Version.h"
#include "language/Language.h"
#include "language/LanguageSwitch.h"
#include "settings/FakeAssociationPlatform.h"
#include "settings/FileAssociation.h"
#include "settings/Options.h"
#include "settings/OptionsWindowModel.h"
#include "settings/SettingsStore.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "ui/EndProgram.h"

namespace vorlix {
namespace {

using test::Message;

// The window as the user meets it: shown, centred, closed again.
struct RecordingView final : OptionsWindowView {
    void CentreOnScreen() override { ++centred; }
    void Unload() override { ++unloaded; }
    int centred = 0;
    int unloaded = 0;
};

// One run of the program, installed where the shipped packs lie, that has
// come through its start in the stored language.
class OptionsWindowStory : public ::testing::Test {
  protected:
    explicit OptionsWindowStory(
        std::filesystem::path packs = std::filesystem::path(VORLIX_SOURCE_PACKS))
        : location(ProgramLocation::FromExecutable(packs.parent_path() / "vorlix")) {}

    void Store(const char* key, const std::string& value) {
        store.Write("Configuration", key, value);
    }
    std::string Stored(const char* key) { return store.Read("Configuration", key); }

    // A store that an earlier run left, then the start.
    void Start(const std::string& language, const std::string& standardLayout) {
        Store("VersionProgram", "1.0.0.21 NB.000021-01.01.2023-22.00.00_VRLX.");
        Store("Copyright", "Vorlix Software 2022");
        Store("LastUsedPath", "/home/user/data/archive.zip");
        Store("DefaultLanguage", language);
        Store("DefaultContentMD5File", standardLayout);
        languages.ApplyLanguage(options.RunStartSequence());
        dialogs.Clear();
    }

    void RegisterThisProgram() { platform.openCommands["vorlix"] = ExeFullPath(); }
    std::string ExeFullPath() const { return (location.folder / "vorlix").string(); }

    OptionsWindowModel& Open() {
        window.emplace(OptionsWindowServices{language, languages, options, association,
                                             [this] { ++mainWindowRelabelled; }});
        window->SetView(&view);
        window->Form_Load();
        return *window;
    }
    const OptionsWindowState& Shown() const { return window->State(); }

    const ProgramLocation location;
    MemorySettingsStore store;
    test::ScriptedDialogs dialogs;
    test::FakeAssociationPlatform platform;
    Language language{location.LanguagesFolder(), EndOnPackFailure(dialogs)};
    LanguageSwitch languages{language};
    FileAssociation association{platform, dialogs, language, location};
    Options options{store, dialogs, association, location};
    int mainWindowRelabelled = 0;
    RecordingView view;
    std::optional<OptionsWindowModel> window;
};

TEST_F(OptionsWindowStory, OpeningWithEnglishInForceMakesItTheDefaultInMemory) {
    Start("1027", "True");
    languages.ApplyLanguage(kEnglish);  // a flag click: the store stays Czech
    RegisterThisProgram();

    Open();
    EXPECT_EQ(view.centred, 1);
    EXPECT_EQ(Shown().cobSelectLanguageIndex, 1);
    EXPECT_EQ(options.DefaultLanguage, "1033");
    EXPECT_EQ(Stored("DefaultLanguage"), "1027");
    EXPECT_EQ(languages.CurrentLanguage(), kEnglish);
    EXPECT_EQ(mainWindowRelabelled, 1);  // the language in force was applied once more
    EXPECT_TRUE(Shown().chckAssociateTicked);
    EXPECT_TRUE(Shown().chkCreateStandardFileTicked);
    EXPECT_TRUE(Shown().cmdOKEnabled);
    EXPECT_TRUE(Shown().cmdCancelEnabled);
    EXPECT_TRUE(Shown().cmdApplyEnabled);
    EXPECT_TRUE(dialogs.Seen().empty());
    EXPECT_TRUE(platform.calls.empty());

    // The pack's captions, except those that keep their built-in texts.
    EXPECT_EQ(Shown().Caption, "Options");
    EXPECT_EQ(Shown().framMainConfiguration, "Main configuration");
    EXPECT_TRUE(Shown().framMainConfigurationVisible);
    EXPECT_EQ(Shown().lblDefaultLanguage, "Default language");
    EXPECT_EQ(Shown().lbxOptionsMenu, std::vector<std::string>{"Settings"});
    EXPECT_EQ(Shown().lbxOptionsMenuIndex, -1);
    EXPECT_EQ(Shown().chkCreateStandardFile, "Create standard MD5 files");
    EXPECT_EQ(Shown().chckAssociate, "Open files with the .MD5 extension in this program");
    EXPECT_EQ(Shown().cmdCancel, "&Cancel");
    EXPECT_EQ(Shown().cmdApply, "&Apply");
    EXPECT_EQ(Shown().cmdDefaultSave, "&Defaults");
    EXPECT_EQ(Shown().cmdOK, "&OK");
    EXPECT_EQ(Shown().cobSelectLanguage, (std::vector<std::string>{"Čeština", "English"}));
    EXPECT_EQ(Shown().lblStandardFormat, "Formát: MD5Code *FileName");
}

TEST_F(OptionsWindowStory, AssociationBoxShowsWhetherTheOpenCommandNamesThisProgram) {
    Start("1027", "False");
    const struct {
        std::optional<std::string> openCommand;
        bool ticked;
    } cases[] = {
        {std::nullopt, false},
        {ExeFullPath(), true},
        {"/usr/bin/vorlix", false},
        {ExeFullPath() + "-old", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.openCommand.value_or("(none)"));
        platform.openCommands.clear();
        if (c.openCommand) platform.openCommands["vorlix"] = *c.openCommand;
        Open();
        EXPECT_EQ(Shown().chckAssociateTicked, c.ticked);
        EXPECT_TRUE(association.AssociationChecked);
        EXPECT_EQ(association.ExeFullPath, ExeFullPath());
    }
}

TEST_F(OptionsWindowStory, ChoosingEnglishRelabelsBothWindowsAtOnceAndCancelKeepsIt) {
    Start("1027", "False");
    Open();
    EXPECT_EQ(Shown().Caption, "Nastavení");
    EXPECT_EQ(Shown().cmdCancel, "&Storno");
    window->cmdApply_Click();
    EXPECT_FALSE(Shown().cmdCancelEnabled);
    const int relabelledBefore = mainWindowRelabelled;

    window->SetLanguageIndex(1);
    EXPECT_EQ(languages.CurrentLanguage(), kEnglish);
    EXPECT_EQ(mainWindowRelabelled, relabelledBefore + 1);
    EXPECT_EQ(Shown().Caption, "Options");
    EXPECT_EQ(Shown().cmdCancel, "&Cancel");
    EXPECT_EQ(Shown().cmdOK, "&OK");
    EXPECT_EQ(Shown().cobSelectLanguageIndex, 1);
    EXPECT_TRUE(Shown().cmdCancelEnabled);
    EXPECT_TRUE(Shown().cmdApplyEnabled);
    EXPECT_EQ(options.DefaultLanguage, "1033");

    // Choosing the entry that is chosen already does nothing.
    window->SetLanguageIndex(1);
    EXPECT_EQ(mainWindowRelabelled, relabelledBefore + 1);

    window->cmdCancel_Click();
    EXPECT_TRUE(Shown().Closed);
    EXPECT_EQ(view.unloaded, 1);
    EXPECT_EQ(languages.CurrentLanguage(), kEnglish);
    EXPECT_EQ(options.DefaultLanguage, "1033");
    EXPECT_EQ(Stored("DefaultLanguage"), "1027");
}

TEST_F(OptionsWindowStory, CancelKeepsTheLayoutTickInMemoryOnly) {
    Start("1027", "False");
    Open();
    window->SetStandardFileTicked(true);
    EXPECT_TRUE(options.DefaultContentMD5File);
    window->Form_CloseBox();
    EXPECT_EQ(view.unloaded, 1);
    EXPECT_EQ(Stored("DefaultContentMD5File"), "False");
    EXPECT_EQ(Stored("VersionProgram"), "1.0.0.21 NB.000021-01.01.2023-22.00.00_VRLX.");
    EXPECT_TRUE(options.DefaultContentMD5File);  // checksum files of this run use it
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(OptionsWindowStory, ApplyWritesTheStoreAndDisablesApplyAndCancel) {
    Start("1033", "True");
    Open();
    window->SetStandardFileTicked(false);
    window->cmdApply_Click();
    EXPECT_EQ(Stored("VersionProgram"), VersionString() + " " + BuildString());
    EXPECT_EQ(Stored("DefaultLanguage"), "1033");
    EXPECT_EQ(Stored("DefaultContentMD5File"), "False");
    EXPECT_EQ(platform.calls, std::vector<std::string>{"unregister md5 vorlix"});
    EXPECT_FALSE(Shown().cmdApplyEnabled);
    EXPECT_FALSE(Shown().cmdCancelEnabled);
    EXPECT_TRUE(Shown().cmdOKEnabled);
    EXPECT_FALSE(Shown().Closed);

    // The layout box leaves the buttons alone; the association box enables them.
    window->SetStandardFileTicked(true);
    EXPECT_FALSE(Shown().cmdApplyEnabled);
    window->SetAssociateTicked(true);
    EXPECT_TRUE(Shown().cmdApplyEnabled);
    EXPECT_TRUE(Shown().cmdCancelEnabled);
    window->cmdApply_Click();
    EXPECT_EQ(platform.calls,
              (std::vector<std::string>{"unregister md5 vorlix",
                                        "register md5 " + ExeFullPath() + " vorlix"}));
    EXPECT_EQ(Stored("DefaultContentMD5File"), "True");
    EXPECT_TRUE(dialogs.Seen().empty());
}

// The digests beside MD5 and the folder files' digest: read from the store
// (an older store without them holds the defaults, one it cannot read too),
// in force when chosen, stored by Apply and back to MD5 alone by Default.
TEST_F(OptionsWindowStory, DigestChoicesAreStoredAndGoBackToTheDefaults) {
    Store("AlsoCompute", "sha512, nonsense,MD5,sha256");
    Store("FolderDigest", "sha3");
    Start("1033", "True");
    EXPECT_EQ(options.AlsoCompute, DigestSet(DigestAlgorithm::Sha256).Add(DigestAlgorithm::Sha512));
    EXPECT_EQ(options.FolderDigest, DigestAlgorithm::Md5);
    Open();
    EXPECT_EQ(Shown().chkAlsoComputeTicked, (std::vector<bool>{false, true, true, false}));
    EXPECT_EQ(Shown().lblAlsoCompute, language.GetLabel("frmOptions", "LabelAlsoCompute"));

    window->SetAlsoComputeTicked(0, true);
    window->SetAlsoComputeTicked(2, false);
    window->SetFolderDigestIndex(static_cast<int>(DigestAlgorithm::Blake2b));
    EXPECT_EQ(options.AlsoCompute, DigestSet(DigestAlgorithm::Sha1).Add(DigestAlgorithm::Sha256));
    EXPECT_EQ(options.FolderDigest, DigestAlgorithm::Blake2b);
    window->cmdApply_Click();
    EXPECT_EQ(Stored("AlsoCompute"), "sha1,sha256");
    EXPECT_EQ(Stored("FolderDigest"), "blake2b");

    window->cmdDefaultSave_Click();
    EXPECT_TRUE(options.AlsoCompute.Empty());
    EXPECT_EQ(options.FolderDigest, DigestAlgorithm::Md5);
    EXPECT_EQ(Shown().chkAlsoComputeTicked, (std::vector<bool>(4, false)));
    EXPECT_EQ(Shown().cobFolderDigestIndex, 0);
    EXPECT_TRUE(dialogs.Seen().empty()) << "a value not understood is no bad record";
}

TEST_F(OptionsWindowStory, OkSetsOrRemovesTheAssociationAsTheBoxShowsEvenUntouched) {
    Start("1027", "False");
    for (const bool registered : {false, true}) {
        SCOPED_TRACE(registered);
        platform.openCommands.clear();
        platform.calls.clear();
        if (registered) RegisterThisProgram();
        Open();
        window->cmdOK_Click();
        EXPECT_TRUE(Shown().Closed);
        EXPECT_EQ(platform.calls,
                  std::vector<std::string>{registered ? "register md5 " + ExeFullPath() + " vorlix"
                                                      : "unregister md5 vorlix"});
    }
}

TEST_F(OptionsWindowStory, DefaultThenOkStoresCzechAndSectionedWhateverTheControlsShow) {
    Start("1033", "yes");  // an unreadable layout, reported at start
    RegisterThisProgram();
    Open();
    EXPECT_EQ(dialogs.Messages().size(), 1u);  // and once more when the window opens
    dialogs.Clear();
    window->SetStandardFileTicked(true);

    window->cmdDefaultSave_Click();
    EXPECT_EQ(Stored("DefaultLanguage"), "1027");
    EXPECT_EQ(Stored("DefaultContentMD5File"), "False");
    EXPECT_EQ(Stored("LastUsedPath"), location.folder.string());
    EXPECT_EQ(Shown().cobSelectLanguageIndex, 1);
    EXPECT_TRUE(Shown().chkCreateStandardFileTicked);
    EXPECT_EQ(Shown().Caption, "Options");
    EXPECT_EQ(languages.CurrentLanguage(), kEnglish);
    EXPECT_TRUE(dialogs.Seen().empty());  // the defaults read cleanly

    window->cmdOK_Click();
    EXPECT_EQ(Stored("DefaultLanguage"), "1027");
    EXPECT_EQ(Stored("DefaultContentMD5File"), "False");
    EXPECT_EQ(platform.calls,
              std::vector<std::string>{"register md5 " + ExeFullPath() + " vorlix"});
    EXPECT_EQ(languages.CurrentLanguage(), kEnglish);
}

// A pack whose own identifier is neither of ours.
class ForeignPackStory : public OptionsWindowStory {
  protected:
    ForeignPackStory() : OptionsWindowStory(WriteForeignPacks()) {}

    static std::filesystem::path WriteForeignPacks() {
        static test::TempDir folder;
        const auto packs = folder.Path() / "Languages";
        std::filesystem::create_directories(packs);
        std::string text = test::ReadAll(std::filesystem::path(VORLIX_SOURCE_PACKS) / "1027.xml");
        text.replace(text.find("<LanguageFileNo>1027<"), 21, "<LanguageFileNo>1029<");
        folder.Write("Languages/1027.xml", text);
        return packs;
    }
};

TEST_F(ForeignPackStory, OpeningEndsTheProgramWithoutAMessage) {
    Start("1027", "False");
    try {
        Open();
        FAIL() << "the window opened";
    } catch (const ProgramEnded& ended) {
        EXPECT_EQ(ended.status, kExitFatal);
    }
    EXPECT_TRUE(dialogs.Seen().empty());
    EXPECT_EQ(Stored("DefaultLanguage"), "1027");
}

}  // namespace
}  // namespace vorlix
