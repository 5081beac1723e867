// SPDX-License-Identifier: GPL-3.0-or-later
// libpng reports errors by longjmp. What must survive the jump lives in one heap object
// that is never reassigned after setjmp, and no frame between setjmp and the jump owns
// anything that needs a destructor.
#include "document/PngEncoder.h"

#include <png.h>

#include <csetjmp>
#include <memory>
#include <new>

namespace document {

namespace {

struct PngOut {
    QByteArray bytes;
    png_structp png = nullptr;
    png_infop info = nullptr;

    ~PngOut()
    {
        if (png)
            png_destroy_write_struct(&png, info ? &info : nullptr);
    }
};

void OnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void OnWrite(png_structp png, png_bytep data, png_size_t length)
{
    auto *out = static_cast<PngOut *>(png_get_io_ptr(png));
    bool stored = true;
    try {
        out->bytes.append(reinterpret_cast<const char *>(data), qsizetype(length));
    } catch (const std::bad_alloc &) {
        stored = false;
    }
    if (!stored)
        png_error(png, "out of memory");
}

void OnFlush(png_structp) {}

// Everything that calls libpng after setjmp. Holds no object with a destructor.
void WritePng(PngOut &out, int32_t width, int32_t height, PngPixels pixels,
              const std::function<const uint8_t *(int32_t y)> &row)
{
    png_set_write_fn(out.png, &out, OnWrite, OnFlush);
    png_set_IHDR(out.png, out.info, png_uint_32(width), png_uint_32(height), 8,
                 pixels == PngPixels::Grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(out.png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_compression_level(out.png, 1);
    png_set_compression_buffer_size(out.png, 1u << 20);
    png_write_info(out.png, out.info);
    if (pixels == PngPixels::Bgr)
        png_set_bgr(out.png);
    for (int32_t y = 0; y < height; ++y)
        png_write_row(out.png, row(y));
    png_write_end(out.png, out.info);
}

} // namespace

QByteArray EncodePng(int32_t width, int32_t height, PngPixels pixels,
                     const std::function<const uint8_t *(int32_t y)> &row)
{
    if (width <= 0 || height <= 0 || width > PNG_USER_WIDTH_MAX || height > PNG_USER_HEIGHT_MAX)
        return QByteArray();
    const std::unique_ptr<PngOut> out = std::make_unique<PngOut>();
    out->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, out.get(), OnError, OnWarning);
    if (!out->png)
        return QByteArray();
    out->info = png_create_info_struct(out->png);
    if (!out->info)
        return QByteArray();
    if (setjmp(png_jmpbuf(out->png)))
        return QByteArray();
    WritePng(*out, width, height, pixels, row);
    return std::move(out->bytes);
}

} // namespace document
