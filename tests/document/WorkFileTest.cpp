// SPDX-License-Identifier: GPL-3.0-or-later
// Work files: written and read back, both rasters byte for byte and the state as it was,
// over sizes from one pixel up and over grey and coloured originals; the archive as
// python's zipfile, ElementTree and ImageMagick see it; OpenRaster files of other
// programs, with a merged image and without.
#include "document/ReadWorkFile.h"
#include "document/SaveWorkFile.h"
#include "document/WorkStateJson.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <fstream>
#include <random>

using testsupport::RgbPicture;

namespace {

RasterImage Raster(const RgbPicture &p)
{
    RasterImage r = newdib(p.width, p.height, 24, nullptr, 0);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            setpixel(r, x, y, p.r(x, y) + 256u * p.g(x, y) + 65536u * p.b(x, y));
    return r;
}

RgbPicture Noise(int w, int h, std::mt19937 &rng, bool grey)
{
    RgbPicture p{w, h, {}};
    for (int i = 0; i < w * h; ++i) {
        const uint8_t v = uint8_t(rng());
        p.rgb.push_back(v);
        p.rgb.push_back(grey ? v : uint8_t(rng()));
        p.rgb.push_back(grey ? v : uint8_t(rng()));
    }
    return p;
}

QByteArray Encode(const RasterImage &source, const RasterImage &work,
                  const document::WorkState &state = {})
{
    QString error;
    const QByteArray bytes = document::EncodeWorkFile(source, work, state, {}, error);
    EXPECT_FALSE(bytes.isEmpty()) << error.toStdString();
    return bytes;
}

document::WorkFileContent Read(const QByteArray &bytes)
{
    return document::ReadWorkFile(reinterpret_cast<const uint8_t *>(bytes.constData()),
                                  size_t(bytes.size()));
}

void Release(const document::WorkFileContent &c)
{
    if (c.Read) {
        deldib(c.Rasters.Source);
        deldib(c.Rasters.Work);
    }
}

TEST(WorkFile, RoundTripKeepsBothRastersAndTheState)
{
    std::mt19937 rng(11);
    const std::pair<int, int> sizes[] = {{1, 1}, {1, 7}, {300, 2}, {257, 3}, {64, 64}, {33, 300}};
    for (const auto &[w, h] : sizes)
        for (const bool grey : {true, false}) {
            const RgbPicture original = Noise(w, h, rng, grey);
            const RgbPicture colour = Noise(w, h, rng, false);
            RasterImage source = Raster(original);
            RasterImage work = Raster(colour);
            document::WorkState state;
            state.Hue = int32_t(rng() % 256);
            state.Saturation = int32_t(rng() % 256);
            state.Brightness = int32_t(rng() % 201) - 100;
            state.Erase = rng() % 2;
            state.Zoom = 10 + int32_t(rng() % 991);

            const document::WorkFileContent read = Read(Encode(source, work, state));
            ASSERT_TRUE(read.Read) << read.Error << " at " << w << " x " << h;
            EXPECT_TRUE(read.Work);
            EXPECT_EQ(testsupport::RasterToRgb(read.Rasters.Source), original) << w << "x" << h;
            EXPECT_EQ(testsupport::RasterToRgb(read.Rasters.Work), colour) << w << "x" << h;
            EXPECT_EQ(RasterBitCount(read.Rasters.Source), 24);
            EXPECT_EQ(RasterBitCount(read.Rasters.Work), 24);
            ASSERT_TRUE(read.State);
            EXPECT_EQ(*read.State, state);
            Release(read);
            deldib(source);
            deldib(work);
        }
}

// The save the user waits for encodes on two threads: the same archive as on one.
TEST(WorkFile, TwoThreadsWriteTheArchiveOneWrites)
{
    std::mt19937 rng(13);
    for (const auto &[w, h] : {std::pair{1, 1}, std::pair{300, 200}, std::pair{999, 3}})
        for (const bool grey : {true, false}) {
            RasterImage source = Raster(Noise(w, h, rng, grey));
            RasterImage work = Raster(Noise(w, h, rng, false));
            QString error;
            const QByteArray one =
                document::EncodeWorkFile(source, work, {}, {}, error, document::EncodeThreads::One);
            const QByteArray two =
                document::EncodeWorkFile(source, work, {}, {}, error, document::EncodeThreads::Two);
            EXPECT_FALSE(one.isEmpty()) << error.toStdString();
            EXPECT_TRUE(one == two) << w << " x " << h << (grey ? " grey" : " colour");
            deldib(source);
            deldib(work);
        }
}

TEST(WorkFile, StateFileVersionsAndValues)
{
    document::WorkState state;
    state.Hue = 7;
    state.Erase = true;
    EXPECT_EQ(document::WorkStateFromJson(document::WorkStateToJson(state)), state);
    struct Case {
        const char *json;
        std::optional<document::WorkState> expected;
    };
    document::WorkState outOfRange; // every value beyond its range keeps its default
    const Case cases[] = {
        {"", std::nullopt},
        {"[1]", std::nullopt},
        {R"({"format": "other", "version": 1})", std::nullopt},
        {R"({"format": "tintwell-state", "version": 2, "hue": 3})", std::nullopt},
        {R"({"format": "tintwell-state", "version": 1})", document::WorkState{}},
        {R"({"format": "tintwell-state", "version": 1, "hue": 256, "saturation": -1,
             "brightness": 101, "zoom": 5, "tool": 3})",
         outOfRange},
        {R"({"format": "tintwell-state", "version": 1, "hue": 2.5, "zoom": "50"})",
         document::WorkState{}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(document::WorkStateFromJson(c.json), c.expected) << c.json;
}

// An OpenRaster archive as another program writes it, made by python's zipfile.
std::vector<uint8_t> ForeignOra(const testsupport::TempDir &dir, const std::string &stackXml,
                                const std::vector<std::pair<std::string, QImage>> &pngs)
{
    std::string files;
    for (const auto &[name, image] : pngs) {
        const std::string path = dir.file(std::to_string(files.size()) + ".png");
        image.save(QString::fromStdString(path), "png");
        files += "z.write('" + path + "', '" + name + "')\n";
    }
    std::ofstream(dir.file("stack.xml")) << stackXml;
    std::ofstream(dir.file("make.py"))
        << "import zipfile\n"
        << "z = zipfile.ZipFile('" << dir.file("foreign.ora") << "', 'w', zipfile.ZIP_DEFLATED)\n"
        << "z.writestr(zipfile.ZipInfo('mimetype'), 'image/openraster')\n"
        << "z.write('" << dir.file("stack.xml") << "', 'stack.xml')\n"
        << files << "z.close()\n";
    if (testsupport::Run("python3 " + dir.file("make.py")) != 0)
        return {};
    return testsupport::ReadFileBytes(dir.file("foreign.ora"));
}

QImage Filled(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// Spawns python3: run with the tools.
class ForeignFiles : public testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        if (!testsupport::HaveTool("python3"))
            GTEST_SKIP() << "python3 is not installed";
    }
    testsupport::TempDir dir;
};

