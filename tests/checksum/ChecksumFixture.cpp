#include "ChecksumFixture.h"

#include "checksum/ChecksumFile.h"
#include "identity/Version.h"

namespace vorlix::test {
namespace {

std::string PackXml() {
    const char* frmVorlix[] = {"lblFileSource", "cmdlgMD5File",   "cmdlgTitle2",    "msgbox1Text1",
                               "msgbox2Text1",  "msgbox2Text2",   "msgbox2Caption", "msgbox3Text1",
                               "msgbox4Text1",  "msgbox4Text2",   "msgbox5Text1",   "msgbox5Text2",
                               "msgbox6Text1",  "msgbox6Caption", "msgbox7Text1",   "msgbox7Text2",
                               "msgbox8Text1",  "msgbox8Text2",   "msgbox9Text1",   "msgbox9Text2",
                               "msgbox9Text3"};
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Vorlix_LanguageFile>\n"
        "<Head><LanguageFileNo>1033</LanguageFileNo></Head>\n"
        "<Generic><SaveChangesCaption>T:SaveChangesCaption</SaveChangesCaption></Generic>\n"
        "<frmVorlix>\n";
    for (const char* key : frmVorlix) {
        xml += std::string("<") + key + ">T:" + key + "</" + key + ">\n";
    }
    xml += "</frmVorlix>\n<modSaveFile>\n";
    for (const char* key : {"saveIsDataFile", "saveInsideFolder", "savePlantedLink"}) {
        xml += std::string("<") + key + ">T:" + key + "</" + key + ">\n";
    }
    xml += "</modSaveFile>\n<modChecksumList>\n";
    for (const char* key : {"folderCaption", "folderText1", "folderNotFound", "folderEmpty",
                            "folderSavedTo", "folderRecorded", "folderBytes", "folderLeftOut"}) {
        xml += std::string("<") + key + ">T:" + key + "</" + key + ">\n";
    }
    return xml + "</modChecksumList>\n</Vorlix_LanguageFile>\n";
}

}  // namespace

std::tm FixedClock::LocalNow() const {
    std::tm now{};
    now.tm_year = 2024 - 1900;
    now.tm_mon = 2;
    now.tm_mday = 5;
    now.tm_hour = 9;
    now.tm_min = 7;
    now.tm_sec = 2;
    now.tm_wday = 2;
    return now;
}

ChecksumTest::ChecksumTest() : language(packDir.Path() / "Languages") {
    packDir.Write("Languages/1033.xml", PackXml());
    language.LoadLanguageFile(1033);
}

std::string FixedCommentLine() {
    return "# Created Vorlix " + VersionString() + ", " + BuildString() + " 05-03-2024 09:07:02 ";
}

}  // namespace vorlix::test
