// SPDX-License-Identifier: GPL-3.0-or-later
// PNG files through libpng, read from memory.
//
// Palette pictures keep their palette (1-, 4- and 8-bit; 2-bit ones become 4-bit);
// transparent palette entries are composited onto white. Grey pictures of any depth
// become 8-bit with a grey palette, colour pictures 24-bit. 16-bit samples keep their
// high byte, as netpbm and ImageMagick do when they reduce them. Alpha, and colour-key
// transparency, is composited onto white.
//
// libpng reports errors by longjmp. Everything that must survive the jump lives in one
// heap object that is never reassigned after setjmp, and no frame between setjmp and
// the jump owns anything that needs a destructor.
#include "platform/rastix/Rastix.h"
#include "platform/rastix/formats/Decoder.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

namespace rastix {

namespace {

struct PngJob {
    Bytes file;
    size_t position = 0;
    std::string error;     // libpng's message, or ours
    bool fullText = false; // error is a whole refusal text, not what is damaged
    png_structp png = nullptr;
    png_infop info = nullptr;
    RasterImage raster;
    std::vector<uint8_t> buffer; // converted rows when not read in place
    std::vector<png_bytep> rows;

    ~PngJob()
    {
        if (png)
            png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        if (raster.Pixels)
            deldib(raster);
    }
};

void OnError(png_structp png, png_const_charp message)
{
    auto *job = static_cast<PngJob *>(png_get_error_ptr(png));
    job->error = message ? message : "libpng failed";
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp)
{
    // Warnings are about ancillary chunks the picture does not need: not shown.
}

void OnRead(png_structp png, png_bytep out, png_size_t length)
{
    auto *job = static_cast<PngJob *>(png_get_io_ptr(png));
    if (length > job->file.size - job->position)
        png_error(png, "the file ends early");
    std::memcpy(out, job->file.data + job->position, length);
    job->position += length;
}

// Composites value over white by alpha, both 0..255, rounding to nearest.
inline uint8_t OverWhite(unsigned value, unsigned alpha)
{
    return uint8_t((value * alpha + 255u * (255u - alpha) + 127u) / 255u);
}

// The same on 16-bit big-endian samples, then the high byte of the result: blending
// before reducing keeps the precision the file has.
inline uint8_t OverWhite16(const uint8_t *value, const uint8_t *alpha)
{
    const uint64_t v = Be16(value), a = Be16(alpha);
    return uint8_t((v * a + 65535u * (65535u - a) + 32767u) / 65535u >> 8);
}

enum class RowKind { Indexed, Grey, GreyAlpha, Bgr, Bgra };

struct Plan {
    RowKind kind = RowKind::Indexed;
    int fileBits = 8; // bits per index of an indexed picture
    int depth = 8;    // raster depth
    int paletteCount = 0;
    bool wide = false; // 16-bit samples with alpha, blended before reducing
};

// Sets libpng's transforms for the picture and says how its rows become raster rows.
Plan MakePlan(PngJob &job)
{
    png_structp png = job.png;
    png_infop info = job.info;
    const int colourType = png_get_color_type(png, info);
    const int bits = png_get_bit_depth(png, info);
    const bool colourKey = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    Plan plan;
    switch (colourType) {
    case PNG_COLOR_TYPE_PALETTE:
        plan.kind = RowKind::Indexed;
        plan.fileBits = bits;
        plan.depth = bits == 2 ? 4 : bits;
        break;
    case PNG_COLOR_TYPE_GRAY:
        png_set_expand_gray_1_2_4_to_8(png);
        if (colourKey)
            png_set_tRNS_to_alpha(png);
        plan.kind = colourKey ? RowKind::GreyAlpha : RowKind::Grey;
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA: plan.kind = RowKind::GreyAlpha; break;
    case PNG_COLOR_TYPE_RGB:
        png_set_bgr(png);
        if (colourKey)
            png_set_tRNS_to_alpha(png);
        plan.kind = colourKey ? RowKind::Bgra : RowKind::Bgr;
        plan.depth = 24;
        break;
    default:
        png_set_bgr(png);
        plan.kind = RowKind::Bgra;
        plan.depth = 24;
        break;
    }
    plan.wide = bits == 16 && (plan.kind == RowKind::GreyAlpha || plan.kind == RowKind::Bgra);
    if (bits == 16 && !plan.wide)
        png_set_strip_16(png);
    return plan;
}

void FillPalette(PngJob &job, Plan &plan)
{
    png_colorp palette = nullptr;
    int count = 0;
    if (!png_get_PLTE(job.png, job.info, &palette, &count) || count <= 0)
        png_error(job.png, "the palette is missing");
    png_bytep alpha = nullptr;
    int alphaCount = 0;
    png_color_16p ignored = nullptr;
    if (!png_get_tRNS(job.png, job.info, &alpha, &alphaCount, &ignored))
        alphaCount = 0;
    plan.paletteCount = std::min(count, 1 << plan.fileBits);
    for (int i = 0; i < plan.paletteCount; ++i) {
        const unsigned a = i < alphaCount ? alpha[i] : 255u;
        SetColour(job.raster, i, OverWhite(palette[i].red, a), OverWhite(palette[i].green, a),
                  OverWhite(palette[i].blue, a));
    }
    FinishPalette(job.raster);
}

// Turns one row as libpng delivered it into the raster row (which may be the same
// memory for in-place kinds).
void ConvertRow(const Plan &plan, const uint8_t *in, uint8_t *out, uint32_t width)
{
    switch (plan.kind) {
    case RowKind::Indexed: {
        const uint8_t last = uint8_t(plan.paletteCount - 1);
        const bool clamp = plan.paletteCount < (1 << plan.fileBits);
        if (plan.fileBits == 2) {
            for (uint32_t x = 0; x < width; ++x) {
                uint8_t index = (in[x / 4] >> (6 - 2 * (x % 4))) & 3;
                index = std::min(index, last);
                out[x / 2] = x % 2 == 0 ? uint8_t(index << 4) : uint8_t(out[x / 2] | index);
            }
            return;
        }
        if (in != out)
            std::memcpy(out, in, (size_t(width) * plan.fileBits + 7) / 8);
        if (!clamp)
            return;
        for (uint32_t x = 0; x < width; ++x) {
            if (plan.fileBits == 8) {
                out[x] = std::min(out[x], last);
            } else if (plan.fileBits == 4) {
                uint8_t &b = out[x / 2];
                b = x % 2 == 0 ? uint8_t(std::min<uint8_t>(b >> 4, last) << 4 | (b & 15))
                               : uint8_t((b & 0xf0) | std::min<uint8_t>(b & 15, last));
            } else {
                out[x / 8] &= uint8_t(~(0x80u >> (x % 8))); // one-entry palette: all index 0
            }
        }
        return;
    }
    case RowKind::Grey:
    case RowKind::Bgr:
        if (in != out)
            std::memcpy(out, in, size_t(width) * (plan.kind == RowKind::Grey ? 1 : 3));
        return;
    case RowKind::GreyAlpha:
        if (plan.wide) {
            for (uint32_t x = 0; x < width; ++x)
                out[x] = OverWhite16(in + 4 * x, in + 4 * x + 2);
            return;
        }
        for (uint32_t x = 0; x < width; ++x)
            out[x] = OverWhite(in[2 * x], in[2 * x + 1]);
        return;
    case RowKind::Bgra:
        if (plan.wide) {
            for (uint32_t x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c)
                    out[3 * x + c] = OverWhite16(in + 8 * x + 2 * c, in + 8 * x + 6);
            return;
        }
        for (uint32_t x = 0; x < width; ++x) {
            const unsigned a = in[4 * x + 3];
            out[3 * x] = OverWhite(in[4 * x], a);
            out[3 * x + 1] = OverWhite(in[4 * x + 1], a);
            out[3 * x + 2] = OverWhite(in[4 * x + 2], a);
        }
        return;
    }
}

// Everything that calls libpng after setjmp. Holds no object with a destructor.
// Returns false (job.error set) when the picture cannot be made.
bool ReadPng(PngJob &job)
{
    png_set_read_fn(job.png, &job, OnRead);
    png_set_user_limits(job.png, uint32_t(kMaxPictureSide), uint32_t(kMaxPictureSide));
    png_set_chunk_malloc_max(job.png, 16u << 20);
    png_read_info(job.png, job.info);

    const uint32_t width = png_get_image_width(job.png, job.info);
    const uint32_t height = png_get_image_height(job.png, job.info);
    if (const std::optional<std::string> refusal = CheckPictureSize(width, height)) {
        job.error = *refusal;
        job.fullText = true;
        return false;
    }
    Plan plan = MakePlan(job);
    const int passes = png_set_interlace_handling(job.png);
    png_read_update_info(job.png, job.info);

    job.raster = newdib(int32_t(width), int32_t(height), plan.depth, nullptr, 0);
    if (!job.raster.Pixels) {
        job.error = "There is not enough memory for the picture";
        job.fullText = true;
        return false;
    }
    if (plan.kind == RowKind::Indexed)
        FillPalette(job, plan);
    else if (plan.depth == 8)
        SetGreyPalette(job.raster);

    const RasterImage &raster = job.raster;
    const size_t rowBytes = png_get_rowbytes(job.png, job.info);
    const bool inPlace = (plan.kind == RowKind::Indexed && plan.fileBits != 2)
                         || plan.kind == RowKind::Grey || plan.kind == RowKind::Bgr;
    if (inPlace) {
        job.rows.resize(height);
        for (uint32_t y = 0; y < height; ++y)
            job.rows[y] = PictureRow(raster, y);
    } else {
        // Interlaced pictures need every row at once; others one row at a time.
        const size_t keptRows = passes > 1 ? height : 1;
        job.buffer.resize(rowBytes * keptRows);
        job.rows.resize(keptRows);
        for (size_t y = 0; y < keptRows; ++y)
            job.rows[y] = job.buffer.data() + rowBytes * y;
    }

    if (inPlace || passes > 1) {
        png_read_image(job.png, job.rows.data());
        for (uint32_t y = 0; y < height; ++y)
            ConvertRow(plan, job.rows[y], PictureRow(raster, y), width);
    } else {
        for (uint32_t y = 0; y < height; ++y) {
            png_read_row(job.png, job.rows[0], nullptr);
            ConvertRow(plan, job.rows[0], PictureRow(raster, y), width);
        }
    }
    return true;
}

} // namespace

bool IsPng(Bytes file)
{
    static constexpr uint8_t kMagic[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    return file.size >= 8 && std::memcmp(file.data, kMagic, 8) == 0;
}

RasterImage DecodePng(Bytes file)
{
    // The size from IHDR, checked before libpng allocates anything for the picture.
    if (file.size >= 24 && std::memcmp(file.data + 12, "IHDR", 4) == 0) {
        if (const auto refusal = CheckPictureSize(Be32(file.data + 16), Be32(file.data + 20));
            refusal && refusal->starts_with("The picture is too large"))
            return FailedRaster(*refusal);
    }

    const std::unique_ptr<PngJob> job = std::make_unique<PngJob>();
    job->file = file;
    job->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, job.get(), OnError, OnWarning);
    if (!job->png)
        return FailedRaster("There is not enough memory for the picture");
    job->info = png_create_info_struct(job->png);
    if (!job->info)
        return FailedRaster("There is not enough memory for the picture");

    if (setjmp(png_jmpbuf(job->png)))
        return DamagedRaster(job->error);
    if (!ReadPng(*job))
        return job->fullText ? FailedRaster(job->error) : DamagedRaster(job->error);

    const RasterImage result = job->raster;
    job->raster = RasterImage{};
    return result;
}

} // namespace rastix
