#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/Startup.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "ui/EmergencyHelp.h"
#include "ui/EndProgram.h"
#include "util/ProgramLocation.h"

namespace vorlix {
namespace {

using test::Message;
using test::ScriptedDialogs;
using test::Shown;
using test::TempDir;

namespace fs = std::filesystem;

// A program folder with copies of the shipped packs in its "Languages".
class StartupTest : public ::testing::Test {
  protected:
    StartupTest() {
        fs::create_directory(dir_.Path() / "Languages");
        RestorePacks();
    }

    void RestorePacks() {
        for (const char* pack : {"1027.xml", "1033.xml"}) {
            fs::remove_all(Pack(pack));
            fs::copy_file(fs::path(VORLIX_SOURCE_PACKS) / pack, Pack(pack));
        }
        dialogs_.Clear();
    }

    fs::path Pack(const std::string& name) const { return dir_.Path() / "Languages" / name; }

    int CheckEnds() {
        try {
            CheckLanguagePacks(dialogs_, dir_.Path());
        } catch (const ProgramEnded& ended) {
            return ended.status;
        }
        ADD_FAILURE() << "the check did not end the program";
        return -1;
    }

    TempDir dir_;
    ScriptedDialogs dialogs_;
};

Shown Missing(const std::string& text) { return Message(text, "Error", MessageIcon::Stop); }
Shown Warning(const std::string& text) {
    return Message(text, "Warning", MessageIcon::Information);
}

const Shown kCzechMissing =
    Missing("No language pack 1027.xml found, the programme cannot continue.");
const Shown kEnglishMissing =
    Missing("No language pack 1033.xml found, the programme cannot continue");
const Shown kCzechLength = Warning("File length 1027.XML does not match, reinstall program!");
const Shown kEnglishLength = Warning("File length 1033.XML does not match, reinstall program!");
const Shown kCzechDigest = Warning("MD5 of file 1027.XML does not match, reinstall program!");
const Shown kEnglishDigest = Warning("MD5 of file 1033.XML does not match, reinstall program!");

TEST_F(StartupTest, ShippedPacksPassSilently) {
    CheckLanguagePacks(dialogs_, dir_.Path());
    EXPECT_TRUE(dialogs_.Seen().empty());
}

TEST_F(StartupTest, MissingPackEndsTheProgram) {
    struct Case {
        std::vector<const char*> removed;
        Shown message;
    };
    const Case cases[] = {
        {{"1027.xml", "1033.xml"}, kCzechMissing},  // the English pack is not looked at
        {{"1027.xml"}, kCzechMissing},
        {{"1033.xml"}, kEnglishMissing},
    };
    for (const Case& c : cases) {
        RestorePacks();
        for (const char* pack : c.removed) fs::remove(Pack(pack));
        EXPECT_EQ(CheckEnds(), kExitFatal);
        EXPECT_EQ(dialogs_.Seen(), std::vector<Shown>{c.message});
    }
    // A folder in the pack's place is no pack.
    RestorePacks();
    fs::remove(Pack("1033.xml"));
    fs::create_directory(Pack("1033.xml"));
    EXPECT_EQ(CheckEnds(), kExitFatal);
    EXPECT_EQ(dialogs_.Seen(), std::vector<Shown>{kEnglishMissing});
}

TEST_F(StartupTest, AlteredPacksWarnInTableOrderAndGoOn) {
    const auto append = [this](const char* pack) {
        std::ofstream(Pack(pack), std::ios::app) << "\n";
    };
    // Same length, one byte different.
    const auto flipByte = [this](const char* pack) {
        std::fstream file(Pack(pack), std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(-2, std::ios::end);
        file.put('!');
    };

    append("1027.xml");
    CheckLanguagePacks(dialogs_, dir_.Path());
    EXPECT_EQ(dialogs_.Seen(), (std::vector<Shown>{kCzechLength, kCzechDigest}));

    dialogs_.Clear();
    append("1033.xml");
    CheckLanguagePacks(dialogs_, dir_.Path());
    EXPECT_EQ(dialogs_.Seen(),
              (std::vector<Shown>{kCzechLength, kEnglishLength, kCzechDigest, kEnglishDigest}));

    RestorePacks();
    flipByte("1033.xml");
    CheckLanguagePacks(dialogs_, dir_.Path());
    EXPECT_EQ(dialogs_.Seen(), std::vector<Shown>{kEnglishDigest});
}

// An installed program lives in bin/ and finds its packs in share/vorlix/;
// packs beside the executable still come first.
TEST(StartupLayoutTest, PacksBesideTheProgramFirstThenTheInstalledFolder) {
    TempDir root;
    ScriptedDialogs dialogs;
    const fs::path bin = root.Path() / "bin";
    const fs::path installed = root.Path() / "share" / "vorlix" / "Languages";
    fs::create_directories(bin);
    EXPECT_EQ(LanguagesFolderOf(bin), bin / "Languages");
    EXPECT_THROW(CheckLanguagePacks(dialogs, bin), ProgramEnded);
    EXPECT_EQ(dialogs.Seen(), std::vector<Shown>{kCzechMissing});

    fs::create_directories(installed);
    for (const char* pack : {"1027.xml", "1033.xml"}) {
        fs::copy_file(fs::path(VORLIX_SOURCE_PACKS) / pack, installed / pack);
    }
    EXPECT_EQ(LanguagesFolderOf(bin), installed);
    EXPECT_EQ(ProgramLocation::FromExecutable(bin / "vorlix").LanguagesFolder(), installed);
    dialogs.Clear();
    CheckLanguagePacks(dialogs, bin);
    EXPECT_TRUE(dialogs.Seen().empty());

    // The same messages name the same files in the installed layout.
    fs::remove(installed / "1033.xml");
    EXPECT_THROW(CheckLanguagePacks(dialogs, bin), ProgramEnded);
    EXPECT_EQ(dialogs.Seen(), std::vector<Shown>{kEnglishMissing});

    // A "Languages" folder beside the program wins, even an incomplete one.
    fs::create_directories(bin / "Languages");
    fs::copy_file(fs::path(VORLIX_SOURCE_PACKS) / "1033.xml", installed / "1033.xml");
    dialogs.Clear();
    EXPECT_EQ(LanguagesFolderOf(bin), bin / "Languages");
    EXPECT_THROW(CheckLanguagePacks(dialogs, bin), ProgramEnded);
    EXPECT_EQ(dialogs.Seen(), std::vector<Shown>{kCzechMissing});
}

TEST(EmergencyHelpTest, ShowsTheFixedEnglishTexts) {
    ScriptedDialogs dialogs;
    ShowEmergencyHelp(dialogs);
    EXPECT_EQ(dialogs.Seen(), std::vector<Shown>{test::EmergencyHelp()});
}

}  // namespace
}  // namespace vorlix
