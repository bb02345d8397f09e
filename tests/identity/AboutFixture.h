#pragma once

#include <ctime>
#include <string>

#include "language/Language.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "util/Clock.h"

namespace vorlix::test {

// A clock stopped at noon on 1 July of a chosen year.
class YearClock final : public Clock {
  public:
    explicit YearClock(int year) : year_(year) {}
    std::chrono::steady_clock::time_point Monotonic() const override { return {}; }
    std::tm LocalNow() const override {
        std::tm now{};
        now.tm_year = year_ - 1900;
        now.tm_mon = 6;
        now.tm_mday = 1;
        now.tm_hour = 12;
        return now;
    }

  private:
    int year_;
};

// A pack with the About window's labels, each telling where it came from.
inline std::string AboutPack() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Vorlix_LanguageFile>\n"
           "<Head><LanguageFileNo>1033</LanguageFileNo></Head>\n"
           "<frmOptions><Caption>Options</Caption></frmOptions>\n"
           "<frmAbout>\n"
           "  <Caption>About&#160;</Caption>\n"
           "  <Version>Version</Version>\n"
           "  <lblCompanyName>Copyright ©</lblCompanyName>\n"
           "  <lblDescription>Computes MD5 checksums.</lblDescription>\n"
           "  <lblDisclaimer>Provided as is.</lblDisclaimer>\n"
           "  <lblDisclaimer2>Purpose:</lblDisclaimer2>\n"
           "  <lblDisclaimer3>– at your own risk.</lblDisclaimer3>\n"
           "  <hlblURL2>Licence agreement</hlblURL2>\n"
           "  <hlblURL3>On-line manual</hlblURL3>\n"
           "  <lblShareTypeProgram>Licence:</lblShareTypeProgram>\n"
           "</frmAbout>\n</Vorlix_LanguageFile>\n";
}

inline constexpr const char* kManualUrl =
    "https://www.vorlix.net/downloads/vorlix/1.0.0.22/vorlix.pdf";

// An English pack loaded from a folder of its own.
struct AboutPackFixture {
    AboutPackFixture() {
        folder.Write("Languages/1033.xml", AboutPack());
        language.LoadLanguageFile(1033);
    }
    TempDir folder;
    ScriptedDialogs dialogs;
    Language language{folder.Path() / "Languages"};
};

}  // namespace vorlix::test
