// SPDX-License-Identifier: GPL-3.0-or-later
// The 6000 x 4000 picture the loading benchmarks open: a photograph-like pattern of
// gradients and noise, written as JPEG (quality 90) and PNG by the libraries' own
// encoders.
#pragma once

// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace benchpictures {

inline constexpr int kWidth = 6000;
inline constexpr int kHeight = 4000;

// Row y of the pattern as red, green, blue triples.
inline void PatternRow(int y, std::mt19937 &random, std::vector<uint8_t> &rgb)
{
    rgb.resize(size_t(kWidth) * 3);
    for (int x = 0; x < kWidth; ++x) {
        const int noise = int(random() % 16);
        rgb[size_t(x) * 3] = uint8_t(x * 255 / (kWidth - 1) + noise / 2);
        rgb[size_t(x) * 3 + 1] = uint8_t(y * 255 / (kHeight - 1) / 2 + noise);
        rgb[size_t(x) * 3 + 2] = uint8_t((x + y) / 40 + noise);
    }
}

inline bool WriteJpeg(const std::string &path)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, f);
    info.image_width = kWidth;
    info.image_height = kHeight;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::mt19937 random(1);
    std::vector<uint8_t> row;
    for (int y = 0; y < kHeight; ++y) {
        PatternRow(y, random, row);
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&info, &p, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(f) == 0;
}

inline bool WritePng(const std::string &path)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::mt19937 random(1);
    std::vector<uint8_t> row;
    for (int y = 0; y < kHeight; ++y) {
        PatternRow(y, random, row);
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

} // namespace benchpictures
