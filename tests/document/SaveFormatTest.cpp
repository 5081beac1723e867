// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/SaveFormat.h"

#include <gtest/gtest.h>

namespace {

struct FormatCase {
    const char *name;
    const char *format; // empty: refused
    int quality;
};

class SaveFormatForTest : public testing::TestWithParam<FormatCase> {};

TEST_P(SaveFormatForTest, ExtensionAloneNamesTheFormat)
{
    const FormatCase &c = GetParam();
    const auto f = document::SaveFormatFor(QString::fromUtf8(c.name));
    if (*c.format == 0) {
        EXPECT_FALSE(f) << c.name;
        return;
    }
    ASSERT_TRUE(f) << c.name;
    EXPECT_EQ(f->Format, QByteArray(c.format));
    EXPECT_EQ(f->Quality, c.quality);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SaveFormatForTest,
    testing::Values(FormatCase{"a.png", "png", -1}, FormatCase{"A.PNG", "png", -1},
                    FormatCase{"b.bmp", "bmp", -1}, FormatCase{"c.DIB", "bmp", -1},
                    FormatCase{"d.jpg", "jpeg", 95}, FormatCase{"e.JPEG", "jpeg", 95},
                    FormatCase{"f.jif", "jpeg", 95}, FormatCase{"g.tif", "tiff", -1},
                    FormatCase{"h.TIFF", "tiff", -1}, FormatCase{"holiday.2024.png", "png", -1},
                    FormatCase{"/tmp/x.png/picture", "", 0}, FormatCase{"picture", "", 0},
                    FormatCase{"x.gif", "", 0}, FormatCase{"x.png.txt", "", 0},
                    FormatCase{"x.", "", 0}));

} // namespace
