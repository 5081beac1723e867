// SPDX-License-Identifier: GPL-3.0-or-later
// Loading 24-megapixel (6000 x 4000) JPEG, PNG and TIFF files against the bare library
// decode of the same file, measured in turn in every iteration of the same run:
//   bare    the library alone decodes the file into one buffer of rows (libjpeg,
//           libpng, libtiff with its own file access), as a program using it directly would
//   OpenDib the raster library's load of the file
//   load    the document's whole load: OpenDib, the conversion to 24 bits and the
//           working copy (document::LoadPicture)
// The counters give the median of each in milliseconds and the ratios OpenDib / bare and
// load / bare. The bare decode's buffer gets the same huge-page advice as the raster
// library's rasters, so the ratios compare the decoding, not the page faults of a fresh
// 72 MB block. The files are written once by the same libraries from a photo-like
// pattern (gradients with noise) into a temporary folder.
//
// Run from the build folder: bench/bench_load_formats [--benchmark_filter=...]
#include "BenchPictures.h"
#include "document/PictureLoader.h"
#include "platform/rastix/HugePages.h"
#include "platform/rastix/Rastix.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

#include <algorithm>
#include <chrono>
#include <csetjmp>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// A block of bytes that is not zero-filled, with huge pages advised as for rasters.
class Pixels {
public:
    void resize(size_t n)
    {
        block_.reset(static_cast<uint8_t *>(std::malloc(n)));
        rastix::AdviseHugePages(block_.get(), n);
    }
    uint8_t *data() { return block_.get(); }

private:
    struct Free {
        void operator()(uint8_t *p) const { std::free(p); }
    };
    std::unique_ptr<uint8_t, Free> block_;
};

using benchpictures::kHeight;
using benchpictures::kWidth;
using benchpictures::PatternRow;
using benchpictures::WriteJpeg;
using benchpictures::WritePng;

bool WriteTiff(const std::string &path, uint16_t compression)
{
    TIFF *tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff)
        return false;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(kWidth));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(kHeight));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, uint16_t(8));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, uint16_t(3));
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_RGB));
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG));
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, 0));
    std::mt19937 random(1);
    std::vector<uint8_t> row;
    bool ok = true;
    for (int y = 0; y < kHeight && ok; ++y) {
        PatternRow(y, random, row);
        ok = TIFFWriteScanline(tiff, row.data(), uint32_t(y), 0) >= 0;
    }
    TIFFClose(tiff);
    return ok;
}

// The bare decodes: every row of the picture into one buffer, as the library gives it.
bool BareJpeg(const std::string &path, Pixels &pixels)
{
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, f);
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    const size_t rowBytes = size_t(info.output_width) * size_t(info.output_components);
    pixels.resize(rowBytes * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.data() + rowBytes * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(f);
    return true;
}

bool BarePng(const std::string &path, Pixels &pixels)
{
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_read_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    const uint32_t height = png_get_image_height(png, info);
    pixels.resize(rowBytes * height);
    for (uint32_t y = 0; y < height; ++y)
        png_read_row(png, pixels.data() + rowBytes * y, nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return true;
}

bool BareTiff(const std::string &path, Pixels &pixels)
{
    TIFF *tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff)
        return false;
    const uint32_t strips = TIFFNumberOfStrips(tiff);
    const tmsize_t stripBytes = TIFFStripSize(tiff);
    pixels.resize(size_t(stripBytes) * strips);
    bool ok = true;
    for (uint32_t s = 0; s < strips && ok; ++s)
        ok = TIFFReadEncodedStrip(tiff, s, pixels.data() + size_t(stripBytes) * s, stripBytes) >= 0;
    TIFFClose(tiff);
    return ok;
}

// The files, written on first use and removed at exit.
class BenchFiles {
public:
    BenchFiles()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tintwell-bench-XXXXXX").string();
        if (char *made = mkdtemp(pattern.data()))
            folder_ = made;
        ok_ = !folder_.empty() && WriteJpeg(path("picture.jpg")) && WritePng(path("picture.png"))
              && WriteTiff(path("picture.tif"), COMPRESSION_NONE)
              && WriteTiff(path("lzw.tif"), COMPRESSION_LZW);
    }
    ~BenchFiles()
    {
        std::error_code ignored;
        if (!folder_.empty())
            std::filesystem::remove_all(folder_, ignored);
    }
    BenchFiles(const BenchFiles &) = delete;
    BenchFiles &operator=(const BenchFiles &) = delete;

    bool ok() const { return ok_; }
    std::string path(const char *name) const { return (folder_ / name).string(); }

private:
    std::filesystem::path folder_;
    bool ok_ = false;
};

const BenchFiles &Files()
{
    static const BenchFiles files;
    return files;
}

using Bare = bool (*)(const std::string &, Pixels &);

double Milliseconds(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from)
        .count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void LoadAgainstBare(benchmark::State &state, const char *name, Bare bare)
{
    if (!Files().ok()) {
        state.SkipWithError("the pictures could not be written");
        return;
    }
    const std::string path = Files().path(name);
    std::vector<double> bareMs, openMs, loadMs;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        {
            Pixels pixels;
            if (!bare(path, pixels)) {
                state.SkipWithError("the library could not decode the file");
                return;
            }
            benchmark::DoNotOptimize(pixels.data());
        }
        bareMs.push_back(Milliseconds(start));

        const auto opened = std::chrono::steady_clock::now();
        const RasterImage raster = OpenDib(path.c_str());
        if (!raster.Pixels) {
            state.SkipWithError(RasterErrorText(raster).c_str());
            return;
        }
        benchmark::DoNotOptimize(raster.Pixels);
        deldib(raster);
        openMs.push_back(Milliseconds(opened));

        const auto loaded = std::chrono::steady_clock::now();
        const document::DocumentRasters blank{newdib(320, 200, 24, nullptr, 0),
                                              newdib(320, 200, 24, nullptr, 0)};
        const document::LoadResult r = document::LoadPicture(blank, path, nullptr, {});
        if (!r.Loaded) {
            state.SkipWithError(r.Message.Text.c_str());
            return;
        }
        benchmark::DoNotOptimize(r.Rasters.Work.Pixels);
        deldib(r.Rasters.Source);
        deldib(r.Rasters.Work);
        loadMs.push_back(Milliseconds(loaded));
        state.SetIterationTime((bareMs.back() + openMs.back() + loadMs.back()) / 1000);
    }
    const double b = Median(bareMs), o = Median(openMs), l = Median(loadMs);
    state.counters["bare ms"] = b;
    state.counters["OpenDib ms"] = o;
    state.counters["load ms"] = l;
    state.counters["OpenDib/bare"] = o / b;
    state.counters["load/bare"] = l / b;
}

void BM_Jpeg(benchmark::State &state)
{
    LoadAgainstBare(state, "picture.jpg", BareJpeg);
}
void BM_Png(benchmark::State &state)
{
    LoadAgainstBare(state, "picture.png", BarePng);
}
void BM_TiffUncompressed(benchmark::State &state)
{
    LoadAgainstBare(state, "picture.tif", BareTiff);
}
void BM_TiffLzw(benchmark::State &state)
{
    LoadAgainstBare(state, "lzw.tif", BareTiff);
}

BENCHMARK(BM_Jpeg)->Iterations(9)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Png)->Iterations(9)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TiffUncompressed)->Iterations(15)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TiffLzw)->Iterations(9)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
