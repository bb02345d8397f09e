#pragma once

#include <string>

namespace vorlix {

class Clock;
class Language;

// Everything the About window shows, with the addresses its links open.
struct AboutTexts {
    std::string Caption = "O programu";
    std::string lblTitle = "Název aplikace";
    std::string lblVersion = "Verze";
    std::string lblBuild = "Build";
    std::string lblDescription = "Popis aplikace ...";
    std::string lblDisclaimer = "Upozornění";
    std::string lblShareTypeProgram = "Program je ";
    bool lblShareTypeProgramVisible = false;
    std::string lblCompanyName = "CompanyName";
    std::string hlblLogoUrl;
    std::string hlblSupportEmail;  // the address is its own caption
    std::string hlblSupportEmailUrl;
    std::string hlblURL1 = "Web";
    std::string hlblURL1Url;
    std::string hlblURL2 = "Licenční ujednání";
    std::string hlblURL2Url;
    std::string hlblURL3 = "On-Line manual";
    std::string hlblURL3Url;
};

// The behaviour of the About window frmAbout, without any widget: the texts
// of its load step and the triggers that close it.
class AboutModel {
  public:
    static constexpr int kAutoCloseMilliseconds = 20000;
    static constexpr int kEscapeKeyCode = 27;
    // Corner ellipses of the window's outline, in device pixels.
    static constexpr int kCornerEllipsePixels = 75;

    // manualUrl: the address of the main window's on-line manual link.
    AboutModel(const Language& language, const Clock& clock, std::string manualUrl);

    // The load step: every text, the program type, the timer started.
    void Form_Load();

    // A click on the window or on one of its plain labels. Links open their
    // address instead and leave the window open.
    void Form_Click();
    void Form_KeyDown(int keyCode);
    void tmrAutoCloseDialog_Timer();

    const AboutTexts& Texts() const { return texts_; }
    bool Closed() const { return closed_; }
    bool TimerEnabled() const { return timerEnabled_; }
    int TimerInterval() const { return timerInterval_; }

  private:
    void ShowProgramType();
    void CloseAbout();

    const Language& language_;
    const Clock& clock_;
    std::string manualUrl_;
    AboutTexts texts_;
    bool closed_ = false;
    bool timerEnabled_ = false;
    int timerInterval_ = 0;
};

}  // namespace vorlix
