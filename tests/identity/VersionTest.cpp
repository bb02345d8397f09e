#include <gtest/gtest.h>

#include <cctype>

#include "identity/ProductInfo.h"
#include "identity/Version.h"

namespace vorlix {
namespace {

TEST(VersionTest, ThisBuild) {
    EXPECT_EQ(VersionString(), "1.0.0.22");
    EXPECT_EQ(BuildString(), "DB.000022-28.10.2023-13.18.05_VRLX.");
    EXPECT_EQ(ProductInfo::OfThisBuild().productVersion, "1.00.0022");
}

TEST(VersionTest, DayMarkChangesAtSixAndAfterEighteen) {
    const struct {
        const char* time;
        const char* mark;
    } cases[] = {{"00.00.00", "NB"}, {"05.59.59", "NB"}, {"06.00.00", "DB"},
                 {"18.59.59", "DB"}, {"19.00.00", "NB"}, {"23.10.00", "NB"}};
    for (const auto& c : cases) EXPECT_EQ(DayMark(c.time), c.mark) << c.time;
}

TEST(VersionTest, RevisionIsPaddedToSixDigitsInBuildButNotInVersion) {
    EXPECT_EQ(FormatVersion(2, 10, 0), "2.10.0.0");
    EXPECT_EQ(FormatBuild("05.00.00", "01.02.2024", 0, "VRLX"),
              "NB.000000-01.02.2024-05.00.00_VRLX.");
    EXPECT_EQ(FormatBuild("12.00.00", "01.02.2024", 9999, "VRLX"),
              "DB.009999-01.02.2024-12.00.00_VRLX.");
}

TEST(VersionTest, CompanyEndsInTwoDigitYear) {
    const std::string company = ProductInfo::OfThisBuild().companyName;
    ASSERT_GE(company.size(), 2u);
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(company[company.size() - 1])));
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(company[company.size() - 2])));
}

}  // namespace
}  // namespace vorlix
