// SPDX-License-Identifier: GPL-3.0-or-later
// JPEG files with an Exif orientation (cjpeg's pixels with an Exif block put in front)
// must show upright, as ImageMagick shows them when asked to turn them; CMYK files
// written by libjpeg's encoder, with Adobe's marker or with only a JFIF marker, must
// equal djpeg's decode; and the Exif reader must take nothing from a broken block.
#include "platform/rastix/Rastix.h"
#include "platform/rastix/formats/ExifOrientation.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>

#include <string>
#include <tuple>
#include <vector>

using namespace testsupport;

namespace {

// An APP1 Exif block whose first directory holds the orientation (and a tag before it).
std::vector<uint8_t> ExifBlock(int orientation, bool bigEndian)
{
    auto u16 = [bigEndian](std::vector<uint8_t> &b, unsigned v) {
        if (bigEndian)
            b.insert(b.end(), {uint8_t(v >> 8), uint8_t(v)});
        else
            b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)});
    };
    auto u32 = [&](std::vector<uint8_t> &b, uint32_t v) {
        if (bigEndian) {
            u16(b, v >> 16);
            u16(b, v & 0xFFFF);
        } else {
            u16(b, v & 0xFFFF);
            u16(b, v >> 16);
        }
    };
    std::vector<uint8_t> b = {'E', 'x', 'i', 'f', 0, 0};
    b.insert(b.end(), bigEndian ? std::initializer_list<uint8_t>{'M', 'M'}
                                : std::initializer_list<uint8_t>{'I', 'I'});
    u16(b, 42);
    u32(b, 8);
    u16(b, 2);
    u16(b, 271); // Make, ASCII, 4 bytes in the entry
    u16(b, 2);
    u32(b, 4);
    b.insert(b.end(), {'C', 'a', 'm', 0});
    u16(b, 274);
    u16(b, 3);
    u32(b, 1);
    u16(b, unsigned(orientation));
    u16(b, 0);
    u32(b, 0);
    return b;
}

