// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/PictureLoader.h"

#include "platform/rastix/Rastix.h"
#include "platform/rastix/formats/Decoder.h"
#include "support/BmpBuilder.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

namespace {

using document::DocumentRasters;
using document::LoadMessage;
using document::LoadResult;

// A document as the program holds it before loading: an edited 24-bit pair.
DocumentRasters EditedDocument()
{
    DocumentRasters d{newdib(320, 200, 24, nullptr, 0), newdib(320, 200, 24, nullptr, 0)};
    std::memset(d.Source.Pixels, 255, RasterImageSize(d.Source));
    std::memset(d.Work.Pixels, 255, RasterImageSize(d.Work));
    d.Work.Pixels[7] = 42; // a brush stroke
    return d;
}

bool SamePixels(const RasterImage &a, const RasterImage &b)
{
    return RasterImageSize(a) == RasterImageSize(b)
           && std::memcmp(a.Pixels, b.Pixels, RasterImageSize(a)) == 0;
}

// Tracks every raster the loader creates or receives and every one it releases.
// The rasters made and released through the seams. A raster released may leave its
// address to the next one made, so what is alive is followed in order (live), and a
// release of a raster not alive is noted (strayRelease).
struct Ledger {
    std::multiset<uintptr_t> created;
    std::multiset<uintptr_t> released;
    std::multiset<uintptr_t> live;
    bool strayRelease = false;
    int failAllocation = -1; // 0-based index of the allocation to refuse
    int allocations = 0;
    RasterImage toOpen;

