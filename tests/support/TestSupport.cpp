// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TestSupport.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

TempDir::TempDir()
{
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tintwell-test-XXXXXX").string();
    if (char *made = mkdtemp(pattern.data()))
        path_ = made;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    if (!path_.empty())
        std::filesystem::remove_all(path_, ignored);
}

std::string FillCommand(std::string command, const std::string &in, const std::string &out,
                        const std::string &dir)
{
    const std::pair<std::string, std::string> keys[] = {{"{in}", in},
                                                        {"{out}", out},
                                                        {"{dir}", dir}};
    for (const auto &[key, value] : keys) {
        for (size_t at = command.find(key); at != std::string::npos;
             at = command.find(key, at + value.size()))
            command.replace(at, key.size(), value);
    }
    return command;
}

int Run(const std::string &command)
{
    const int status = std::system(command.c_str());
    if (status == -1 || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

bool HaveTool(const std::string &program)
{
    return Run("command -v '" + program + "' >/dev/null 2>&1") == 0;
}

namespace {

// Reads the next header token of a PNM file, skipping comments.
bool NextToken(std::istream &in, long &value)
{
    int c = in.get();
    while (c != EOF) {
        if (c == '#') {
            while (c != EOF && c != '\n')
                c = in.get();
        } else if (!std::isspace(c)) {
            break;
        }
        c = in.get();
    }
    if (c == EOF || !std::isdigit(c))
        return false;
    value = 0;
    while (c != EOF && std::isdigit(c)) {
        value = value * 10 + (c - '0');
        c = in.get();
    }
    return true; // the single whitespace after the token is consumed
}

} // namespace

RgbPicture ReadPnm(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    char magic[2] = {};
    in.read(magic, 2);
    if (!in || magic[0] != 'P' || (magic[1] != '5' && magic[1] != '6'))
        return {};
    long w = 0, h = 0, maxval = 0;
    if (!NextToken(in, w) || !NextToken(in, h) || !NextToken(in, maxval) || maxval <= 0
        || maxval > 65535)
        return {};
    const int channels = magic[1] == '6' ? 3 : 1;
    const int bytesPerSample = maxval > 255 ? 2 : 1;
    std::vector<uint8_t> raw(size_t(w) * h * channels * bytesPerSample);
    in.read(reinterpret_cast<char *>(raw.data()), std::streamsize(raw.size()));
    if (!in)
        return {};
    RgbPicture picture{int(w), int(h), std::vector<uint8_t>(size_t(w) * h * 3)};
    for (size_t i = 0; i < size_t(w) * h; ++i) {
        for (int c = 0; c < 3; ++c) {
            const size_t sample = i * channels + (channels == 3 ? c : 0);
            long v =
                bytesPerSample == 2 ? (raw[sample * 2] << 8 | raw[sample * 2 + 1]) : raw[sample];
            if (bytesPerSample == 2)
                v >>= 8;
            else if (maxval != 255)
                v = v * 255 / maxval;
            picture.rgb[i * 3 + c] = uint8_t(v);
        }
    }
    return picture;
}

bool WritePpm(const std::string &path, const RgbPicture &picture)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << picture.width << ' ' << picture.height << "\n255\n";
    out.write(reinterpret_cast<const char *>(picture.rgb.data()),
              std::streamsize(picture.rgb.size()));
    return bool(out);
}

bool WritePpm16(const std::string &path, const RgbPicture &picture)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << picture.width << ' ' << picture.height << "\n65535\n";
    for (size_t i = 0; i < picture.rgb.size(); ++i) {
        const char sample[2] = {char(picture.rgb[i]), char((i * 37 + 200) & 255)};
        out.write(sample, 2);
    }
    return bool(out);
}

RgbPicture RasterToRgb(const RasterImage &raster)
{
    const int w = RasterWidth(raster);
    const int h = RasterHeight(raster);
    const int bits = RasterBitCount(raster);
    if (!raster.Pixels || w <= 0 || h <= 0)
        return {};
    RgbPicture picture{w, h, std::vector<uint8_t>(size_t(w) * h * 3)};
    for (int y = 0; y < h; ++y) {
        const uint8_t *row = PictureRow(raster, y);
        for (int x = 0; x < w; ++x) {
            uint8_t *out = &picture.rgb[(size_t(y) * w + x) * 3];
            if (bits == 24) {
                out[0] = row[x * 3 + 2];
                out[1] = row[x * 3 + 1];
                out[2] = row[x * 3];
                continue;
            }
            int index = 0;
            if (bits == 8)
                index = row[x];
            else if (bits == 4)
                index = x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 15;
            else if (bits == 1)
                index = (row[x / 8] >> (7 - x % 8)) & 1;
            const RGBQUAD &q = raster.ColourTable()[index];
            out[0] = q.rgbRed;
            out[1] = q.rgbGreen;
            out[2] = q.rgbBlue;
        }
    }
    return picture;
}

std::string FirstDifference(const RgbPicture &got, const RgbPicture &expected, int tolerance)
{
    if (got.width != expected.width || got.height != expected.height)
        return "size " + std::to_string(got.width) + "x" + std::to_string(got.height)
               + " instead of " + std::to_string(expected.width) + "x"
               + std::to_string(expected.height);
    auto colour = [](const RgbPicture &p, int x, int y) {
        return std::to_string(p.r(x, y)) + "," + std::to_string(p.g(x, y)) + ","
               + std::to_string(p.b(x, y));
    };
    auto near = [tolerance](int a, int b) { return a - b <= tolerance && b - a <= tolerance; };
    for (int y = 0; y < got.height; ++y)
        for (int x = 0; x < got.width; ++x)
            if (!near(got.r(x, y), expected.r(x, y)) || !near(got.g(x, y), expected.g(x, y))
                || !near(got.b(x, y), expected.b(x, y)))
                return "pixel " + std::to_string(x) + "," + std::to_string(y) + " is "
                       + colour(got, x, y) + " instead of " + colour(expected, x, y);
    return {};
}

RgbPicture PatternPicture(int width, int height, bool grey)
{
    RgbPicture picture{width, height, std::vector<uint8_t>(size_t(width) * height * 3)};
    std::mt19937 random(uint32_t(width * 7919 + height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t *p = &picture.rgb[(size_t(y) * width + x) * 3];
            // Smooth gradients with some noise, so lossy coders have work and every
            // channel value range is touched.
            const int noise = int(random() % 32);
            p[0] = uint8_t((x * 255 / std::max(1, width - 1) + noise) & 255);
            p[1] = uint8_t((y * 255 / std::max(1, height - 1) + noise * 3) & 255);
            p[2] = uint8_t(((x + y) * 97 + noise * 5) & 255);
            if (grey)
                p[1] = p[2] = p[0];
        }
    }
    return picture;
}

RgbPicture PalettePicture(int width, int height, int colours)
{
    RgbPicture picture{width, height, std::vector<uint8_t>(size_t(width) * height * 3)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // The first pixels walk through every colour, so all of them are used.
            const int i = y * width + x;
            const int k = (i < colours ? i : (x * 7 + y * 13 + (x * y) % 5)) % colours;
            uint8_t *p = &picture.rgb[size_t(i) * 3];
            // Multiplying by odd numbers permutes 0..255, so the colours are distinct.
            p[0] = uint8_t(k * 73);
            p[1] = uint8_t(k * 151 + 9);
            p[2] = uint8_t(k * 199 + 30);
        }
    }
    return picture;
}

std::vector<uint8_t> ReadFileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool WriteFileBytes(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

} // namespace testsupport
