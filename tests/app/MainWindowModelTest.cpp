#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/MainWindowModel.h"
#include "app/ProgramFixture.h"
#include "digest/Hasher.h"
#include "update/UpdateFixture.h"
#include "util/FileExists.h"

namespace vorlix {
namespace {

using test::Message;
using test::ProgramFixture;
using test::Question;

constexpr const char* kAbcDigest = "900150983cd24fb0d6963f7d28e17f72";

class MainWindowStory : public ::testing::Test {
  protected:
    std::string Label(const char* section, const char* key) {
        return fixture.program->language.GetLabel(section, key);
    }
    MainWindowModel& Window() { return fixture.Window(); }
    const MainWindowState& State() { return fixture.Window().State(); }

    ProgramFixture fixture;
};

TEST_F(MainWindowStory, FirstStartWritesTheDefaultsSilentlyAndShowsCzech) {
    fixture.Start();
    EXPECT_EQ(fixture.Load({}), std::nullopt);

    EXPECT_TRUE(fixture.dialogs.Seen().empty());
    EXPECT_EQ(fixture.store.Values().size(), 5u);
    EXPECT_EQ(fixture.store.Read("Configuration", "DefaultLanguage"), "1027");
    EXPECT_EQ(fixture.program->languages.CurrentLanguage(), 1027);
    EXPECT_EQ(State().labels.cmndCalculate, Label("frmVorlix", "cmndCalculate"));
    EXPECT_EQ(State().labels.lblFileSource, Label("frmVorlix", "lblFileSource") + ":");
    EXPECT_EQ(State().labels.cmdEndProgram, Label("Generic", "ButtonExitCaption"));
    EXPECT_EQ(State().labels.mnuAbout_About, Label("MainMenu", "mnuAbout_About"));
    EXPECT_FALSE(State().cmndCalculateEnabled);
    EXPECT_FALSE(State().cndSaveMD5FileEnabled);
    EXPECT_FALSE(State().cmdEndProgramVisible);
    EXPECT_EQ(State().lblVersionInfo,
              "Vorlix, ver.1.0.0.22, build DB.000022-28.10.2023-13.18.05_VRLX.");
    EXPECT_NE(State().onLineHelpUrl.find("/1.0.0.22/"), std::string::npos);
}

TEST_F(MainWindowStory, StoredEnglishStartsInEnglish) {
    fixture.Start();
    fixture.program->options.WriteDefaultSettings();
    fixture.store.Write("Configuration", "DefaultLanguage", "1033");
    EXPECT_EQ(fixture.Load({}), std::nullopt);
    EXPECT_EQ(fixture.program->languages.CurrentLanguage(), 1033);
    EXPECT_EQ(Label("Head", "LanguageFileNo"), "1033");
    EXPECT_EQ(State().labels.cmndCalculate, Label("frmVorlix", "cmndCalculate"));
}

TEST_F(MainWindowStory, ChoosingAFileEmptiesTheResultsAndSetsTheButtons) {
    const std::string file = fixture.root.Write("data/abc.txt", "abc");
    fixture.Start();
    fixture.Load({});
    Window().txtPathAndFileName_Change(file);
    Window().CalculateDigest();
    ASSERT_TRUE(State().cndSaveMD5FileEnabled);

    fixture.dialogs.ThenChooseFile(file);
    Window().cmdSelectFile_Click();
    EXPECT_EQ(State().txtPathAndFileName, file);
    EXPECT_EQ(State().txtMD5Result, "");
    EXPECT_EQ(State().txtFileSize, "");
    EXPECT_EQ(State().txtTimeOperate, "");
    EXPECT_TRUE(State().cmndCalculateEnabled);
    EXPECT_FALSE(State().cndSaveMD5FileEnabled);
    EXPECT_EQ(fixture.store.Read("Configuration", "LastUsedPath"), file);

    const auto& dialog = fixture.dialogs.Seen().back();
    EXPECT_EQ(dialog.request.title, Label("frmVorlix", "cmdlgTitle"));
    EXPECT_EQ(dialog.request.filter, Label("frmVorlix", "cmdlgAllFiles"));
    EXPECT_EQ(dialog.request.initialFolder, file);
}

TEST_F(MainWindowStory, CancellingTheFileDialogKeepsThePathAndButtons) {
    const std::string file = fixture.root.Write("abc.txt", "abc");
    fixture.Start();
    fixture.Load({"/sourcefile:" + file});
    Window().CalculateDigest();

    fixture.dialogs.ThenCancelFileDialog();
    Window().cmdSelectFile_Click();
    EXPECT_EQ(State().txtPathAndFileName, file);
    EXPECT_EQ(State().txtMD5Result, "");
    EXPECT_TRUE(State().cmndCalculateEnabled);
    // The results are gone, so there is nothing left to save.
    EXPECT_FALSE(State().cndSaveMD5FileEnabled);
}

TEST_F(MainWindowStory, ResultsAlwaysBelongToThePathShown) {
    const std::string big = fixture.root.Write("big.iso", "abc");
    const std::string small = fixture.root.Write("small.txt", "x");
    fixture.Start();
    fixture.Load({"/sourcefile:" + big});
    const auto expectNoResults = [&](const char* when) {
        EXPECT_EQ(State().txtMD5Result, "") << when;
        EXPECT_EQ(State().txtFileSize, "") << when;
        EXPECT_EQ(State().txtTimeOperate, "") << when;
        EXPECT_FALSE(State().cndSaveMD5FileEnabled) << when;
    };

    // Another path typed after a run: the old digest must not be saved under it.
    ASSERT_TRUE(Window().CalculateDigest());
    Window().txtPathAndFileName_Change(small);
    expectNoResults("after typing another path");
    EXPECT_TRUE(State().cmndCalculateEnabled);
    Window().cndSaveMD5File_Click();
    EXPECT_FALSE(std::filesystem::exists(small + ".MD5"));

    // A run the user cancels leaves nothing of the run before it.
    Window().txtPathAndFileName_Change(big);
    ASSERT_TRUE(Window().CalculateDigest());
    fixture.runDigest = [&](const std::string& path) {
        // While the digest runs the window shows no results either.
        expectNoResults("while digesting");
        return test::CancelledDigest(path);
    };
    Window().txtPathAndFileName_Change(small);
    EXPECT_FALSE(Window().CalculateDigest());
    expectNoResults("after a cancelled run");
    EXPECT_EQ(State().txtPathAndFileName, small);
    Window().cndSaveMD5File_Click();
    EXPECT_FALSE(std::filesystem::exists(small + ".MD5"));
    EXPECT_FALSE(std::filesystem::exists(big + ".MD5"));
    EXPECT_TRUE(fixture.dialogs.Seen().empty());
}

// The options' extra digests come from the same read as MD5, and a checksum
// file beside the data file marks whether it matches what it publishes.
TEST_F(MainWindowStory, OtherDigestsAndWhatIsPublishedBesideTheFile) {
    const std::string sha256 = TextDigest(DigestAlgorithm::Sha256, "abc");
    const std::string blake2b = TextDigest(DigestAlgorithm::Blake2b, "abc");
    const std::string file = fixture.root.Write("dl/image.iso", "abc");
    fixture.Start();
    fixture.Load({});
    Window().txtPathAndFileName_Change(file);
    ASSERT_TRUE(Window().CalculateDigest());
    EXPECT_EQ(State().otherDigests, DigestTexts{}) << "nothing beside MD5 by default";
    EXPECT_FALSE(State().published);

    fixture.program->options.AlsoCompute =
        DigestSet(DigestAlgorithm::Sha256).Add(DigestAlgorithm::Blake2b);
    ASSERT_TRUE(Window().CalculateDigest());
    EXPECT_EQ(State().txtMD5Result, TextDigest("abc"));
    EXPECT_EQ(TextOf(State().otherDigests, DigestAlgorithm::Sha256), sha256);
    EXPECT_EQ(TextOf(State().otherDigests, DigestAlgorithm::Blake2b), blake2b);
    EXPECT_EQ(TextOf(State().otherDigests, DigestAlgorithm::Sha1), "");
    fixture.program->options.AlsoCompute = {};

    const struct {
        const char* list;
        std::string content;
        DigestAlgorithm algorithm;
        bool match;
    } cases[] = {
        {"SHA256SUMS", sha256 + "  image.iso\n", DigestAlgorithm::Sha256, true},
        {"SHA256SUMS", sha256 + "  other.iso\n" + std::string(64, '0') + " *./image.iso\n",
         DigestAlgorithm::Sha256, false},
        {"CHECKSUM", "# signed\nBLAKE2b (image.iso) = " + blake2b + "\n", DigestAlgorithm::Blake2b,
         true},
        {"CHECKSUM", blake2b + "  image.iso\n", DigestAlgorithm::Blake2b, true},
        {"image.iso.md5", TextDigest("abc") + " *image.iso\n", DigestAlgorithm::Md5, true},
        {"MD5SUMS", TextDigest("abd") + "  image.iso\n", DigestAlgorithm::Md5, false},
    };
    for (const auto& c : cases) {
        const std::string list = fixture.root.Write(std::string("dl/") + c.list, c.content);
        Window().txtPathAndFileName_Change(file);
        ASSERT_TRUE(Window().CalculateDigest());
        ASSERT_TRUE(State().published) << c.list;
        EXPECT_EQ(State().published->source, c.list);
        EXPECT_EQ(State().published->algorithm, c.algorithm) << c.list;
        EXPECT_EQ(State().published->match, c.match) << c.list;
        if (c.algorithm != DigestAlgorithm::Md5) {
            EXPECT_EQ(TextOf(State().otherDigests, c.algorithm), TextDigest(c.algorithm, "abc"));
        }
        EXPECT_NE(PublishedText(State()).find(c.list), std::string::npos);
        std::filesystem::remove(list);
    }
    // A FIFO, a folder or a device in a list's place is never read.
    ASSERT_EQ(mkfifo((fixture.root / "dl/SHA256SUMS").c_str(), 0600), 0);
    std::filesystem::create_directory(fixture.root / "dl/CHECKSUM");
    std::filesystem::create_symlink("/dev/zero", fixture.root / "dl/image.iso.sha512");
    Window().txtPathAndFileName_Change(file);
    ASSERT_TRUE(Window().CalculateDigest());
    EXPECT_FALSE(State().published);

    // Only messages the user asked for: a mark is no message.
    EXPECT_TRUE(fixture.dialogs.Seen().empty());
}

TEST_F(MainWindowStory, FileDialogsStartAtTheFileInThePathBox) {
    const std::string file = fixture.root.Write("work/abc.txt", "abc");
    fixture.Start();
    fixture.Load({});
    fixture.dialogs.ThenCancelFileDialog().ThenCancelFileDialog();
    Window().cmdSelectFile_Click();
    Window().mnuFile_OpenFileMD5_Click();
    // Nothing chosen yet: the stored path.
    for (const auto& seen : fixture.dialogs.Seen())
        EXPECT_EQ(seen.request.initialFolder, fixture.program->options.LastUsedPath);

    fixture.dialogs.Clear();
    Window().txtPathAndFileName_Change(file);
    fixture.dialogs.ThenCancelFileDialog().ThenCancelFileDialog();
    Window().cmdSelectFile_Click();
    Window().mnuFile_OpenFileMD5_Click();
    ASSERT_EQ(fixture.dialogs.Seen().size(), 2u);
    for (const auto& seen : fixture.dialogs.Seen()) {
        EXPECT_EQ(seen.request.initialFolder, file);
        EXPECT_EQ(seen.request.mode, FileDialogMode::Open);
    }
}

TEST_F(MainWindowStory, TypingAPathEnablesComputingOnlyForAnExistingFile) {
    const std::string file = fixture.root.Write("abc.txt", "abc");
    fixture.Start();
    fixture.Load({});
    const std::pair<std::string, bool> cases[] = {
        {file, true},
        {fixture.root.Path().string(), false},
        {file + ".missing", false},
        {"", false},
        {file, true},
    };
    for (const auto& [path, enabled] : cases) {
        Window().txtPathAndFileName_Change(path);
        EXPECT_EQ(State().cmndCalculateEnabled, enabled) << path;
        EXPECT_FALSE(State().cndSaveMD5FileEnabled);
    }
}

TEST_F(MainWindowStory, ADigestRunShowsDigestSizeAndTime) {
    const std::string file = fixture.root.Write("abc.txt", "abc");
    const std::string empty = fixture.root.Write("empty", "");
    fixture.Start();
    fixture.Load({});

    Window().CalculateDigest();  // nothing chosen yet: nothing happens
    EXPECT_EQ(State().txtMD5Result, "");

    Window().txtPathAndFileName_Change(file);
    Window().CalculateDigest();
    EXPECT_EQ(State().txtMD5Result, kAbcDigest);
    EXPECT_EQ(State().txtFileSize, "3 bytes");
    EXPECT_TRUE(State().txtTimeOperate.ends_with(" sec.")) << State().txtTimeOperate;
    EXPECT_TRUE(State().cndSaveMD5FileEnabled);

    Window().txtPathAndFileName_Change(empty);
    Window().CalculateDigest();
    EXPECT_EQ(State().txtMD5Result, "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(State().txtFileSize, "0 bytes");
    EXPECT_TRUE(fixture.dialogs.Seen().empty());
}

TEST_F(MainWindowStory, ACancelledDigestShowsNoResults) {
    const std::string file = fixture.root.Write("abc.txt", "abc");
    fixture.runDigest = test::CancelledDigest;
    fixture.Start();
    fixture.Load({"/sourcefile:" + file});
    Window().CalculateDigest();
    EXPECT_EQ(State().txtMD5Result, "");
    EXPECT_EQ(State().txtTimeOperate, "");
    EXPECT_FALSE(State().cndSaveMD5FileEnabled);
    EXPECT_TRUE(fixture.dialogs.Seen().empty());
}

TEST_F(MainWindowStory, AFileThatCannotBeReadEndsTheProgramAfterItsMessage) {
    fixture.Start();
    fixture.Load({});
    const std::string folder = fixture.root.Path().string();
    // A folder is no file to digest; the path box lets it through when typed.
    Window().txtPathAndFileName_Change(folder);
    try {
        Window().CalculateDigest();
        FAIL() << "the program went on";
    } catch (const ProgramEnded& ended) {
        EXPECT_EQ(ended.status, 2);
    }
    EXPECT_EQ(
        fixture.dialogs.Messages(),
        std::vector{Message("Error Reading File " + folder, "Error Read File", MessageIcon::Stop)});
}

TEST_F(MainWindowStory, SavingShowsTheEndButtonFromThenOn) {
    const std::string file = fixture.root.Write("abc.txt", "abc");
    fixture.Start();
    fixture.Load({"/sourcefile:" + file});
    Window().CalculateDigest();
    Window().cndSaveMD5File_Click();
    EXPECT_TRUE(FileExists(file + ".MD5"));
    EXPECT_TRUE(State().cmdEndProgramVisible);
    EXPECT_EQ(fixture.dialogs.Messages().back().caption, Label("frmVorlix", "msgbox4Text2"));
}

// Save, No to the question, then the data file itself in the dialog.
TEST_F(MainWindowStory, TheDataFileIsNeverReplacedByItsChecksum) {
    const std::string file = fixture.root.Write("abc.txt", "abc");
    const std::string sums = fixture.root.Write("abc.txt.MD5", "old");
    fixture.Start();
    fixture.Load({"/sourcefile:" + file});
    Window().CalculateDigest();
    fixture.dialogs.ThenAnswer(Answer::No).ThenChooseFile(file);
    Window().cndSaveMD5File_Click();
    EXPECT_EQ(test::ReadAll(file), "abc");
    EXPECT_EQ(test::ReadAll(sums), "old");
    EXPECT_EQ(fixture.dialogs.Messages().back(),
              Message(Label("frmVorlix", "lblFileSource") + " " + file + " " +
                          Label("modSaveFile", "saveIsDataFile"),
                      Label("frmVorlix", "msgbox2Caption"), MessageIcon::Stop));
    EXPECT_TRUE(fixture.dialogs.ScriptUsedUp());
}

TEST_F(MainWindowStory, SwitchesThatCannotAllBeDoneAreRefusedBeforeAnyWork) {
    const std::string file = fixture.root.Write("a.txt", "abc");
    const std::string folder = (fixture.root.Path() / "F").string();
    std::filesystem::create_directories(folder);
    fixture.root.Write("F/b.txt", "b");
    fixture.Start();
    EXPECT_EQ(fixture.Load({"/sourcefile:" + file, "/expect:" + std::string(32, '0'),
                            "/sourcefolder:" + folder, "/auto"}),
              2);
    const auto label = [&](const char* key) { return Label("modCommandLine", key); };
    EXPECT_EQ(fixture.dialogs.Messages(),
              std::vector{Message(
                  label("usageTogether") + " /sourcefile /sourcefolder\r\n" + label("usageMore"),
                  label("usageCaption"), MessageIcon::Stop)});
    EXPECT_TRUE(fixture.digested.empty());
    EXPECT_FALSE(std::filesystem::exists(folder + ".MD5"));

    ProgramFixture alone;
    alone.Start();
    EXPECT_EQ(alone.Load({"/expect:" + std::string(32, '0'), "/checkupdate"}), 2);
    EXPECT_EQ(
        alone.dialogs.Messages().at(0).text.find(label("usageTogether") + " /checkupdate /expect"),
        0u);
}

TEST_F(MainWindowStory, FlagsAskBeforeSwitchingAndOnlyForAnotherLanguage) {
    fixture.Start();
    fixture.Load({});
    const std::string czechCaption = State().labels.cmndCalculate;

    Window().igbCzechFlag_Click();  // already in force: no question
    EXPECT_TRUE(fixture.dialogs.Seen().empty());

    fixture.dialogs.ThenAnswer(Answer::No);
    Window().igbEnglishFlag_Click();
    EXPECT_EQ(fixture.program->languages.CurrentLanguage(), 1027);
    EXPECT_EQ(State().labels.cmndCalculate, czechCaption);

    fixture.dialogs.ThenAnswer(Answer::Yes);
    Window().igbEnglishFlag_Click();
    EXPECT_EQ(fixture.program->languages.CurrentLanguage(), 1033);
    EXPECT_EQ(State().labels.cmndCalculate, Label("frmVorlix", "cmndCalculate"));
    EXPECT_NE(State().labels.cmndCalculate, czechCaption);
    // A flag switches for this run only.
    EXPECT_EQ(fixture.store.Read("Configuration", "DefaultLanguage"), "1027");
    EXPECT_EQ(fixture.program->options.DefaultLanguage, "1027");

    fixture.dialogs.ThenAnswer(Answer::Yes);
    Window().igbCzechFlag_Click();
    EXPECT_EQ(State().labels.cmndCalculate, czechCaption);

    const auto english = Question("Change program language to English?", "Question",
                                  MessageIcon::Question, DefaultButton::Yes);
    const auto czech = Question("Změnit jazyk programu na češtinu?", "Dotaz", MessageIcon::Question,
                                DefaultButton::Yes);
    const auto messages = fixture.dialogs.Messages();
    EXPECT_EQ(messages, (std::vector{english, english, czech}));
    // The buttons speak the language of the question, whichever is in force.
    for (const std::size_t i : {0u, 1u}) {
        EXPECT_EQ(messages[i].captions.yes, "&Yes");
        EXPECT_EQ(messages[i].captions.no, "&No");
    }
    EXPECT_EQ(messages[2].captions.yes, "&Ano");
    EXPECT_EQ(messages[2].captions.no, "&Ne");
}

TEST_F(MainWindowStory, HelpSwitchShowsTheComposedHelpAndEnds) {
    fixture.Start();
    EXPECT_EQ(fixture.Load({"-h"}), 0);
    const auto text = [&](const char* key) { return Label("modVorlix", key); };
    const std::string expected = text("Text1") + " \r\n   " + text("Text2") + "\r\n   " +
                                 text("Text3") + "\r\n   " + text("Text4") + "\r\n\r\n" +
                                 text("Text5") + "\r\n   " + text("Text6") + "\r\n\r\n" +
                                 text("Text7") + "\r\n" + text("Text8") + "\r\n" + text("Text9");
    EXPECT_EQ(fixture.dialogs.Messages(),
              std::vector{Message(expected, "Vorlix", MessageIcon::None)});
}

TEST_F(MainWindowStory, AutomaticModeComputesAndSavesWithoutQuestions) {
    const std::string file = fixture.root.Write("auto/help/abc.txt", "abc");
    fixture.Start();
    // Neither "auto" nor "help" inside the path is a switch.
    EXPECT_EQ(fixture.Load({"/sourcefile:" + file, "/auto"}), 0);
    EXPECT_TRUE(fixture.dialogs.Seen().empty());
    const std::string saved = test::ReadAll(file + ".MD5");
    EXPECT_NE(saved.find("MD5Checksum=" + std::string(kAbcDigest) + "\r\n"), std::string::npos);
    EXPECT_NE(saved.find("FileName=abc.txt\r\n"), std::string::npos);
}

TEST_F(MainWindowStory, CancelInAutomaticModeWritesNothingAndEndsWithOne) {
    const std::string file = fixture.root.Write("big.iso", "abc");
    const std::string sums = fixture.root.Write("big.iso.MD5", "old");
    const std::string fresh = fixture.root.Write("fresh.iso", "abc");
    fixture.runDigest = test::CancelledDigest;
    fixture.Start();
    EXPECT_EQ(fixture.Load({"/sourcefile:" + file, "/auto"}), 1);
    EXPECT_EQ(test::ReadAll(sums), "old");
    EXPECT_TRUE(fixture.dialogs.Seen().empty());  // not even the overwrite question

    ProgramFixture second;
    second.runDigest = test::CancelledDigest;
    second.Start();
    EXPECT_EQ(second.Load({"/sourcefile:" + fresh, "/auto"}), 1);
    EXPECT_FALSE(std::filesystem::exists(fresh + ".MD5"));

    // A published digest is compared with nothing: no match, no mismatch.
    ProgramFixture published;
    published.runDigest = test::CancelledDigest;
    published.Start();
    EXPECT_EQ(
        published.Load({"/sourcefile:" + fresh, "/expect:" + std::string(kAbcDigest), "/auto"}), 1);
    EXPECT_TRUE(published.dialogs.Seen().empty());
    EXPECT_FALSE(std::filesystem::exists(fresh + ".MD5"));
}

TEST_F(MainWindowStory, VerificationRunsTheWindowsDigestAndACancelShowsNothing) {
    const std::string file = fixture.root.Write("abc.txt", "abc");
    const std::string sums =
        fixture.root.Write("abc.txt.md5", std::string(kAbcDigest) + " *abc.txt\n");
    fixture.Start();
    fixture.Load({});

    fixture.dialogs.ThenChooseFile(sums);
    Window().mnuFile_OpenFileMD5_Click();
    EXPECT_EQ(fixture.digested, std::vector{file});
    ASSERT_EQ(fixture.dialogs.Messages().size(), 1u);
    EXPECT_EQ(fixture.dialogs.Messages()[0].caption, Label("frmVorlix", "msgbox9Text3"));

    fixture.dialogs.Clear();
    fixture.runDigest = test::CancelledDigest;
    fixture.dialogs.ThenChooseFile(sums);
    Window().mnuFile_OpenFileMD5_Click();
    EXPECT_TRUE(fixture.dialogs.Messages().empty());
    EXPECT_EQ(fixture.digested.size(), 2u);

    // From the command line a cancelled verification is not a success.
    ProgramFixture line;
    line.runDigest = test::CancelledDigest;
    line.Start();
    EXPECT_EQ(line.Load({sums}), 1);
    EXPECT_TRUE(line.dialogs.Seen().empty());
    EXPECT_EQ(line.digested, std::vector{file});
}

TEST_F(MainWindowStory, AutomaticModeWithoutAUsableFileWritesNothing) {
    fixture.Start();
    EXPECT_EQ(fixture.Load({"--auto"}), 2);
    ASSERT_EQ(fixture.dialogs.Messages().size(), 1u);
    EXPECT_EQ(fixture.dialogs.Messages()[0].caption, Label("modCommandLine", "usageCaption"));

    ProgramFixture second;
    second.Start();
    const std::string missing = second.root / "missing.bin";
    EXPECT_EQ(second.Load({"--auto", "--sourcefile=" + missing}), 2);
    EXPECT_EQ(second.dialogs.Messages(),
              std::vector{
                  Message("Error Reading File " + missing, "Error Read File", MessageIcon::Stop)});
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_FALSE(std::filesystem::exists(missing + ".MD5"));
    EXPECT_FALSE(std::filesystem::exists(".MD5"));
}

TEST_F(MainWindowStory, ASingleChecksumFileIsVerifiedAndEndsWithItsOutcome) {
    const std::string file = fixture.root.Write("abc.txt", "abc");
    const std::string sums =
        fixture.root.Write("abc.txt.md5", std::string(kAbcDigest) + " *abc.txt\n");
    fixture.Start();
    EXPECT_EQ(fixture.Load({sums}), 0);
    ASSERT_EQ(fixture.dialogs.Messages().size(), 1u);
    EXPECT_EQ(fixture.dialogs.Messages()[0].caption, Label("frmVorlix", "msgbox9Text3"));

    ProgramFixture changed;
    changed.root.Write("abc.txt", "abd");
    const std::string changedSums =
        changed.root.Write("abc.txt.md5", std::string(kAbcDigest) + " *abc.txt\n");
    changed.Start();
    EXPECT_EQ(changed.Load({changedSums}), 1);
}

TEST_F(MainWindowStory, SeveralChecksumFilesAreVerifiedInTurnAndTheWorstCounts) {
    fixture.root.Write("abc.txt", "abc");
    fixture.root.Write("abd.txt", "abd");
    const std::string good =
        fixture.root.Write("abc.txt.md5", std::string(kAbcDigest) + " *abc.txt\n");
    const std::string bad =
        fixture.root.Write("abd.txt.md5", std::string(kAbcDigest) + " *abd.txt\n");
    fixture.Start();
    EXPECT_EQ(fixture.Load({"--", bad, good}), 1);
    EXPECT_EQ(fixture.dialogs.Messages().size(), 2u);

    // One name that is no file: nothing is verified and the window opens.
    ProgramFixture missing;
    const std::string there =
        missing.root.Write("abc.txt.md5", std::string(kAbcDigest) + " *abc.txt\n");
    missing.Start();
    EXPECT_EQ(missing.Load({there, (missing.root / "nothing.md5")}), std::nullopt);
    EXPECT_TRUE(missing.dialogs.Seen().empty());
}

TEST_F(MainWindowStory, CalculateShowsOneFileInTheWindowAndSeveralInTheResults) {
    const std::string abc = fixture.root.Write("abc.txt", "abc");
    const std::string other = fixture.root.Write("sub/other.txt", "x");
    std::vector<ManyFilesJob> runs;
    fixture.Start([&runs](const ManyFilesJob& job) {
        runs.push_back(job);
        return RunManyFiles(job);
    });
    MainWindowView view;
    Window().SetView(&view);
    // A checksum file too is digested, not verified.
    const std::string sums =
        fixture.root.Write("abc.txt.md5", std::string(kAbcDigest) + " *abc.txt\n");
    EXPECT_EQ(fixture.Load({"/calculate", "--", sums}), std::nullopt);
    EXPECT_EQ(State().txtPathAndFileName, sums);
    EXPECT_EQ(State().txtMD5Result.size(), 32u);
    EXPECT_EQ(fixture.store.Read("Configuration", "LastUsedPath"), sums);

    EXPECT_EQ(fixture.Load({"/calculate", "--", abc, fixture.root / "sub"}), std::nullopt);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].kind, ManyFilesKind::Dropped);
    EXPECT_EQ(runs[0].paths, (std::vector<std::string>{abc, other}));
    EXPECT_TRUE(fixture.dialogs.Seen().empty());

