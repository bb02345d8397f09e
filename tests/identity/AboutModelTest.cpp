#include <gtest/gtest.h>

#include "identity/AboutFixture.h"
#include "identity/AboutModel.h"

namespace vorlix {
namespace {

class AboutModelTest : public ::testing::Test, protected test::AboutPackFixture {
  protected:
    test::YearClock clock{2031};
    AboutModel model{language, clock, test::kManualUrl};
};

TEST_F(AboutModelTest, LoadFillsEveryTextFromPackVersionAndBuild) {
    model.Form_Load();
    const AboutTexts& texts = model.Texts();
    EXPECT_EQ(texts.Caption, "About\u00a0Vorlix");
    EXPECT_EQ(texts.lblTitle, "Vorlix");
    EXPECT_EQ(texts.lblVersion, "Version 1.0.0.22 Alfa");
    EXPECT_EQ(texts.lblBuild, "Build: DB.000022-28.10.2023-13.18.05_VRLX.");
    EXPECT_EQ(texts.lblDescription, "Computes MD5 checksums.");
    EXPECT_EQ(texts.lblDisclaimer,
              "Provided as is.\r\nPurpose: Program pro výpočet MD5 hashe a uložení do souboru – "
              "at your own risk.");
    EXPECT_EQ(texts.hlblURL2, "Licence agreement");
    EXPECT_EQ(texts.hlblURL3, "On-line manual");
    EXPECT_EQ(texts.hlblURL3Url, test::kManualUrl);
    EXPECT_EQ(texts.lblShareTypeProgram, "Licence: Shareware");
    EXPECT_TRUE(texts.lblShareTypeProgramVisible);
    EXPECT_FALSE(texts.hlblURL2Url.empty());
    EXPECT_EQ(texts.hlblURL1, "Web");
    EXPECT_EQ(texts.hlblSupportEmailUrl, "mailto:" + texts.hlblSupportEmail);
}

TEST_F(AboutModelTest, CompanyLineEndsInTheCurrentYear) {
    for (int year : {2031, 2100, 2009}) {
        test::YearClock then(year);
        AboutModel at(language, then, test::kManualUrl);
        at.Form_Load();
        const std::string yy = std::to_string(year).substr(2);
        EXPECT_EQ(at.Texts().lblCompanyName, "Vorlix Copyright © Vorlix Software 20" + yy);
    }
}

TEST_F(AboutModelTest, ClosesOnClickEscapeAndTimerOnly) {
    model.Form_Load();
    EXPECT_TRUE(model.TimerEnabled());
    EXPECT_EQ(model.TimerInterval(), 20000);

    for (int key : {13, 32, 65, 0}) model.Form_KeyDown(key);
    EXPECT_FALSE(model.Closed());
    model.Form_KeyDown(27);
    EXPECT_TRUE(model.Closed());
    EXPECT_FALSE(model.TimerEnabled());

    AboutModel clicked(language, clock, test::kManualUrl);
    clicked.Form_Load();
    clicked.Form_Click();
    EXPECT_TRUE(clicked.Closed());

    AboutModel timedOut(language, clock, test::kManualUrl);
    timedOut.Form_Load();
    timedOut.tmrAutoCloseDialog_Timer();
    EXPECT_TRUE(timedOut.Closed());
    EXPECT_FALSE(timedOut.TimerEnabled());
}

}  // namespace
}  // namespace vorlix
