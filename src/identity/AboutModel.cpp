#include "identity/AboutModel.h"

#include <utility>

#include "identity/ProductInfo.h"
#include "identity/Version.h"
#include "language/Language.h"
#include "ui/Links.h"
#include "util/Clock.h"

namespace vorlix {

namespace {

constexpr const char* kSection = "frmAbout";
constexpr const char* kSupportEmail = "support@vorlix.net";
constexpr const char* kFreewareLicence = "https://www.vorlix.net/licence/freeware/";

}  // namespace

AboutModel::AboutModel(const Language& language, const Clock& clock, std::string manualUrl)
    : language_(language), clock_(clock), manualUrl_(std::move(manualUrl)) {
    texts_.hlblLogoUrl = links::kHomePage;
    texts_.hlblURL1Url = links::kHomePage;
    texts_.hlblSupportEmail = kSupportEmail;
    texts_.hlblSupportEmailUrl = std::string("mailto:") + kSupportEmail;
}

void AboutModel::Form_Load() {
    const ProductInfo product = ProductInfo::OfThisBuild();
    auto label = [this](const char* key) { return language_.GetLabel(kSection, key); };

    texts_.Caption = label("Caption") + product.productName;
    texts_.lblVersion = VersionString();
    texts_.lblBuild = texts_.lblBuild + ": " + BuildString();
    // Every version of this line of the program is marked as an alpha.
    texts_.lblVersion = label("Version") + " " + texts_.lblVersion + " Alfa";
    texts_.lblTitle = product.productName;

    // The company field ends in the year of the release; the line shows the
    // current one instead.
    const std::string year = std::to_string(clock_.LocalNow().tm_year + 1900);
    const std::string& company = product.companyName;
    texts_.lblCompanyName = product.productName + " " + label("lblCompanyName") + " " +
                            company.substr(0, company.size() >= 2 ? company.size() - 2 : 0) +
                            year.substr(year.size() >= 4 ? 2 : 0, 2);

    texts_.lblDescription = label("lblDescription");
    texts_.lblDisclaimer = label("lblDisclaimer") + "\r\n" + label("lblDisclaimer2") + " " +
                           product.comments + " " + label("lblDisclaimer3");
    texts_.hlblURL2 = label("hlblURL2");
    texts_.hlblURL3 = label("hlblURL3");
    texts_.hlblURL3Url = manualUrl_;
    ShowProgramType();

    timerInterval_ = kAutoCloseMilliseconds;
    timerEnabled_ = true;
}

void AboutModel::ShowProgramType() {
    texts_.lblShareTypeProgramVisible = true;
    texts_.lblShareTypeProgram = language_.GetLabel(kSection, "lblShareTypeProgram") + " Shareware";
    texts_.hlblURL2Url = kFreewareLicence;
}

void AboutModel::Form_Click() { CloseAbout(); }

void AboutModel::Form_KeyDown(int keyCode) {
    if (keyCode == kEscapeKeyCode) CloseAbout();
}

void AboutModel::tmrAutoCloseDialog_Timer() {
    timerEnabled_ = false;
    CloseAbout();
}

void AboutModel::CloseAbout() {
    closed_ = true;
    timerEnabled_ = false;
}

}  // namespace vorlix