TEST_P(ForeignFiles, MergedImageBecomesBothRasters)
{
    const auto bytes = ForeignOra(dir,
                                  "<image w='4' h='3'><stack>"
                                  "<layer name='a' src='data/a.png'/></stack></image>",
                                  {{"data/a.png", Filled(4, 3, qRgb(1, 2, 3))},
                                   {"mergedimage.png", Filled(4, 3, qRgb(200, 100, 50))}});
    ASSERT_FALSE(bytes.empty());
    const auto read = document::ReadWorkFile(bytes.data(), bytes.size());
    ASSERT_TRUE(read.Read) << read.Error;
    EXPECT_FALSE(read.Work);
    EXPECT_FALSE(read.State);
    const RgbPicture merged = testsupport::RasterToRgb(read.Rasters.Source);
    EXPECT_EQ(merged.width, 4);
    EXPECT_EQ(merged.height, 3);
    EXPECT_EQ(merged.r(3, 2), 200);
    EXPECT_EQ(merged.b(0, 0), 50);
    EXPECT_EQ(testsupport::RasterToRgb(read.Rasters.Work), merged);
    EXPECT_NE(read.Rasters.Source.Pixels, read.Rasters.Work.Pixels);
    Release(read);
}

TEST_P(ForeignFiles, WithoutMergedImageTheVisibleLayersAreCompositedOverWhite)
{
    // Top first: a hidden black layer, a red 2 x 1 layer at (1, 1), a half transparent
    // blue layer over the whole picture.
    const auto bytes = ForeignOra(dir,
                                  "<image w='4' h='3'><stack>"
                                  "<layer name='hidden' src='h.png' visibility='hidden'/>"
                                  "<layer name='red' src='r.png' x='1' y='1'/>"
                                  "<layer name='blue' src='b.png' opacity='1.0'/>"
                                  "</stack></image>",
                                  {{"h.png", Filled(4, 3, qRgb(0, 0, 0))},
                                   {"r.png", Filled(2, 1, qRgb(255, 0, 0))},
                                   {"b.png", Filled(4, 3, qRgba(0, 0, 255, 0))}});
    ASSERT_FALSE(bytes.empty());
    const auto read = document::ReadWorkFile(bytes.data(), bytes.size());
    ASSERT_TRUE(read.Read) << read.Error;
    const RgbPicture got = testsupport::RasterToRgb(read.Rasters.Work);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool red = y == 1 && (x == 1 || x == 2);
            EXPECT_EQ(got.r(x, y), 255) << x << "," << y;
            EXPECT_EQ(got.g(x, y), red ? 0 : 255) << x << "," << y;
        }
    Release(read);
}

