#include <gtest/gtest.h>

#include "identity/ProductInfo.h"
#include "language/Language.h"
#include "settings/FakeAssociationPlatform.h"
#include "settings/FileAssociation.h"
#include "settings/Options.h"
#include "settings/SettingsStore.h"
#include "support/ScriptedDialogs.h"

namespace vorlix {
namespace {

using test::Message;
using test::Question;

const char* const kDefaultVersion = "1.0.0.22 DB.000022-28.10.2023-13.18.05_VRLX.";
const char* const kAssociationQuestion =
    "Chcete zaregistrovat soubor typu .MD5 pro automatické použití v tomto programu?";

std::string BadRecordsText(int count) {
    return "Nalezeny chybné záznamy konfigurace v registru: " + std::to_string(count) +
           " Prosím proveďte obnovení konfigurace do výchozího nastavení";
}

class OptionsTest : public ::testing::Test {
  protected:
    std::string Stored(const char* key) { return store.Read("Configuration", key); }
    void Store(const char* key, const std::string& value) {
        store.Write("Configuration", key, value);
    }

    void ExpectDefaultsStored() {
        EXPECT_EQ(Stored("VersionProgram"), kDefaultVersion);
        EXPECT_EQ(Stored("Copyright"), ProductInfo::OfThisBuild().companyName);
        EXPECT_EQ(Stored("LastUsedPath"), "/opt/vorlix");
        EXPECT_EQ(Stored("DefaultLanguage"), "1027");
        EXPECT_EQ(Stored("DefaultContentMD5File"), "False");
        EXPECT_EQ(store.Values().size(), 5u);
    }

    // A store as a normal earlier run left it.
    void StoreUsedSettings() {
        Store("VersionProgram", "1.0.0.21 NB.000021-01.01.2023-22.00.00_VRLX.");
        Store("Copyright", "Vorlix Software 2022");
        Store("LastUsedPath", "/home/user/data/archive.zip");
        Store("DefaultLanguage", "1033");
        Store("DefaultContentMD5File", "True");
    }

