#include <gtest/gtest.h>

#include "ui/EmergencyHelp.h"

namespace vorlix {
namespace {

// 441 x 210 pixels: the window's design size.
TEST(EmergencyHelpPlace, DesignPlaceWhenTheWholeWindowFitsCentredOtherwise) {
    const struct {
        WindowBox screen;
        WindowBox expected;
    } cases[] = {
        {{0, 0, 1920, 1080}, {723, 384, 441, 210}},
        {{0, 0, 1164, 594}, {723, 384, 441, 210}},  // just fits
        {{0, 0, 1163, 594}, {361, 192, 441, 210}},  // one pixel short on the right
        {{0, 0, 1164, 593}, {361, 191, 441, 210}},  // one pixel short at the bottom
        {{0, 0, 800, 600}, {179, 195, 441, 210}},
        {{0, 400, 1920, 680}, {739, 635, 441, 210}},  // a panel above covers the place
        {{800, 0, 1280, 1024}, {1219, 407, 441, 210}},
        {{0, 0, 320, 200}, {-60, -5, 441, 210}},  // smaller than the window
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.screen.left << "," << c.screen.top << " "
                                        << c.screen.width << "x" << c.screen.height);
        const WindowBox place = EmergencyHelpPlace(c.screen, 441, 210);
        EXPECT_EQ(place.left, c.expected.left);
        EXPECT_EQ(place.top, c.expected.top);
        EXPECT_EQ(place, c.expected);
    }
}

}  // namespace
}  // namespace vorlix