INSTANTIATE_TEST_SUITE_P(Tools, ForeignFiles, testing::Values(0));

// The archive as independent tools read it.
class WorkFileTools : public testing::TestWithParam<int> {};

TEST_P(WorkFileTools, ArchiveAsZipToolsNetpbmAndImageMagickSeeIt)
{
    for (const char *tool : {"python3", "convert", "pngtopnm", "unzip"})
        if (!testsupport::HaveTool(tool))
            GTEST_SKIP() << tool << " is not installed";
    testsupport::TempDir dir;
    std::mt19937 rng(5);
    const RgbPicture original = Noise(300, 120, rng, true);
    const RgbPicture colour = Noise(300, 120, rng, false);
    RasterImage source = Raster(original);
    RasterImage work = Raster(colour);
    const QString path = QString::fromStdString(dir.file("work.ora"));
    ASSERT_EQ(document::SaveWorkFile(path, source, work, {}, {}), QString());

    std::ofstream(dir.file("check.py"))
        << "import sys, zipfile, xml.etree.ElementTree as ET\n"
        << "z = zipfile.ZipFile(sys.argv[1])\n"
        << "first = z.infolist()[0]\n"
        << "assert first.filename == 'mimetype', first.filename\n"
        << "assert first.compress_type == zipfile.ZIP_STORED\n"
        << "assert first.extra == b'', first.extra\n"
        << "assert z.read('mimetype') == b'image/openraster'\n"
        << "assert z.testzip() is None\n"
        << "image = ET.fromstring(z.read('stack.xml'))\n"
        << "assert image.tag == 'image' and image.get('w') == '300' and image.get('h') == '120'\n"
        << "layers = image.find('stack').findall('layer')\n"
        << "assert [l.get('name') for l in layers] == ['Colour', 'Original'], layers\n"
        << "for name, entry in [('colour', layers[0].get('src')),\n"
        << "        ('original', layers[1].get('src')), ('merged', 'mergedimage.png'),\n"
        << "        ('thumbnail', 'Thumbnails/thumbnail.png')]:\n"
        << "    open(sys.argv[2] + '/' + name + '.png', 'wb').write(z.read(entry))\n";
    const std::string d = dir.path().string();
    ASSERT_EQ(
        testsupport::Run("python3 " + dir.file("check.py") + " " + path.toStdString() + " " + d),
        0);
    // unzip's listing: mimetype first, stored.
    ASSERT_EQ(testsupport::Run("unzip -Z " + path.toStdString() + " > " + d + "/listing.txt"), 0);
    std::ifstream listing(d + "/listing.txt");
    std::string line, firstEntry;
    while (firstEntry.empty() && std::getline(listing, line))
        if (!line.empty() && line[0] == '-')
            firstEntry = line;
    EXPECT_NE(firstEntry.find(" stor "), std::string::npos) << firstEntry;
    EXPECT_EQ(firstEntry.substr(firstEntry.size() - 9), " mimetype") << firstEntry;
    for (const char *name : {"colour", "original", "merged"})
        ASSERT_EQ(
            testsupport::Run("pngtopnm " + d + "/" + name + ".png > " + d + "/" + name + ".ppm"),
            0);
    EXPECT_EQ(testsupport::FirstDifference(testsupport::ReadPnm(d + "/colour.ppm"), colour), "");
    EXPECT_EQ(testsupport::FirstDifference(testsupport::ReadPnm(d + "/merged.ppm"), colour), "");
    EXPECT_EQ(testsupport::FirstDifference(testsupport::ReadPnm(d + "/original.ppm"), original),
              "");
    // The grey original as 8-bit grey; the thumbnail 256 pixels on its longer side.
    ASSERT_EQ(testsupport::Run("identify -format '%[channels] %z' " + d + "/original.png > " + d
                               + "/original.txt"),
              0);
    std::string kind;
    std::getline(std::ifstream(d + "/original.txt"), kind);
    EXPECT_EQ(kind.substr(0, 4), "gray") << kind;
    EXPECT_NE(kind.find(" 8"), std::string::npos) << kind;
    ASSERT_EQ(testsupport::Run("identify -format '%wx%h' " + d + "/thumbnail.png > " + d
                               + "/thumbnail.txt"),
              0);
    std::string thumbnail;
    std::getline(std::ifstream(d + "/thumbnail.txt"), thumbnail);
    EXPECT_EQ(thumbnail, "256x102");
    deldib(source);
    deldib(work);
}