    const ProgramLocation location = ProgramLocation::FromExecutable("/opt/vorlix/vorlix");
    MemorySettingsStore store;
    test::ScriptedDialogs dialogs;
    test::FakeAssociationPlatform platform;
    Language language{location.LanguagesFolder()};
    FileAssociation association{platform, dialogs, language, location};
    Options options{store, dialogs, association, location};
};

TEST_F(OptionsTest, FirstStartWritesDefaultsSilentlyAndStartsInCzech) {
    EXPECT_EQ(options.RunStartSequence(), 1027);
    ExpectDefaultsStored();
    EXPECT_EQ(options.VersionProgram, kDefaultVersion);
    EXPECT_EQ(options.LastUsedPath, "/opt/vorlix");
    EXPECT_EQ(options.DefaultLanguage, "1027");
    EXPECT_FALSE(options.DefaultContentMD5File);
    EXPECT_TRUE(dialogs.Seen().empty());
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(OptionsTest, UsedStoreIsReadAsItIs) {
    StoreUsedSettings();
    EXPECT_EQ(options.RunStartSequence(), 1033);
    EXPECT_EQ(options.LastUsedPath, "/home/user/data/archive.zip");
    EXPECT_EQ(options.DefaultLanguage, "1033");
    EXPECT_TRUE(options.DefaultContentMD5File);
    EXPECT_EQ(Stored("Copyright"), "Vorlix Software 2022");
    EXPECT_TRUE(dialogs.Seen().empty());
}

TEST_F(OptionsTest, BlankVersionCountsAsFirstStart) {
    StoreUsedSettings();
    Store("VersionProgram", "   ");
    EXPECT_EQ(options.RunStartSequence(), 1027);
    ExpectDefaultsStored();
    EXPECT_TRUE(dialogs.Seen().empty());
}

// Only spaces are trimmed: any other character marks the store as used.
TEST_F(OptionsTest, StoredVersionIsBlankOnlyWhenItHoldsSpaces) {
    const struct {
        const char* stored;
        bool counts;
    } cases[] = {{"", false}, {"   ", false}, {"\t", true}, {" \r\n ", true}, {" 1.0 ", true}};
    for (const auto& c : cases) {
        Store("VersionProgram", c.stored);
        EXPECT_EQ(options.HasStoredVersion(), c.counts) << '"' << c.stored << '"';
        EXPECT_EQ(options.VersionProgram, c.stored);
    }
}

TEST_F(OptionsTest, MissingLanguageRewritesAllDefaults) {
    StoreUsedSettings();
    store.Erase("Configuration", "DefaultLanguage");
    EXPECT_EQ(options.RunStartSequence(), 1027);
    ExpectDefaultsStored();
    EXPECT_EQ(options.LastUsedPath, "/opt/vorlix");
    EXPECT_FALSE(options.DefaultContentMD5File);
    EXPECT_TRUE(dialogs.Seen().empty());
}

TEST_F(OptionsTest, UnreadableLayoutIsReportedAndKeepsThePreviousValue) {
    StoreUsedSettings();
    Store("DefaultContentMD5File", "yes");
    options.RunStartSequence();
    EXPECT_FALSE(options.DefaultContentMD5File);
    EXPECT_EQ(dialogs.Seen(), (std::vector<test::Shown>{Message(
                                  BadRecordsText(1), "Chyba konfigurace", MessageIcon::Stop)}));
    EXPECT_EQ(Stored("DefaultContentMD5File"), "yes");

    options.DefaultContentMD5File = true;
    options.CheckSettings();
    EXPECT_TRUE(options.DefaultContentMD5File);
}

// A language without a pack must not keep the program from ever starting again.
TEST_F(OptionsTest, UnknownLanguageIsReportedAndTheRunStartsInCzech) {
    for (const char* stored : {"1029", "abc", " 1033"}) {
        SCOPED_TRACE(stored);
        dialogs.Clear();
        StoreUsedSettings();
        Store("DefaultLanguage", stored);
        EXPECT_EQ(options.RunStartSequence(), 1027);
        EXPECT_EQ(options.DefaultLanguage, "1027");
        EXPECT_EQ(Stored("DefaultLanguage"), stored);
        EXPECT_EQ(dialogs.Seen(), (std::vector<test::Shown>{Message(
                                      BadRecordsText(1), "Chyba konfigurace", MessageIcon::Stop)}));
    }
}

TEST_F(OptionsTest, BadRecordsAreCountedTogether) {
    StoreUsedSettings();
    Store("DefaultLanguage", "1029");
    Store("DefaultContentMD5File", "");
    options.CheckSettings();
    EXPECT_EQ(dialogs.Messages().at(0).text, BadRecordsText(2));
}

TEST_F(OptionsTest, LayoutTexts) {
    const struct {
        const char* text;
        std::optional<bool> value;
    } cases[] = {
        {"True", true},        {"TRUE", true},        {"false", false},
        {"FaLsE", false},      {"-1", true},          {"0", false},
        {"1", true},           {"2.5", true},         {"0.0", false},
        {"-0", false},         {" True ", true},      {"", std::nullopt},
        {"yes", std::nullopt}, {"1e3", std::nullopt}, {"0x1", std::nullopt},
        {".", std::nullopt},   {"-", std::nullopt},   {"Truee", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseSettingsBoolean(c.text), c.value) << c.text;
}

TEST_F(OptionsTest, CheckOnEmptyStoreOffersTheAssociation) {
    dialogs.ThenAnswer(Answer::Yes);
    options.CheckSettings();
    ExpectDefaultsStored();
    EXPECT_EQ(dialogs.Seen(),
              (std::vector<test::Shown>{Question(kAssociationQuestion, "Dotaz",
                                                 MessageIcon::Question, DefaultButton::Yes)}));
    EXPECT_EQ(platform.calls, std::vector<std::string>{"register md5 /opt/vorlix/vorlix vorlix"});
    EXPECT_EQ(association.ExeFullPath, "/opt/vorlix/vorlix");
    // The copies stay as they were read from the empty store.
    EXPECT_EQ(options.VersionProgram, "");
    EXPECT_EQ(options.DefaultLanguage, "");
    EXPECT_FALSE(options.DefaultContentMD5File);
}

TEST_F(OptionsTest, DecliningTheAssociationRegistersNothing) {
    dialogs.ThenAnswer(Answer::No);
    options.CheckSettings();
    ExpectDefaultsStored();
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(OptionsTest, CommandLineRunsNeverOfferTheAssociation) {
    options.SetAssociationQuestionAllowed(false);
    options.CheckSettings();
    ExpectDefaultsStored();
    EXPECT_TRUE(dialogs.Seen().empty());
    EXPECT_TRUE(platform.calls.empty());
}

// A store that can be neither read nor written is told once; the run goes on
// as a first start would, without asking anything or registering anything.
TEST_F(OptionsTest, BrokenStoreIsReportedOnceAndTheDefaultsHoldInMemory) {
    const std::string broken =
        "Konfiguraci nelze načíst ani uložit (/home/u/.config/Vorlix/vorlix.conf: the file "
        "cannot be read or written). Program pokračuje s výchozím nastavením.";
    StoreUsedSettings();
    store.Break("/home/u/.config/Vorlix/vorlix.conf: the file cannot be read or written");

    EXPECT_EQ(options.RunStartSequence(), 1027);
    EXPECT_EQ(options.VersionProgram, kDefaultVersion);
    EXPECT_EQ(options.LastUsedPath, "/opt/vorlix");
    EXPECT_EQ(options.DefaultLanguage, "1027");
    EXPECT_FALSE(options.DefaultContentMD5File);
    options.StoreLastUsedPath("/home/user/a.iso");
    EXPECT_EQ(options.LastUsedPath, "/home/user/a.iso");
    options.CheckSettings();
    EXPECT_EQ(dialogs.Seen(),
              (std::vector<test::Shown>{Message(broken, "Chyba konfigurace", MessageIcon::Stop)}));
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(OptionsTest, StoreThatFailsOnlyWhenWrittenIsReportedOnce) {
    StoreUsedSettings();
    EXPECT_EQ(options.RunStartSequence(), 1033);
    store.Break("full disk");
    options.StoreLastUsedPath("/home/user/a.iso");
    options.StoreLastUsedPath("/home/user/b.iso");
    EXPECT_EQ(options.LastUsedPath, "/home/user/b.iso");
    ASSERT_EQ(dialogs.Seen().size(), 1u);
    EXPECT_EQ(dialogs.Seen()[0].caption, "Chyba konfigurace");
}

TEST_F(OptionsTest, LastUsedPathIsStoredAtOnce) {
    options.RunStartSequence();
    options.StoreLastUsedPath("/home/user/Čtení/file name.iso");
    EXPECT_EQ(options.LastUsedPath, "/home/user/Čtení/file name.iso");
    EXPECT_EQ(Stored("LastUsedPath"), "/home/user/Čtení/file name.iso");
}

}  // namespace
}  // namespace vorlix
