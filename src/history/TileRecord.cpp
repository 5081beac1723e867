// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/TileRecord.h"

#include "colour/DoPix.h"

#include <zstd.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace history {

namespace {

enum RunKind : uint8_t { kUnchanged = 0, kSource = 1, kLiteral = 2, kFirstPaint = 3 };

// Kept bytes below this size are not worth compressing.
constexpr size_t kPackFrom = 512;

bool Same(const uint8_t *a, const uint8_t *b)
{
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

// The bytes a paint's table gives a pixel of this grey value, as stored.
bool SameAsPaint(const uint8_t *pixel, const colour::GreyColourTable &table, size_t grey)
{
    return pixel[0] == table.Blue[grey] && pixel[1] == table.Green[grey]
           && pixel[2] == table.Red[grey];
}

class RunWriter {
public:
    explicit RunWriter(std::vector<uint8_t> &out) : out_(out) {}
    void Add(uint8_t kind)
    {
        if (length_ > 0 && (kind != kind_ || length_ == 255))
            Flush();
        kind_ = kind;
        ++length_;
    }
    void Flush()
    {
        if (length_ == 0)
            return;
        out_.push_back(kind_);
        out_.push_back(uint8_t(length_));
        length_ = 0;
    }

private:
    std::vector<uint8_t> &out_;
    uint8_t kind_ = 0;
    int length_ = 0;
};

// before(y) and after(y) give the tile's row y (rows from the top, relative to the
// picture) at the tile's left edge; after may give null.
template <typename Before, typename After>
TileRecord Encode(const Rect &area, Before before, After after, const RasterImage &source,
                  const Candidates &candidates)
{
    TileRecord record;
    record.area = area;
    record.paints = candidates.ids;
    const int32_t width = area.Width();
    record.runs.reserve(size_t(area.Height()) * 4);
    RunWriter runs(record.runs);
    for (int32_t y = area.Top; y < area.Bottom; ++y) {
        const uint8_t *was = before(y);
        const uint8_t *now = after(y);
        const uint8_t *src = PictureRow(source, y) + 3 * ptrdiff_t(area.Left);
        for (int32_t x = 0; x < width; ++x, was += 3, src += 3) {
            if (now && Same(was, now + 3 * x)) {
                runs.Add(kUnchanged);
                continue;
            }
            if (Same(was, src)) {
                runs.Add(kSource);
                continue;
            }
            const size_t grey = size_t(colour::GreyValue(src[2], src[1], src[0]));
            uint8_t kind = kLiteral;
            for (size_t k = 0; k < candidates.count; ++k) {
                if (SameAsPaint(was, *candidates.tables[k], grey)) {
                    kind = uint8_t(kFirstPaint + k);
                    break;
                }
            }
            if (kind == kLiteral)
                record.literal.insert(record.literal.end(), was, was + 3);
            runs.Add(kind);
        }
        runs.Flush(); // runs never cross rows
    }
    record.literalSize = uint32_t(record.literal.size());
    if (record.literal.size() >= kPackFrom) {
        std::vector<uint8_t> packed(ZSTD_compressBound(record.literal.size()));
        const size_t n = ZSTD_compress(packed.data(), packed.size(), record.literal.data(),
                                       record.literal.size(), 1);
        if (!ZSTD_isError(n) && n < record.literal.size()) {
            packed.resize(n);
            packed.shrink_to_fit();
            record.literal = std::move(packed);
            record.packed = true;
        }
    }
    record.runs.shrink_to_fit();
    record.literal.shrink_to_fit();
    return record;
}

} // namespace

Rect TileArea(int32_t tx, int32_t ty, int32_t width, int32_t height)
{
    const int32_t left = tx * kTileSide;
    const int32_t top = ty * kTileSide;
    return Rect{left, top, std::min(width, left + kTileSide), std::min(height, top + kTileSide)};
}

TileBytes CopyTile(const RasterImage &raster, const Rect &area)
{
    TileBytes tile;
    tile.area = area;
    const size_t rowBytes = size_t(area.Width()) * 3;
    tile.bytes.resize(rowBytes * size_t(area.Height()));
    uint8_t *out = tile.bytes.data();
    for (int32_t y = area.Top; y < area.Bottom; ++y, out += rowBytes)
        std::memcpy(out, PictureRow(raster, y) + 3 * ptrdiff_t(area.Left), rowBytes);
    return tile;
}

TileRecord EncodeTile(const TileBytes &before, const TileBytes *after, const RasterImage &source,
                      const Candidates &candidates)
{
    const size_t rowBytes = size_t(before.area.Width()) * 3;
    const auto row = [&](const TileBytes &t, int32_t y) {
        return t.bytes.data() + size_t(y - t.area.Top) * rowBytes;
    };
    return Encode(
        before.area, [&](int32_t y) { return row(before, y); },
        [&](int32_t y) -> const uint8_t * { return after ? row(*after, y) : nullptr; }, source,
        candidates);
}

TileRecord EncodeTile(const RasterImage &raster, const Rect &area, const RasterImage &source,
                      const Candidates &candidates)
{
    return Encode(
        area, [&](int32_t y) { return PictureRow(raster, y) + 3 * ptrdiff_t(area.Left); },
        [](int32_t) -> const uint8_t * { return nullptr; }, source, candidates);
}

bool LeftAsItWas(const TileRecord &record)
{
    for (size_t i = 0; i < record.runs.size(); i += 2)
        if (record.runs[i] != kUnchanged)
            return false;
    return true;
}

void RestoreTile(const TileRecord &record, const RasterImage &work, const RasterImage &source,
                 const std::array<const colour::GreyColourTable *, kCandidates> &tables)
{
    std::vector<uint8_t> unpacked;
    const uint8_t *literal = record.literal.data();
    if (record.packed) {
        unpacked.resize(record.literalSize);
        const size_t n = ZSTD_decompress(unpacked.data(), unpacked.size(), record.literal.data(),
                                         record.literal.size());
        if (ZSTD_isError(n) || n != record.literalSize)
            throw std::bad_alloc(); // cannot happen for data we packed ourselves
        literal = unpacked.data();
    }
    const Rect &area = record.area;
    size_t next = 0;
    for (int32_t y = area.Top; y < area.Bottom; ++y) {
        uint8_t *out = PictureRow(work, y) + 3 * ptrdiff_t(area.Left);
        const uint8_t *src = PictureRow(source, y) + 3 * ptrdiff_t(area.Left);
        int32_t x = 0;
        while (x < area.Width()) {
            const uint8_t kind = record.runs[next];
            const int32_t length = record.runs[next + 1];
            next += 2;
            const size_t bytes = size_t(length) * 3;
            switch (kind) {
            case kUnchanged: break;
            case kSource: std::memcpy(out + 3 * x, src + 3 * x, bytes); break;
            case kLiteral:
                std::memcpy(out + 3 * x, literal, bytes);
                literal += bytes;
                break;
            default: {
                const colour::GreyColourTable &table = *tables[kind - kFirstPaint];
                for (int32_t i = x; i < x + length; ++i) {
                    const uint8_t *s = src + 3 * i;
                    const size_t grey = size_t(colour::GreyValue(s[2], s[1], s[0]));
                    uint8_t *d = out + 3 * i;
                    d[0] = table.Blue[grey];
                    d[1] = table.Green[grey];
                    d[2] = table.Red[grey];
                }
                break;
            }
            }
            x += length;
        }
    }
}

} // namespace history
