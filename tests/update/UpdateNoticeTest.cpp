#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "language/Language.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "update/UpdateFile.h"
#include "update/UpdateFixture.h"
#include "update/UpdateNotice.h"

namespace vorlix {
namespace {

using test::Message;
using test::Shown;

TEST(VersionText, FourNumbersFrom0To32767OrInvalid) {
    EXPECT_EQ(DecompositionVerStr("1.0.0.22"), (VersionNumbers{1, 0, 0, 22}));
    EXPECT_EQ(DecompositionVerStr("01.0.0.022"), (VersionNumbers{1, 0, 0, 22}));
    EXPECT_EQ(DecompositionVerStr("32767.0.0.0"), (VersionNumbers{32767, 0, 0, 0}));
    for (const char* invalid : {"", "1.0.0", "1.0.0.22.5", "1..0.22", "1.0.0.", ".1.0.0", "1.0.0.a",
                                "1.0.0.32768", "1.0.0.-1", "+1.0.0.2", " 1.0.0.22", "1.0.0.22 ",
                                "1.0.0.99999999999999999999", "1,0,0,22", "١.0.0.22"}) {
        EXPECT_EQ(DecompositionVerStr(invalid), std::nullopt) << invalid;
    }
}

const std::string kW2 =
    " je vyšší než veřejně publikovaná na Webu. Program je testovací ALFA verze a může obsahovat "
    "chyby.\r\nProsím stáhněte si Stable verzi programu na Webu https://www.vorlix.net/";

Shown Warning(const std::string& number, const std::string& title) {
    return Message("Zachycena neshoda ve vezích programů, hodnota " + number + kW2, title,
                   MessageIcon::Stop);
}

TEST(VersionComparison, ComparesAsOneNumberAndWarnsOnceWhenRunningIsNewer) {
    struct Case {
        const char* running;
        const char* published;
        bool newer, critical, same;
        std::vector<Shown> warnings;
    };
    const std::vector<Case> cases = {
        {"1.0.0.22", "1.0.0.23", false, true, false, {}},
        {"1.0.0.22", "1.1.0.0", false, false, false, {}},
        {"1.0.0.22", "1.1.0.22", false, false, false, {}},
        {"1.5.0.0", "2.0.0.0", false, false, false, {}},
        {"1.0.0.22", "01.0.0.22", false, false, true, {}},
        {"1.0.0.22", "1.0.0.21", true, false, false, {Warning("Build", "Neshoda verzí")}},
        {"2.0.0.0", "1.9.9.9", true, false, false, {Warning("Major", "Varování")}},
        {"1.5.0.0", "1.4.9.9", true, false, false, {Warning("Minor", "Varování")}},
        {"1.0.3.0", "1.0.2.99", true, false, false, {Warning("Low", "Varování")}},
        {"1.0.0",
         "1.0.0.22",
         true,
         false,
         false,
         {Message("Vstupní informace ThisProgVer není platná, proces přerušen.",
                  "Chyba vstupních dat", MessageIcon::Stop)}},
        {"1.0.0.22",
         "1.0.x.22",
         true,
         false,
         false,
         {Message("Vstupní informace PublicProgVer není platná, proces přerušen.",
                  "Chyba vstupních dat", MessageIcon::Stop)}},
    };
    for (const Case& c : cases) {
        test::ScriptedDialogs dialogs;
        const VersionComparison result = CompareVersions(dialogs, c.running, c.published);
        EXPECT_EQ(result.NewerThanPublished, c.newer) << c.running << " " << c.published;
        EXPECT_EQ(result.CriticalUpdate, c.critical) << c.running << " " << c.published;
        EXPECT_EQ(result.SameVersion, c.same) << c.running << " " << c.published;
        EXPECT_EQ(dialogs.Seen(), c.warnings) << c.running << " " << c.published;
    }
}

class UpdateNoticeTest : public ::testing::Test {
  protected:
    UpdateNoticeTest() : language(VORLIX_SOURCE_PACKS) { language.LoadLanguageFile(1033); }

    UpdateNotice Notice(const std::string& plain, const std::string& running = "1.0.0.22") {
        folder.Write("Update.txt", test::EncipheredUpdateFile(plain));
        UpdateFile file;
        return GetUpdateNotice(
            dialogs, language, file, path, [this] { ++unloads; }, running);
    }
    std::string Label(const char* key) { return language.GetLabel("modAvizo_v4", key); }
    Shown NotListed() {
        return Message(Label("txtRecordNotFound1") + " Vorlix " + Label("txtRecordNotFound2"),
                       language.GetLabel("Generic", "CaptionInformation"), MessageIcon::Stop);
    }