INSTANTIATE_TEST_SUITE_P(Tools, WorkFileTools, testing::Values(0));

} // namespace

namespace {

TEST(WorkFile, KeepsTheStrokeRecordOfItsPictureAndLeavesOutAnyOther)
{
    std::mt19937 rng(21);
    const RasterImage source = Raster(Noise(30, 20, rng, true));
    const RasterImage work = Raster(Noise(30, 20, rng, false));
    colour::StrokeRecord strokes;
    strokes.Reset(30, 20);
    ASSERT_TRUE(strokes.Allocate());
    const colour::StrokeMark sky{{150, 200, -20, true}, true, true};
    const colour::StrokeMark eraser{{}, false, true};
    for (int32_t y = 2; y < 9; ++y)
        for (int32_t x = 3; x < 25; ++x)
            strokes.Row(y)[x] = strokes.IdOf(y < 5 ? sky : eraser);

    QString error;
    const document::WorkFileContent kept =
        Read(document::EncodeWorkFile(source, work, {}, strokes, error));
    ASSERT_TRUE(kept.Read && kept.Work) << kept.Error;
    ASSERT_TRUE(kept.Strokes);
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 30; ++x) {
            const uint16_t id = kept.Strokes->Row(y)[x];
            ASSERT_EQ(id == 0, strokes.Row(y)[x] == 0) << x << "," << y;
            if (id != 0) {
                ASSERT_EQ(kept.Strokes->Mark(id), y < 5 ? sky : eraser) << x << "," << y;
            }
        }
    Release(kept);

    // A record of another size, or none, is not written; the file opens without one.
    colour::StrokeRecord other;
    other.Reset(20, 30);
    ASSERT_TRUE(other.Allocate());
    const document::WorkFileContent without =
        Read(document::EncodeWorkFile(source, work, {}, other, error));
    ASSERT_TRUE(without.Read && without.Work) << without.Error;
    EXPECT_FALSE(without.Strokes);
    Release(without);
    const document::WorkFileContent none = Read(Encode(source, work));
    EXPECT_FALSE(none.Strokes);
    Release(none);
    deldib(source);
    deldib(work);
}

} // namespace
