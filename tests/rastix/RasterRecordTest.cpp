// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/Rastix.h"

#include <gtest/gtest.h>

TEST(PowerOfTwo, NonPositiveGivesOne)
{
    EXPECT_EQ(PowerOfTwo(0), 1);
    EXPECT_EQ(PowerOfTwo(-5), 1);
    EXPECT_EQ(PowerOfTwo(24), 16777216);
}
