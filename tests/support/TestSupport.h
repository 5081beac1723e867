// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the tests: a temporary folder, running the independent encoders
// and decoders (netpbm, ImageMagick, libjpeg-turbo's tools), reading their PPM/PGM
// output, and reading any raster back as plain RGB for comparison.
#pragma once

#include "platform/rastix/Rastix.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::filesystem::path &path() const { return path_; }
    std::string file(const std::string &name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// The command template with every {in}, {out} and {dir} replaced.
std::string FillCommand(std::string command, const std::string &in, const std::string &out,
                        const std::string &dir = "");

// Runs a shell command; returns its exit status (-1 when it could not run).
int Run(const std::string &command);
// True when the named program is on PATH.
bool HaveTool(const std::string &program);

// A raster decoded from bytes in memory by OpenDibMemory, freed with the scope.
struct OpenedBytes {
    RasterImage raster;
    explicit OpenedBytes(const std::vector<uint8_t> &bytes)
        : raster(OpenDibMemory(bytes.data(), bytes.size()))
    {
    }
    ~OpenedBytes() { deldib(raster); }
    OpenedBytes(const OpenedBytes &) = delete;
    OpenedBytes &operator=(const OpenedBytes &) = delete;
};

// A picture as 8-bit RGB triples, top row first.
struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    uint8_t r(int x, int y) const { return rgb[(size_t(y) * width + x) * 3]; }
    uint8_t g(int x, int y) const { return rgb[(size_t(y) * width + x) * 3 + 1]; }
    uint8_t b(int x, int y) const { return rgb[(size_t(y) * width + x) * 3 + 2]; }
    bool operator==(const RgbPicture &) const = default;
};

// Reads a binary PPM (P6) or PGM (P5) file, maxval up to 65535 (16-bit samples are
// reduced to their high byte). An empty picture when the file cannot be read.
RgbPicture ReadPnm(const std::string &path);
// Writes a P6 file.
bool WritePpm(const std::string &path, const RgbPicture &picture);
// Any 1-, 4-, 8- or 24-bit raster as RGB, through its colour table when indexed.
RgbPicture RasterToRgb(const RasterImage &raster);

// Empty when the pictures are equal (every component within tolerance), else the size
// mismatch or the first pixel that differs, with both colours.
std::string FirstDifference(const RgbPicture &got, const RgbPicture &expected, int tolerance = 0);

// A picture of the given size with a deterministic pattern that exercises every
// channel; grey when grey is set.
RgbPicture PatternPicture(int width, int height, bool grey = false);

// A picture using exactly `colours` distinct colours (1..256) in a scattered pattern,
// for encoders that write palettes.
RgbPicture PalettePicture(int width, int height, int colours);

// A 16-bit (maxval 65535) P6 file of the picture with a varying low byte under each
// sample, so readers that round instead of keeping the high byte show up.
bool WritePpm16(const std::string &path, const RgbPicture &picture);

// Reads a whole file into memory.
std::vector<uint8_t> ReadFileBytes(const std::string &path);
bool WriteFileBytes(const std::string &path, const std::vector<uint8_t> &bytes);

} // namespace testsupport
