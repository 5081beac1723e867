// SPDX-License-Identifier: GPL-3.0-or-later
// OpenDib on 24-megapixel (6000 x 4000) pictures: a JPEG, a PNG and a 24-bit BMP that
// the benchmark writes once into a temporary folder with libjpeg, libpng and plain
// bytes, from the same photo-like pattern (gradients with noise).
#include "BenchPictures.h"
#include "platform/rastix/Rastix.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <jpeglib.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

using benchpictures::kHeight;
using benchpictures::kWidth;
using benchpictures::PatternRow;
using benchpictures::WriteJpeg;
using benchpictures::WritePng;

void PutLe(std::ofstream &out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.put(char(value >> (8 * i)));
}

bool WriteBmp(const std::string &path)
{
    std::ofstream out(path, std::ios::binary);
    const uint32_t stride = (kWidth * 3 + 3) / 4 * 4;
    const uint32_t image = stride * kHeight;
    out.write("BM", 2);
    PutLe(out, 54 + image, 4);
    PutLe(out, 0, 4);
    PutLe(out, 54, 4);
    for (const auto &[value, bytes] : {std::pair{40u, 4},
                                       {uint32_t(kWidth), 4},
                                       {uint32_t(kHeight), 4},
                                       {1u, 2},
                                       {24u, 2},
                                       {0u, 4},
                                       {image, 4},
                                       {2835u, 4},
                                       {2835u, 4},
                                       {0u, 4},
                                       {0u, 4}})
        PutLe(out, value, bytes);
    // Rows bottom-up, blue first.
    std::vector<std::vector<uint8_t>> rows(kHeight);
    std::mt19937 random(1);
    for (int y = 0; y < kHeight; ++y)
        PatternRow(y, random, rows[size_t(y)]);
    std::vector<char> line(stride, 0);
    for (int y = kHeight - 1; y >= 0; --y) {
        const std::vector<uint8_t> &rgb = rows[size_t(y)];
        for (int x = 0; x < kWidth; ++x) {
            line[size_t(x) * 3] = char(rgb[size_t(x) * 3 + 2]);
            line[size_t(x) * 3 + 1] = char(rgb[size_t(x) * 3 + 1]);
            line[size_t(x) * 3 + 2] = char(rgb[size_t(x) * 3]);
        }
        out.write(line.data(), std::streamsize(line.size()));
    }
    return bool(out);
}

// The three files, written on first use and removed at exit.
class BenchFiles {
public:
    BenchFiles()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tintwell-bench-XXXXXX").string();
        if (char *made = mkdtemp(pattern.data()))
            folder_ = made;
        ok_ = !folder_.empty() && WriteJpeg(jpeg()) && WritePng(png()) && WriteBmp(bmp());
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
    std::string jpeg() const { return (folder_ / "picture.jpg").string(); }
    std::string png() const { return (folder_ / "picture.png").string(); }
    std::string bmp() const { return (folder_ / "picture.bmp").string(); }

private:
    std::filesystem::path folder_;
    bool ok_ = false;
};

const BenchFiles &Files()
{
    static const BenchFiles files;
    return files;
}

void OpenOne(benchmark::State &state, const std::string &path)
{
    if (!Files().ok()) {
        state.SkipWithError("the pictures could not be written");
        return;
    }
    for (auto _ : state) {
        RasterImage raster = OpenDib(path.c_str());
        if (!raster.Pixels) {
            state.SkipWithError(RasterErrorText(raster).c_str());
            break;
        }
        benchmark::DoNotOptimize(raster.Pixels);
        deldib(raster);
    }
    state.counters["megapixels/s"] = benchmark::Counter(
        double(kWidth) * kHeight / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["file MB"] = double(std::filesystem::file_size(path)) / 1e6;
}

void BM_OpenDibJpeg(benchmark::State &state)
{
    OpenOne(state, Files().jpeg());
}
void BM_OpenDibPng(benchmark::State &state)
{
    OpenOne(state, Files().png());
}
void BM_OpenDibBmp(benchmark::State &state)
{
    OpenOne(state, Files().bmp());
}

BENCHMARK(BM_OpenDibJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenDibPng)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenDibBmp)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
