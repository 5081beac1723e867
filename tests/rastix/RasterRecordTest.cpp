// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/Rastix.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace {

class PowerOfTwoTable : public testing::TestWithParam<std::pair<int32_t, int32_t>> {};

TEST_P(PowerOfTwoTable, DoublesOneNTimes)
{
    EXPECT_EQ(PowerOfTwo(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Values, PowerOfTwoTable,
                         testing::Values(std::pair{0, 1}, std::pair{-1, 1}, std::pair{-5, 1},
                                         std::pair{INT32_MIN, 1}, std::pair{1, 2}, std::pair{4, 16},
                                         std::pair{8, 256}, std::pair{24, 16777216},
                                         std::pair{30, 1 << 30}));

class ColourCountTable : public testing::TestWithParam<std::pair<int32_t, int32_t>> {};

TEST_P(ColourCountTable, FollowsTheDepth)
{
    RasterImage raster = newdib(3, 2, GetParam().first, nullptr, 0);
    ASSERT_NE(raster.Pixels, nullptr);
    EXPECT_EQ(RasterColourCount(raster), GetParam().second);
    // Only true-colour rasters count as having more than 256 colours.
    EXPECT_EQ(RasterColourCount(raster) > 256, GetParam().first == 24);
    deldib(raster);
}

INSTANTIATE_TEST_SUITE_P(Depths, ColourCountTable,
                         testing::Values(std::pair{1, 2}, std::pair{4, 16}, std::pair{8, 256},
                                         std::pair{24, 16777216}));

TEST(RasterHelpers, ReadZeroFromAnEmptyRecord)
{
    const RasterImage empty;
    EXPECT_EQ(RasterWidth(empty), 0);
    EXPECT_EQ(RasterHeight(empty), 0);
    EXPECT_EQ(RasterBitCount(empty), 0);
    EXPECT_EQ(RasterColourCount(empty), 1);
    EXPECT_EQ(RasterImageSize(empty), 0u);
    EXPECT_EQ(RasterErrorText(empty), "");
}

TEST(RasterHelpers, ErrorTextIsCutAtTheAreaEvenWithoutTerminator)
{
    RasterImage raster;
    std::memset(raster.Palette.palPalEntry, 'x', sizeof raster.Palette.palPalEntry);
    EXPECT_EQ(RasterErrorText(raster).size(), sizeof raster.Palette.palPalEntry);
}

} // namespace
