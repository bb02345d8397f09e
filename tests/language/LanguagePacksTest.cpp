#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "language/Language.h"
#include "support/ScriptedDialogs.h"

namespace vorlix {
namespace {

struct Section {
    const char* name;
    std::vector<const char*> keys;
};

// Every label the program asks for.
const std::vector<Section> kLabels = {
    {"Head", {"LanguageFileNo"}},
    {"Generic",
     {"ButtonExitCaption", "SaveChangesCaption", "ButtonCancelCaption", "ButtonApplyCaption",
      "ButtonDefaultCaption", "CaptionInformation"}},
    {"MainMenu",
     {"mnuFile", "mnuFile_OpenFile", "mnuFile_OpenFileMD5", "mnuFile_ExitProgram", "mnuOptions",
      "mnuOptions_Options", "mnuAbout", "mnuAbout_Help", "mnuAbout_TestActualProg",
      "mnuAbout_About", "mnuFile_FolderMD5", "mnuFile_CompareDigest"}},
    {"frmVorlix",
     {"hrlOnLineHelp",  "lblFileSource", "cmndCalculate",  "lblFileSize",  "cndSaveMD5File",
      "lblTimeOperate", "cmdlgAllFiles", "cmdlgTitle",     "cmdlgMD5File", "cmdlgTitle2",
      "cmdlgTestMD5",   "cmdlgTitle3",   "msgbox1Text1",   "msgbox2Text1", "msgbox2Text2",
      "msgbox2Caption", "msgbox3Text1",  "msgbox4Text1",   "msgbox4Text2", "msgbox5Text1",
      "msgbox5Text2",   "msgbox6Text1",  "msgbox6Caption", "msgbox7Text1", "msgbox7Text2",
      "msgbox8Text1",   "msgbox8Text2",  "msgbox9Text1",   "msgbox9Text2", "msgbox9Text3"}},
    {"frmOptions",
     {"Caption", "Frame", "LabelDefaultLanguage", "MenuItem1", "CheckBoxAssociate",
      "CreateStandardFileFormat"}},
    {"frmAbout",
     {"Caption", "Version", "lblCompanyName", "lblDescription", "lblDisclaimer", "lblDisclaimer2",
      "lblDisclaimer3", "hlblURL2", "hlblURL3", "lblShareTypeProgram", "lblOnlyForInternalUse"}},
    {"frmUpdateProcess", {"Caption", "lblCaption"}},
    {"modAssociateExtension", {"msgbox1Text1", "msgbox1Text2"}},
    {"modAvizo_v4",
     {"txtDetectVersion", "txtRecordNotFound1", "txtRecordNotFound2", "txtActualVersion",
      "txtCriticalUpdate", "txtMainUpdate", "txtMinorUpgrade", "txtMainUpgrade",
      "txtNewVersionAvailable"}},
    {"modChecksumList",
     {"listCaption",     "listText1",       "listChecked",      "listIntact",
      "listDamaged",     "listMissing",     "listUnreadable",   "listNotEntries",
      "listCancelled",   "listPassedOver",  "listNoneVerified", "folderCaption",
      "folderTitle",     "folderText1",     "folderNotFound",   "folderEmpty",
      "folderSavedTo",   "folderRecorded",  "folderBytes",      "folderLeftOut",
      "compareCaption",  "compareAsk",      "compareText1",     "compareMatch",
      "compareMismatch", "compareComputed", "comparePublished", "compareBadDigest",
      "compareNoFile"}},
    {"frmResults",
     {"Caption", "colName", "colStatus", "colDigest", "colSize", "stIntact", "stDamaged",
      "stMissing", "stUnreadable", "stDigested", "stCancelled", "lblFiles", "prgProgress",
      "chkProblemsOnly", "chkHideMissing", "cmdCopy", "cmdSaveAs", "cmdClose"}},
    {"modSaveFile", {"saveIsDataFile", "saveInsideFolder", "savePlantedLink"}},
    {"modCommandLine",
     {"usageCaption", "usageUnknown", "usageNoValue", "usageNeedsValue", "usageTwice",
      "usageTogether", "usageNeeds", "usageNeedsFiles", "usageOr", "usageMore"}},
    {"modVorlix",
     {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Text8", "Text9"}},
};

class ShippedPackTest : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(ShippedPackTest, HoldsEveryLabelOnOneLine) {
    test::ScriptedDialogs dialogs;
    Language language(VORLIX_SOURCE_PACKS);
    language.LoadLanguageFile(GetParam());

    EXPECT_EQ(language.GetLabel("Head", "LanguageFileNo"), std::to_string(GetParam()));
    for (const Section& section : kLabels) {
        for (const char* key : section.keys) {
            const std::string label = language.GetLabel(section.name, key);
            EXPECT_FALSE(label.empty()) << section.name << "/" << key;
            // Messages add their own line breaks; a break inside a label would double them.
            EXPECT_EQ(label.find_first_of("\r\n"), std::string::npos) << section.name << "/" << key;
        }
    }
    // The file dialogs take "description|pattern" pairs.
    for (const char* key : {"cmdlgAllFiles", "cmdlgMD5File", "cmdlgTestMD5"}) {
        const std::string filter = language.GetLabel("frmVorlix", key);
        EXPECT_EQ(std::count(filter.begin(), filter.end(), '|') % 2, 1) << key;
    }
    EXPECT_TRUE(dialogs.Seen().empty());
}

INSTANTIATE_TEST_SUITE_P(BothPacks, ShippedPackTest, ::testing::Values(1027, 1033));

}  // namespace
}  // namespace vorlix