    document::RasterLibrary Seams()
    {
        document::RasterLibrary s;
        s.OpenDib = [this](const std::string &, void *) {
            if (toOpen.Storage) {
                created.insert(toOpen.Storage);
                live.insert(toOpen.Storage);
            }
            return toOpen;
        };
        s.NewDib = [this](int32_t w, int32_t h, int32_t b, const void *src, int32_t n) {
            if (allocations++ == failAllocation)
                return RasterImage{};
            RasterImage r = newdib(w, h, b, src, n);
            created.insert(r.Storage);
            live.insert(r.Storage);
            return r;
        };
        s.DelDib = [this](const RasterImage &r) {
            released.insert(r.Storage);
            if (const auto at = live.find(r.Storage); at != live.end())
                live.erase(at);
            else
                strayRelease = true;
            deldib(r);
        };
        return s;
    }
};

TEST(LoadErrorMessage, TitleNamesTheFile)
{
    EXPECT_EQ(document::LoadErrorTitle("/tmp/a b.png"),
              "Error: The file /tmp/a b.png could not be loaded!");
}

struct MessageCase {
    const char *errorText;
    bool shown;
};

class OpenFailureMessageTest : public testing::TestWithParam<MessageCase> {};

TEST_P(OpenFailureMessageTest, TextLongerThanFiveCharactersIsShownUnderTheTitle)
{
    const MessageCase &c = GetParam();
    const LoadMessage m = document::OpenFailureMessage("x.bmp", c.errorText);
    const std::string title = "Error: The file x.bmp could not be loaded!";
    if (c.shown)
        EXPECT_EQ(m, (LoadMessage{c.errorText, title}));
    else
        EXPECT_EQ(m, (LoadMessage{title, "Error"}));
}

INSTANTIATE_TEST_SUITE_P(Table, OpenFailureMessageTest,
                         testing::Values(MessageCase{"", false}, MessageCase{"abc", false},
                                         MessageCase{"12345", false}, MessageCase{"123456", true},
                                         MessageCase{"The picture is damaged: short row", true}));

TEST(LoadPicture, FailedOpenKeepsTheDocumentAndReportsTheLibraryText)
{
    const DocumentRasters before = EditedDocument();
    Ledger ledger;
    ledger.toOpen = rastix::FailedRaster("The picture is damaged: truncated");
    std::vector<int32_t> progress;
    const LoadResult r = document::LoadPicture(
        before, "bad.bmp", nullptr, [&](int32_t p) { progress.push_back(p); }, ledger.Seams());
    EXPECT_FALSE(r.Loaded);
    EXPECT_EQ(r.Rasters.Source.Pixels, before.Source.Pixels);
    EXPECT_EQ(r.Rasters.Work.Pixels, before.Work.Pixels);
    EXPECT_EQ(r.Rasters.Work.Pixels[7], 42);
    EXPECT_EQ(r.Message, (LoadMessage{"The picture is damaged: truncated",
                                      "Error: The file bad.bmp could not be loaded!"}));
    EXPECT_TRUE(ledger.released.empty());
    EXPECT_TRUE(progress.empty()) << "a failed open leaves the progress alone";
    deldib(before.Source);
    deldib(before.Work);
}

struct ResourceCase {
    const char *name;
    int32_t bits;
    int failAllocation; // which loader allocation is refused
};

class LoadPictureResourceTest : public testing::TestWithParam<ResourceCase> {};

TEST_P(LoadPictureResourceTest, KeepsPreviousPictureAndReleasesEverythingItMade)
{
    const ResourceCase &c = GetParam();
    const DocumentRasters before = EditedDocument();
    Ledger ledger;
    ledger.toOpen = newdib(40, 30, c.bits, nullptr, 0);
    ledger.failAllocation = c.failAllocation;
    std::vector<int32_t> progress;
    const LoadResult r = document::LoadPicture(
        before, "big.bmp", nullptr, [&](int32_t p) { progress.push_back(p); }, ledger.Seams());

    EXPECT_FALSE(r.Loaded);
    EXPECT_EQ(r.Rasters.Source.Storage, before.Source.Storage);
    EXPECT_EQ(r.Rasters.Work.Storage, before.Work.Storage);
    EXPECT_EQ(r.Rasters.Work.Pixels[7], 42);
    EXPECT_EQ(r.Message.Caption, "Error: The file big.bmp could not be loaded!");
    EXPECT_GT(r.Message.Text.size(), 5u);
    // Everything the load created or received is released once, nothing else.
    EXPECT_EQ(ledger.released, ledger.created);
    EXPECT_EQ(ledger.released.count(before.Source.Storage), 0u);
    EXPECT_EQ(ledger.released.count(before.Work.Storage), 0u);
    if (!progress.empty()) {
        EXPECT_EQ(progress.back(), 0);
    }
    deldib(before.Source);
    deldib(before.Work);
}

INSTANTIATE_TEST_SUITE_P(Cases, LoadPictureResourceTest,
                         testing::Values(ResourceCase{"ConversionTarget8", 8, 0},
                                         ResourceCase{"ConversionTarget1", 1, 0},
                                         ResourceCase{"WorkCopyAfterConversion", 4, 1},
                                         ResourceCase{"WorkCopyOf24Bit", 24, 0}),
                         [](const testing::TestParamInfo<ResourceCase> &p) {
                             return std::string(p.param.name);
                         });

TEST(LoadPicture, SuccessReleasesOldPairAndKeepsNothingElse)
{
    const DocumentRasters before = EditedDocument();
    Ledger ledger;
    ledger.live.insert(before.Source.Storage);
    ledger.live.insert(before.Work.Storage);
    ledger.toOpen = newdib(9, 4, 8, nullptr, 0);
    const LoadResult r = document::LoadPicture(before, "ok.bmp", nullptr, {}, ledger.Seams());
    ASSERT_TRUE(r.Loaded);
    // Released: the old pair and the 8-bit record the conversion replaced, each once.
    EXPECT_FALSE(ledger.strayRelease) << "released twice or never made";
    EXPECT_EQ(ledger.live,
              (std::multiset<uintptr_t>{r.Rasters.Source.Storage, r.Rasters.Work.Storage}));
    EXPECT_GE(ledger.released.count(before.Source.Storage), 1u);
    EXPECT_GE(ledger.released.count(before.Work.Storage), 1u);
    deldib(r.Rasters.Source);
    deldib(r.Rasters.Work);
}

class LoadPictureFileTest : public testing::TestWithParam<int32_t> {};

TEST_P(LoadPictureFileTest, BothRastersAre24BitCopiesOfTheConvertedFile)
{
    const int32_t bits = GetParam();
    const testsupport::Picture picture = testsupport::Pattern(13, 6, bits);
    testsupport::TempDir dir;
    const std::string name = dir.file("picture.bmp");
    ASSERT_TRUE(testsupport::WriteFileBytes(name, testsupport::MakeBmp(picture)));

    const DocumentRasters before = EditedDocument();
    std::vector<int32_t> progress;
    const LoadResult r =
        document::LoadPicture(before, name, nullptr, [&](int32_t p) { progress.push_back(p); });
    ASSERT_TRUE(r.Loaded) << r.Message.Text;
    const RasterImage &s = r.Rasters.Source;
    const RasterImage &w = r.Rasters.Work;
    EXPECT_EQ(RasterBitCount(s), 24);
    EXPECT_EQ(RasterBitCount(w), 24);
    EXPECT_EQ(RasterWidth(w), 13);
    EXPECT_EQ(RasterHeight(w), 6);
    EXPECT_EQ(s.Stride, w.Stride);
    EXPECT_NE(s.Pixels, w.Pixels);
    EXPECT_TRUE(SamePixels(s, w));
    const testsupport::RgbPicture rgb = testsupport::RasterToRgb(w);
    for (int32_t y = 0; y < 6; ++y) {
        for (int32_t x = 0; x < 13; ++x) {
            const testsupport::Rgb e = testsupport::Expected(picture, x, y);
            ASSERT_EQ((testsupport::Rgb{rgb.r(x, y), rgb.g(x, y), rgb.b(x, y)}), e)
                << x << "," << y;
        }
    }
    if (bits == 24)
        EXPECT_EQ(progress, (std::vector<int32_t>{0, 0})) << "nothing to convert";
    else
        EXPECT_EQ(progress.size(), 8u);
    deldib(s);
    deldib(w);
}

INSTANTIATE_TEST_SUITE_P(Depths, LoadPictureFileTest, testing::Values(1, 4, 8, 24));

TEST(LoadPicture, MissingFileGivesTheLibraryTextUnderTheTitle)
{
    const DocumentRasters before = EditedDocument();
    testsupport::TempDir dir;
    const std::string name = dir.file("missing.png");
    const LoadResult r = document::LoadPicture(before, name, nullptr, {});
    EXPECT_FALSE(r.Loaded);
    EXPECT_EQ(r.Rasters.Work.Pixels, before.Work.Pixels);
    EXPECT_EQ(r.Message.Caption, document::LoadErrorTitle(name));
    EXPECT_GT(r.Message.Text.size(), 5u);
    deldib(before.Source);
    deldib(before.Work);
}

} // namespace