    test::ScriptedDialogs dialogs;
    Language language;
    test::TempDir folder;
    std::string path = folder / "Update.txt";
    int unloads = 0;
};

TEST_F(UpdateNoticeTest, NoticesForTheSameAndForNewerVersions) {
    UpdateNotice notice = Notice(test::UpdateFileListing("1.0.0.22"));
    EXPECT_EQ(notice.text, Label("txtActualVersion"));
    EXPECT_EQ(notice.outcome, UpdateOutcome::UpToDate);
    EXPECT_EQ(unloads, 0);
    EXPECT_FALSE(std::filesystem::exists(path));

    notice = Notice(test::UpdateFileListing("1.0.0.23"));
    EXPECT_EQ(notice.text,
              Label("txtNewVersionAvailable") + " 1.0.0.23 - " + Label("txtCriticalUpdate"));
    EXPECT_EQ(notice.outcome, UpdateOutcome::NewerPublished);
    EXPECT_EQ(unloads, 1);

    notice = Notice(test::UpdateFileListing("1.1.0.0"));
    EXPECT_EQ(notice.text,
              Label("txtNewVersionAvailable") + " 1.1.0.0 - " + Label("txtMainUpgrade"));

    notice = Notice(test::UpdateFileListing("2.0.0.0"), "1.5.0.0");
    EXPECT_EQ(notice.text,
              Label("txtNewVersionAvailable") + " 2.0.0.0 - " + Label("txtMainUpgrade"));

    notice = Notice(test::UpdateFileListing("01.0.0.22"));
    EXPECT_EQ(notice.text, Label("txtActualVersion"));
    EXPECT_TRUE(dialogs.Seen().empty());
}

TEST_F(UpdateNoticeTest, RunningNewerWarnsOnceAndShowsNoNotice) {
    const UpdateNotice notice = Notice(test::UpdateFileListing("1.0.0.21"));
    EXPECT_EQ(notice.text, "");
    EXPECT_EQ(notice.outcome, UpdateOutcome::RunningNewer);
    EXPECT_EQ(dialogs.Seen(), std::vector<Shown>{Warning("Build", "Neshoda verzí")});
    EXPECT_EQ(unloads, 1);
}

TEST_F(UpdateNoticeTest, AProgramThatIsNotListedIsToldSo) {
    const std::string vorlixSecond =
        "[Update]\nProgramToUpdate=2\n[ProgramNames]\nProgram1=Other\nProgram2=Vorlix\n"
        "[UpdateVersionProgram]\nVersionFile1=1.0.0.0\n";
    for (const std::string& plain : {
             std::string("[Update]\nProgramToUpdate=1\n[ProgramNames]\nProgram1=vorlix\n"
                         "[UpdateVersionProgram]\nVersionFile1=9.0.0.0\n"),
             std::string("[Update]\n[ProgramNames]\nProgram1=Vorlix\n[UpdateVersionProgram]"
                         "\nVersionFile1=9.0.0.0\n"),
             std::string("[Update]\nProgramToUpdate=many\n[ProgramNames]\nProgram1=Vorlix\n"),
             std::string("[Update]\nProgramToUpdate=1\n[ProgramNames]\nProgram1=Vorlix\n"
                         "[UpdateVersionProgram]\nVersionFile1=\n"),
             vorlixSecond,  // its version entry is missing
             std::string("[Update]\nProgramToUpdate=2\n[ProgramNames]\nProgram10=Vorlix\n"),
         }) {
        dialogs.Clear();
        unloads = 0;
        const UpdateNotice notice = Notice(plain);
        EXPECT_EQ(notice.text, "") << plain;
        EXPECT_EQ(notice.outcome, UpdateOutcome::NotListed) << plain;
        EXPECT_EQ(dialogs.Seen(), std::vector<Shown>{NotListed()}) << plain;
        EXPECT_EQ(unloads, 1) << plain;
    }
}

TEST_F(UpdateNoticeTest, AnInvalidPublishedVersionIsToldAndEndsTheCheck) {
    const UpdateNotice notice = Notice(test::UpdateFileListing("1.0.0.22 beta"));
    EXPECT_EQ(notice.text, "");
    EXPECT_EQ(notice.outcome, UpdateOutcome::InvalidVersion);
    EXPECT_EQ(dialogs.Seen(), std::vector<Shown>{Message(
                                  "Vstupní informace PublicProgVer není platná, proces přerušen.",
                                  "Chyba vstupních dat", MessageIcon::Stop)});
    EXPECT_EQ(ExitStatusOf(notice.outcome), 2);
}

}  // namespace
}  // namespace vorlix
