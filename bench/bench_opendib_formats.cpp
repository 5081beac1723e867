// SPDX-License-Identifier: GPL-3.0-or-later
// OpenDib on 24-megapixel (6000 x 4000) files: TIFF with LZW (24 bits), GIF (8 bits)
// and PCX (8 bits), written once by netpbm into a temporary folder.
#include "platform/rastix/Rastix.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

// A folder removed when the process ends.
struct Folder {
    std::filesystem::path path;
    ~Folder() { std::filesystem::remove_all(path); }
};

// Writes the test files on first use.
const std::filesystem::path &Files()
{
    static const Folder folder{[] {
        const auto dir = std::filesystem::temp_directory_path()
                         / ("tintwell-bench-formats-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        // 216 colours in blocks, so GIF and 8-bit PCX hold it without quantising.
        const std::string ppm = (dir / "in.ppm").string();
        FILE *f = std::fopen(ppm.c_str(), "wb");
        std::fprintf(f, "P6\n%d %d\n255\n", kWidth, kHeight);
        std::vector<unsigned char> row(size_t(kWidth) * 3);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                row[size_t(x) * 3] = (unsigned char)(x / 23 % 6 * 51);
                row[size_t(x) * 3 + 1] = (unsigned char)(y / 17 % 6 * 51);
                row[size_t(x) * 3 + 2] = (unsigned char)((x + y) / 31 % 6 * 51);
            }
            std::fwrite(row.data(), 1, row.size(), f);
        }
        std::fclose(f);
        const std::string d = dir.string();
        const std::string commands = "cd " + d
                                     + " && pnmtotiff -lzw in.ppm > lzw.tif 2>/dev/null"
                                       " && pamtogif in.ppm > in.gif 2>/dev/null && ppmtopcx -8bit "
                                       "in.ppm > in.pcx 2>/dev/null";
        if (std::system(commands.c_str()) != 0)
            std::fprintf(stderr, "netpbm could not write the benchmark files\n");
        return dir;
    }()};
    return folder.path;
}

void OpenFile(benchmark::State &state, const char *name)
{
    const std::string path = (Files() / name).string();
    for (auto _ : state) {
        const RasterImage raster = OpenDib(path.c_str());
        if (!raster.Pixels) {
            state.SkipWithError(RasterErrorText(raster).c_str());
            break;
        }
        benchmark::DoNotOptimize(raster.Pixels);
        deldib(raster);
    }
    state.counters["megapixels/s"] = benchmark::Counter(
        double(kWidth) * kHeight / 1e6 * double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_OpenDibTiffLzw24Mp(benchmark::State &state)
{
    OpenFile(state, "lzw.tif");
}
void BM_OpenDibGif24Mp(benchmark::State &state)
{
    OpenFile(state, "in.gif");
}
void BM_OpenDibPcx8Bit24Mp(benchmark::State &state)
{
    OpenFile(state, "in.pcx");
}

BENCHMARK(BM_OpenDibTiffLzw24Mp)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_OpenDibGif24Mp)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_OpenDibPcx8Bit24Mp)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