    // Without a window the results are all there is: the program ends.
    ProgramFixture console;
    const std::string file = console.root.Write("abc.txt", "abc");
    console.Start();
    EXPECT_EQ(console.Load({"/calculate", "--", file}), 0);
    EXPECT_EQ(console.Load({"/calculate", "--", file, console.root / "gone"}), 1);
    // /auto saves the one file as with /sourcefile; nothing named is a usage error.
    EXPECT_EQ(console.Load({"/calculate", "/auto", file}), 0);
    EXPECT_TRUE(FileExists(file + ".MD5"));
    EXPECT_EQ(console.Load({"/calculate"}), 2);
    EXPECT_EQ(console.Load({"/calculate", "--", console.root / "gone"}), 2);
}

TEST_F(MainWindowStory, AnArgumentThatIsNoFileOpensTheWindow) {
    fixture.Start();
    EXPECT_EQ(fixture.Load({(fixture.root / "nothing.md5")}), std::nullopt);
    EXPECT_TRUE(fixture.dialogs.Seen().empty());
}

class ClipboardView final : public MainWindowView {
  public:
    void PutOnClipboard(const std::string& text) override { clipboard = text; }
    std::string clipboard;
};

TEST_F(MainWindowStory, ClickingTheVersionLabelCopiesItsText) {
    fixture.Start();
    ClipboardView view;
    Window().SetView(&view);
    fixture.Load({});
    Window().lblVersionInfo_Click();
    EXPECT_EQ(view.clipboard, State().lblVersionInfo);
}

TEST(ElapsedTime, IsWrittenInTheGeneralFormWithTheLocaleSeparator) {
    using namespace std::chrono;
    const std::tuple<nanoseconds, char, const char*> cases[] = {
        {nanoseconds(0), '.', "0"},
        {microseconds(15625), '.', "0.015625"},
        {microseconds(15625), ',', "0,015625"},
        {seconds(2), ',', "2"},
        {milliseconds(1500), '.', "1.5"},
        {nanoseconds(51'234), '.', "0.000051"},
        {nanoseconds(400), '.', "0"},
        {hours(25) + milliseconds(10), '.', "90000.01"},
    };
    for (const auto& [elapsed, separator, expected] : cases) {
        EXPECT_EQ(FormatElapsedSeconds(elapsed, separator), expected);
    }
}

TEST_F(MainWindowStory, CheckUpdateRunsTheCheckInsteadOfTheWindowAndEnds) {
    const std::string served = fixture.root / "server/update.txt";
    setenv("VORLIX_UPDATE_URL", ("file://" + served).c_str(), 1);
    setenv("XDG_CACHE_HOME", (fixture.root / "cache").c_str(), 1);
    struct Case {
        const char* word;
        std::string published;
        int status;
    };
    const Case cases[] = {
        {"/checkupdate", test::UpdateFileListing("1.0.0.22"), 0},
        {"-checkupdate", test::UpdateFileListing("1.0.0.23"), 1},
        {"--CheckUpdate", "[Update]\nProgramToUpdate=0\n", 2},
    };
    for (const Case& c : cases) {
        fixture.Start();
        fixture.dialogs.Clear();
        fixture.root.Write("server/update.txt", test::EncipheredUpdateFile(c.published));
        EXPECT_EQ(fixture.Load({c.word}), c.status) << c.word;
        EXPECT_EQ(fixture.dialogs.Seen().size(), 1u) << c.word;
    }

    // From the menu, a file without this program disables the command.
    fixture.root.Write("server/update.txt", test::EncipheredUpdateFile("[Update]\n"));
    fixture.Start();
    EXPECT_EQ(fixture.Load({}), std::nullopt);
    fixture.dialogs.Clear();
    Window().mnuAbout_TestActualProg_Click();
    EXPECT_EQ(fixture.dialogs.Seen().size(), 1u);
    EXPECT_FALSE(State().mnuAbout_TestActualProgEnabled);
    Window().mnuAbout_TestActualProg_Click();
    EXPECT_EQ(fixture.dialogs.Seen().size(), 1u);
    unsetenv("VORLIX_UPDATE_URL");
    unsetenv("XDG_CACHE_HOME");
}

class CompareView final : public MainWindowView {
  public:
    std::optional<std::string> ClipboardText() override { return clipboard; }
    std::optional<std::string> AskText(const std::string& prompt, const std::string&) override {
        asked.push_back(prompt);
        return typed;
    }
    std::optional<std::string> clipboard;
    std::optional<std::string> typed;
    std::vector<std::string> asked;
};

TEST_F(MainWindowStory, CompareAsksWhenTheClipboardHoldsNoDigest) {
    const std::string file = fixture.root.Write("abc.txt", "abc");
    fixture.Start();
    CompareView view;
    Window().SetView(&view);
    fixture.Load({});
    Window().txtPathAndFileName_Change(file);

    // Text without a digest on the clipboard, and the question cancelled: nothing happens.
    view.clipboard = "see the download page";
    Window().mnuFile_CompareDigest_Click();
    EXPECT_EQ(view.asked, std::vector{Label("modChecksumList", "compareAsk")});
    EXPECT_TRUE(fixture.dialogs.Seen().empty());
    EXPECT_EQ(State().txtMD5Result, "");

    // A typed text that is no digest: said so, nothing computed.
    view.typed = "abc";
    Window().mnuFile_CompareDigest_Click();
    EXPECT_EQ(fixture.dialogs.Messages(),
              std::vector{Message("abc " + Label("modChecksumList", "compareBadDigest"),
                                  Label("modChecksumList", "compareCaption"), MessageIcon::Stop)});
    EXPECT_EQ(State().digestComparison, DigestComparison::None);

    // A typed digest: computed first, then compared.
    fixture.dialogs.Clear();
    view.typed = std::string(" MD5: ") + kAbcDigest;
    Window().mnuFile_CompareDigest_Click();
    EXPECT_EQ(State().txtMD5Result, kAbcDigest);
    EXPECT_EQ(State().digestComparison, DigestComparison::Match);
    const std::string text = Label("modChecksumList", "compareText1") + " abc.txt " +
                             Label("modChecksumList", "compareMatch") + "\r\n" +
                             Label("modChecksumList", "compareComputed") + " " + kAbcDigest +
                             "\r\n" + Label("modChecksumList", "comparePublished") + " " +
                             kAbcDigest;
    EXPECT_EQ(fixture.dialogs.Messages(),
              std::vector{Message(text, Label("modChecksumList", "compareCaption"),
                                  MessageIcon::Information)});

    // The mark holds until the path changes.
    Window().txtPathAndFileName_Change(fixture.root / "other");
    EXPECT_EQ(State().digestComparison, DigestComparison::None);
}

// A SHA-256 digest copied from a download page: that digest is computed in
// one more read, compared, shown in its field and marked there.
TEST_F(MainWindowStory, CompareTakesADigestOfAnotherAlgorithm) {
    const std::string file = fixture.root.Write("abc.txt", "abc");
    const std::string sha256 = TextDigest(DigestAlgorithm::Sha256, "abc");
    fixture.Start();
    CompareView view;
    Window().SetView(&view);
    fixture.Load({});
    Window().txtPathAndFileName_Change(file);
    ASSERT_TRUE(Window().CalculateDigest());

    view.clipboard = "SHA256 (abc.txt) = " + sha256;
    Window().mnuFile_CompareDigest_Click();
    EXPECT_EQ(State().digestComparison, DigestComparison::Match);
    EXPECT_EQ(State().comparedAlgorithm, DigestAlgorithm::Sha256);
    EXPECT_EQ(TextOf(State().otherDigests, DigestAlgorithm::Sha256), sha256);
    EXPECT_EQ(State().txtMD5Result, kAbcDigest) << "MD5 stays as it was";
    std::string opening = Label("modChecksumList", "compareTextOther");
    opening.replace(opening.find("%1"), 2, "SHA-256");
    EXPECT_EQ(fixture.dialogs.Messages().back().text.rfind(opening + " abc.txt ", 0), 0u)
        << fixture.dialogs.Messages().back().text;

    // 128 digits that match neither digest: both are named.
    view.clipboard = std::string(128, 'a');
    Window().mnuFile_CompareDigest_Click();
    EXPECT_EQ(State().digestComparison, DigestComparison::Mismatch);
    const std::string said = fixture.dialogs.Messages().back().text;
    EXPECT_NE(said.find(TextDigest(DigestAlgorithm::Sha512, "abc") + " (SHA-512)"),
              std::string::npos);
    EXPECT_NE(said.find(TextDigest(DigestAlgorithm::Blake2b, "abc") + " (BLAKE2b)"),
              std::string::npos);
}

// Without a file there is nothing to compare: said at once, before any
// question about the digest.
TEST_F(MainWindowStory, CompareWithoutAFileSaysToChooseOneFirst) {
    fixture.root.Write("folder/inside.txt", "abc");
    fixture.Start();
    CompareView view;
    Window().SetView(&view);
    fixture.Load({});
    view.clipboard = std::string("MD5: ") + kAbcDigest;
    view.typed = kAbcDigest;
    for (const std::string& path :
         {std::string(), fixture.root / "missing.iso", fixture.root / "folder"}) {
        fixture.dialogs.Clear();
        view.asked.clear();
        Window().txtPathAndFileName_Change(path);
        for (const std::optional<std::string>& clipboard :
             {view.clipboard, std::optional<std::string>()}) {
            view.clipboard = clipboard;
            Window().mnuFile_CompareDigest_Click();
        }
        EXPECT_EQ(fixture.dialogs.Messages(),
                  std::vector(2, Message(Label("modChecksumList", "compareNoFile"),
                                         Label("modChecksumList", "compareCaption"),
                                         MessageIcon::Information)))
            << path;
        EXPECT_TRUE(view.asked.empty()) << path;
        EXPECT_EQ(State().digestComparison, DigestComparison::None) << path;
        view.clipboard = std::string("MD5: ") + kAbcDigest;
    }

    // Two digests on the clipboard: the user is asked which one is meant.
    const std::string file = fixture.root.Write("abc.txt", "abc");
    Window().txtPathAndFileName_Change(file);
    fixture.dialogs.Clear();
    view.clipboard = std::string(kAbcDigest) + "  abc.txt\n" + std::string(32, '0') + "  other.txt";
    Window().mnuFile_CompareDigest_Click();
    EXPECT_EQ(view.asked, std::vector{Label("modChecksumList", "compareAsk")});
    EXPECT_EQ(State().digestComparison, DigestComparison::Match);
}

}  // namespace
}  // namespace vorlix
