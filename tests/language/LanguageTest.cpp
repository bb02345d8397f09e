#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Startup.h"
#include "language/Language.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "ui/EndProgram.h"

namespace vorlix {
namespace {

using test::EmergencyHelp;
using test::Message;
using test::ScriptedDialogs;
using test::Shown;
using test::TempDir;

constexpr const char* kFixture = R"(<?xml version="1.0" encoding="UTF-8"?>
<Vorlix_LanguageFile>
  <frmOptions><Caption>Možnosti</Caption></frmOptions>
  <frmAbout>
    <Caption>O programu</Caption>
    <Group><Deeper><Nested>hluboko</Nested></Deeper></Group>
    <Twice>první</Twice>
    <Twice>druhý</Twice>
    <Spaced>
        mezery kolem	
    </Spaced>
    <Mixed> a<b>b</b><![CDATA[c]]> </Mixed>
    <Empty/>
  </frmAbout>
  <Outer><frmVorlix><Key>hlubší sekce</Key></frmVorlix></Outer>
  <Key>mimo sekci</Key>
</Vorlix_LanguageFile>
)";

// Runs code that must end the program and returns the status it ended with.
template <typename Code>
int EndStatusOf(Code code) {
    try {
        code();
    } catch (const ProgramEnded& ended) {
        return ended.status;
    }
    ADD_FAILURE() << "the program did not end";
    return -1;
}

Shown LoadFailure(const std::string& fileName) {
    return Message("Chyba č. -2147221504 při načítání jazykového souboru " + fileName,
                   "Chyba čtení souboru", MessageIcon::Stop);
}

TEST(LanguageTest, LabelLookupFollowsSectionAndKeyPaths) {
    TempDir dir;
    dir.Write("1027.xml", kFixture);
    ScriptedDialogs dialogs;
    Language language(dir.Path());
    language.LoadLanguageFile(1027);
    ASSERT_TRUE(language.IsLoaded());

    struct Case {
        const char* section;
        const char* key;
        const char* label;
    };
    const Case cases[] = {
        {"frmOptions", "Caption", "Možnosti"},  // same key under two sections
        {"frmAbout", "Caption", "O programu"},
        {"frmAbout", "Nested", "hluboko"},  // key below grouping elements
        {"frmAbout", "Twice", "první"},     // first in document order
        {"frmAbout", "Spaced", "mezery kolem"},
        {"frmAbout", "Mixed", "abc"},  // nested elements and CDATA count
        {"frmAbout", "Empty", ""},
        {"frmVorlix", "Key", "hlubší sekce"},  // section below another element
        {"Outer", "Key", "hlubší sekce"},
        {"frmOptions", "Nested", ""},  // in the pack, but under another section
        {"Generic", "Key", ""},
        {"frmabout", "Caption", ""},         // names keep their letter case
        {"Vorlix_LanguageFile", "Key", ""},  // the root is not a section
        {"frmAbout", "frmAbout", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(language.GetLabel(c.section, c.key), c.label) << c.section << "/" << c.key;
    }
    EXPECT_TRUE(dialogs.Seen().empty());
}

TEST(LanguageTest, PackWithAnotherRootLoadsButFindsNothing) {
    TempDir dir;
    dir.Write("1033.xml", "<Other><frmAbout><Caption>About</Caption></frmAbout></Other>");
    ScriptedDialogs dialogs;
    Language language(dir.Path());
    language.LoadLanguageFile(1033);
    EXPECT_TRUE(language.IsLoaded());
    EXPECT_EQ(language.GetLabel("frmAbout", "Caption"), "");
    EXPECT_TRUE(dialogs.Seen().empty());
}

TEST(LanguageTest, LoadingAgainReadsTheFileAnew) {
    TempDir dir;
    dir.Write("1033.xml", "<Vorlix_LanguageFile><Head><No>1</No></Head></Vorlix_LanguageFile>");
    ScriptedDialogs dialogs;
    Language language(dir.Path());
    language.LoadLanguageFile(1033);
    dir.Write("1033.xml", "<Vorlix_LanguageFile><Head><No>2</No></Head></Vorlix_LanguageFile>");
    language.LoadLanguageFile(1033);
    EXPECT_EQ(language.GetLabel("Head", "No"), "2");
}

TEST(LanguageTest, FailedLoadShowsCzechMessageThenEmergencyHelpAndEnds) {
    struct Case {
        const char* name;
        const char* fileName;  // what lies in the folder under the pack's name
        const char* content;   // nullptr: a folder of that name
    };
    const Case cases[] = {
        {"missing", "1033.xml", "<Vorlix_LanguageFile/>"},
        {"not well-formed", "1029.xml", "<Vorlix_LanguageFile><Head></Vorlix_LanguageFile>"},
        {"empty", "1029.xml", ""},
        {"two roots", "1029.xml", "<Vorlix_LanguageFile/><Vorlix_LanguageFile/>"},
        {"text after the root", "1029.xml", "<Vorlix_LanguageFile/>text"},
        {"text before the root", "1029.xml", "text<Vorlix_LanguageFile/>"},
        {"stray ampersand", "1029.xml", "<Vorlix_LanguageFile><a>R & D</a></Vorlix_LanguageFile>"},
        {"undeclared entity", "1029.xml",
         "<Vorlix_LanguageFile><a>&nbsp;</a></Vorlix_LanguageFile>"},
        {"entity in an attribute", "1029.xml", "<Vorlix_LanguageFile a='&x;'/>"},
        {"reference to NUL", "1029.xml", "<Vorlix_LanguageFile><a>&#0;</a></Vorlix_LanguageFile>"},
        {"reference past Unicode", "1029.xml",
         "<Vorlix_LanguageFile>&#x110000;</Vorlix_LanguageFile>"},
        {"duplicate attribute", "1029.xml", "<Vorlix_LanguageFile a='1' a='2'/>"},
        {"less-than in an attribute", "1029.xml", "<Vorlix_LanguageFile a='<'/>"},
        {"control character", "1029.xml", "<Vorlix_LanguageFile>\x1b[2J</Vorlix_LanguageFile>"},
        {"end of CDATA in text", "1029.xml", "<Vorlix_LanguageFile>]]></Vorlix_LanguageFile>"},
        {"double hyphen in a comment", "1029.xml",
         "<Vorlix_LanguageFile><!-- a -- b --></Vorlix_LanguageFile>"},
        {"late declaration", "1029.xml", "<!-- c --><?xml version='1.0'?><Vorlix_LanguageFile/>"},
        {"declared windows-1250", "1029.xml",
         "<?xml version='1.0' encoding='windows-1250'?><Vorlix_LanguageFile>\x9E"
         "e\x9E"
         "a</Vorlix_LanguageFile>"},
        {"declared UTF-16, written in UTF-8", "1029.xml",
         "<?xml version='1.0' encoding='UTF-16'?><Vorlix_LanguageFile/>"},
        {"not UTF-8 without a declaration", "1029.xml",
         "<Vorlix_LanguageFile>\xE8\xE1p</Vorlix_LanguageFile>"},
        {"overlong UTF-8", "1029.xml", "<Vorlix_LanguageFile>\xC0\x9B</Vorlix_LanguageFile>"},
        {"folder", "1029.xml", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        dir.Write("1027.xml", kFixture);
        if (c.content) {
            dir.Write(c.fileName, c.content);
        } else {
            std::filesystem::create_directory(dir.Path() / c.fileName);
        }
        ScriptedDialogs dialogs;
        Language language(dir.Path(), EndOnPackFailure(dialogs));
        language.LoadLanguageFile(1027);

        // The pack only reports the failure; the program's handler shows it and ends.
        Language quiet(dir.Path());
        EXPECT_FALSE(quiet.LoadLanguageFile(1029));
        EXPECT_FALSE(quiet.IsLoaded());
        EXPECT_EQ(EndStatusOf([&] { language.LoadLanguageFile(1029); }), kExitFatal);
        EXPECT_EQ(dialogs.Seen(), (std::vector<Shown>{LoadFailure("1029.xml"), EmergencyHelp()}));
        // The pack loaded before is gone too.
        EXPECT_FALSE(language.IsLoaded());
    }
}

TEST(LanguageTest, PacksInEncodingsTheParserConvertsExactlyLoad) {
    const std::string text = "<frmAbout><Caption>caf\xE9 &amp; &#x17E;</Caption></frmAbout>";
    std::string utf16 = "\xFF\xFE";
    for (char c : "<?xml version=\"1.0\" encoding=\"UTF-16\"?><Vorlix_LanguageFile>" + text +
                      "</Vorlix_LanguageFile>") {
        // Every character here is below U+0100, so its UTF-16 is the byte and a zero.
        utf16 += c;
        utf16 += '\0';
    }
    const std::string packs[] = {
        "<?xml version='1.0' encoding='ISO-8859-1'?><Vorlix_LanguageFile>" + text +
            "</Vorlix_LanguageFile>",
        utf16,
    };
    for (const std::string& pack : packs) {
        TempDir dir;
        dir.Write("1033.xml", pack);
        ScriptedDialogs dialogs;
        Language language(dir.Path());
        language.LoadLanguageFile(1033);
        EXPECT_EQ(language.GetLabel("frmAbout", "Caption"), "café & ž");
        EXPECT_TRUE(dialogs.Seen().empty());
    }
}

TEST(LanguageTest, LookupInADeeplyNestedPackIsRight) {
    // Every <Key> but the last stands outside any section: a lookup that walks
    // up from each of them to look for one takes time in the square of the depth.
    constexpr int kDepth = 100000;
    std::string pack = "<Vorlix_LanguageFile>";
    for (int i = 0; i < kDepth; ++i) pack += "<Key>";
    pack += "<frmAbout><Key>found</Key></frmAbout>";
    for (int i = 0; i < kDepth; ++i) pack += "</Key>";
    pack += "</Vorlix_LanguageFile>";
    TempDir dir;
    dir.Write("1033.xml", pack);
    ScriptedDialogs dialogs;
    Language language(dir.Path());
    language.LoadLanguageFile(1033);
    ASSERT_TRUE(language.IsLoaded());
    EXPECT_EQ(language.GetLabel("frmAbout", "Key"), "found");
    EXPECT_EQ(language.GetLabel("Key", "Key"), "found");
    EXPECT_EQ(language.GetLabel("frmAbout", "Caption"), "");
    EXPECT_EQ(language.GetLabel("Generic", "Key"), "");
}

TEST(LanguageTest, LookupWithoutPackShowsOnlyEmergencyHelpAndEnds) {
    TempDir dir;
    ScriptedDialogs dialogs;
    Language language(dir.Path(), EndOnPackFailure(dialogs));
    EXPECT_EQ(EndStatusOf([&] { language.GetLabel("Head", "LanguageFileNo"); }), kExitFatal);
    EXPECT_EQ(dialogs.Seen(), std::vector<Shown>{EmergencyHelp()});
}

}  // namespace
}  // namespace vorlix
