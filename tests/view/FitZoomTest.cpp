// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/FitZoom.h"

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr view::ZoomSteps kZoomField{10, 1000, 10};

// Every zoom of the field from the top down, the first whose view fits.
int32_t ReferenceFit(int32_t width, int32_t height, int32_t areaWidth, int32_t areaHeight)
{
    for (int32_t zoom = 1000; zoom >= 10; zoom -= 10)
        if (int64_t(width) * zoom / 100 <= areaWidth && int64_t(height) * zoom / 100 <= areaHeight)
            return zoom;
    return 10;
}

struct FitCase {
    int32_t width, height, areaWidth, areaHeight, expected;
};

class FitZoomCases : public testing::TestWithParam<FitCase> {};

TEST_P(FitZoomCases, WorkedExamples)
{
    const FitCase &c = GetParam();
    EXPECT_EQ(view::FitZoom(c.width, c.height, c.areaWidth, c.areaHeight, kZoomField), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FitZoomCases,
    testing::Values(
        // A 24 MP scan in a 1000 x 700 area: 6000 at 16 % would be 960, 4000 is 640.
        FitCase{6000, 4000, 1000, 700, 10}, FitCase{6000, 4000, 1200, 900, 20},
        // Exactly fitting counts; one pixel short does not.
        FitCase{640, 480, 640, 480, 100}, FitCase{640, 480, 639, 480, 90},
        // The truncated size counts: 101 at 150 is 151.
        FitCase{101, 10, 151, 100, 150}, FitCase{101, 10, 150, 100, 140},
        // A small picture stops at the largest zoom; nothing fitting gives the smallest.
        FitCase{20, 10, 5000, 5000, 1000}, FitCase{30000, 100, 500, 500, 10},
        FitCase{100, 100, -1, 50, 10}, FitCase{0, 0, 100, 100, 1000}));

TEST(FitZoom, MatchesTheReference)
{
    std::mt19937 random(6000);
    for (int i = 0; i < 20000; ++i) {
        const int32_t w = std::uniform_int_distribution<int32_t>(1, 12000)(random);
        const int32_t h = std::uniform_int_distribution<int32_t>(1, 12000)(random);
        const int32_t aw = std::uniform_int_distribution<int32_t>(0, 3000)(random);
        const int32_t ah = std::uniform_int_distribution<int32_t>(0, 3000)(random);
        ASSERT_EQ(view::FitZoom(w, h, aw, ah, kZoomField), ReferenceFit(w, h, aw, ah))
            << w << " x " << h << " in " << aw << " x " << ah;
    }
}

} // namespace