// The JPEG with the block put right after the start marker.
std::vector<uint8_t> WithExif(const std::vector<uint8_t> &jpeg, const std::vector<uint8_t> &exif)
{
    const size_t n = exif.size() + 2;
    std::vector<uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
    out.insert(out.end(), {0xFF, 0xE1, uint8_t(n >> 8), uint8_t(n)});
    out.insert(out.end(), exif.begin(), exif.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

class JpegExifOrientation : public testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(JpegExifOrientation, ShowsThePictureUpright)
{
    if (!HaveTool("cjpeg") || !HaveTool("convert"))
        GTEST_SKIP() << "cjpeg or ImageMagick is missing";
    const auto [orientation, bigEndian] = GetParam();
    TempDir dir;
    const std::string ppm = dir.file("in.ppm"), plain = dir.file("plain.jpg"),
                      jpg = dir.file("turned.jpg"), ref = dir.file("ref.ppm");
    ASSERT_TRUE(WritePpm(ppm, PatternPicture(37, 23)));
    ASSERT_EQ(testsupport::Run("cjpeg -quality 90 " + ppm + " > " + plain + " 2>/dev/null"), 0);
    ASSERT_TRUE(
        WriteFileBytes(jpg, WithExif(ReadFileBytes(plain), ExifBlock(orientation, bigEndian))));
    ASSERT_EQ(testsupport::Run("convert " + jpg + " -auto-orient ppm:" + ref + " 2>/dev/null"), 0);
    const RgbPicture expected = ReadPnm(ref);
    ASSERT_EQ(expected.width, orientation >= 5 ? 23 : 37);

    const RasterImage raster = OpenDib(jpg.c_str());
    ASSERT_NE(raster.Pixels, nullptr) << RasterErrorText(raster);
    EXPECT_EQ(RasterBitCount(raster), 24);
    EXPECT_EQ(FirstDifference(RasterToRgb(raster), expected), "");
    deldib(raster);
}

INSTANTIATE_TEST_SUITE_P(Tools, JpegExifOrientation,
                         testing::Combine(testing::Range(1, 9), testing::Bool()));

TEST(ExifOrientation, ReadsOnlyWellFormedBlocks)
{
    for (bool big : {false, true}) {
        for (int o = 1; o <= 8; ++o) {
            const std::vector<uint8_t> b = ExifBlock(o, big);
            EXPECT_EQ(rastix::ExifOrientation(b.data(), b.size()), o);
            // Cut anywhere before the value: nothing is read past the end.
            for (size_t n = 0; n + 8 < b.size(); ++n)
                EXPECT_EQ(rastix::ExifOrientation(b.data(), n), 1) << n;
        }
    }
    std::vector<uint8_t> b = ExifBlock(6, false);
    std::vector<uint8_t> wrongType = b, tooMany = b, outOfRange = b, farDirectory = b;
    wrongType[6 + 8 + 2 + 12 + 2] = 4;  // LONG instead of SHORT
    tooMany[6 + 8 + 2 + 12 + 4] = 2;    // two values
    outOfRange[6 + 8 + 2 + 12 + 8] = 9; // no such orientation
    farDirectory[6 + 4] = 0xF0;         // directory past the block
    for (const auto &broken : {wrongType, tooMany, outOfRange, farDirectory})
        EXPECT_EQ(rastix::ExifOrientation(broken.data(), broken.size()), 1);
    const uint8_t notExif[] = "Exif\0\0XX*\0\0\0\0\0";
    EXPECT_EQ(rastix::ExifOrientation(notExif, sizeof notExif), 1);
    EXPECT_EQ(rastix::ExifOrientation(nullptr, 0), 1);
}

enum class CmykMarker { Adobe, JfifOnly, AdobeYcck };

// A CMYK JPEG written by libjpeg from the picture's inks, stored inverted as Adobe's
// programs store them.
std::vector<uint8_t> CmykJpeg(const RgbPicture &picture, CmykMarker marker)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(picture.width);
    info.image_height = JDIMENSION(picture.height);
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, marker == CmykMarker::AdobeYcck ? JCS_YCCK : JCS_CMYK);
    if (marker == CmykMarker::JfifOnly) {
        info.write_Adobe_marker = FALSE;
        info.write_JFIF_header = TRUE;
    }
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(size_t(picture.width) * 4);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const int r = picture.r(x, y), g = picture.g(x, y), b = picture.b(x, y);
            const int k = 255 - std::max({r, g, b});
            // Inverted storage: 255 - ink.
            row[size_t(x) * 4] = uint8_t(255 - (255 - r - k) * 255 / std::max(1, 255 - k));
            row[size_t(x) * 4 + 1] = uint8_t(255 - (255 - g - k) * 255 / std::max(1, 255 - k));
            row[size_t(x) * 4 + 2] = uint8_t(255 - (255 - b - k) * 255 / std::max(1, 255 - k));
            row[size_t(x) * 4 + 3] = uint8_t(255 - k);
        }
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&info, &p, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

class JpegCmykMarkers : public testing::TestWithParam<CmykMarker> {};

TEST_P(JpegCmykMarkers, EqualDjpegWhicheverMarkerTheFileCarries)
{
    if (!HaveTool("djpeg"))
        GTEST_SKIP() << "djpeg is not installed";
    TempDir dir;
    const std::string jpg = dir.file("cmyk.jpg"), ref = dir.file("ref.ppm");
    const RgbPicture picture = PatternPicture(37, 23);
    ASSERT_TRUE(WriteFileBytes(jpg, CmykJpeg(picture, GetParam())));
    ASSERT_EQ(testsupport::Run("djpeg -pnm " + jpg + " > " + ref + " 2>/dev/null"), 0);
    const RgbPicture expected = ReadPnm(ref);
    ASSERT_EQ(expected.width, 37);

    const RasterImage raster = OpenDib(jpg.c_str());
    ASSERT_NE(raster.Pixels, nullptr) << RasterErrorText(raster);
    const RgbPicture got = RasterToRgb(raster);
    deldib(raster);
    EXPECT_EQ(FirstDifference(got, expected), "");
    // Shown normally, not almost black: on average close to the picture that was written
    // (YCCK's subsampled chroma blurs the noisy pattern too much for this).
    if (GetParam() == CmykMarker::AdobeYcck)
        return;
    ASSERT_EQ(got.rgb.size(), picture.rgb.size());
    double difference = 0;
    for (size_t i = 0; i < got.rgb.size(); ++i)
        difference += std::abs(int(got.rgb[i]) - int(picture.rgb[i]));
    EXPECT_LT(difference / double(got.rgb.size()), 12.0);
}

INSTANTIATE_TEST_SUITE_P(Libjpeg, JpegCmykMarkers,
                         testing::Values(CmykMarker::Adobe, CmykMarker::JfifOnly,
                                         CmykMarker::AdobeYcck));

} // namespace
