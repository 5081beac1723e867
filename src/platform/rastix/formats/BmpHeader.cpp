// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/formats/BmpHeader.h"

#include <algorithm>

namespace rastix {

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kAlphaBitfields = 6; // BI_ALPHABITFIELDS: four masks after a 40-byte header

bool ValidBits(uint32_t bits)
{
    return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24
           || bits == 32;
}

bool KnownHeaderSize(uint32_t size)
{
    return size == 12 || (size >= 16 && size <= 64) || size == 108 || size == 124;
}

// A bare DIB has no magic bytes: accept it only when its header size is one we know,
// there is one plane and the depth is a BMP depth.
bool LooksLikeBareDib(Bytes file)
{
    if (file.size < 16)
        return false;
    const uint32_t size = Le32(file.data);
    if (!KnownHeaderSize(size) || file.size < size)
        return false;
    const uint8_t *p = file.data;
    return size == 12 ? Le16(p + 8) == 1 && ValidBits(Le16(p + 10))
                      : Le16(p + 12) == 1 && ValidBits(Le16(p + 14));
}

BmpLayout Refuse(const std::string &what)
{
    BmpLayout layout;
    layout.error = "The picture is damaged: " + what;
    return layout;
}

// A valid BMP of a kind not read: the whole text names it.
BmpLayout Unsupported(const std::string &what)
{
    BmpLayout layout;
    layout.error = "BMP " + what + " is not supported";
    return layout;
}

} // namespace

bool LooksLikeBmp(Bytes file)
{
    if (file.size >= 2 && file.data[0] == 'B' && file.data[1] == 'M')
        return true;
    return LooksLikeBareDib(file);
}

BmpLayout ReadBmpLayout(Bytes file)
{
    const bool hasFileHeader = file.size >= 2 && file.data[0] == 'B' && file.data[1] == 'M';
    const size_t headerStart = hasFileHeader ? kFileHeaderBytes : 0;
    if (file.size < headerStart + 16)
        return Refuse("the file ends inside its header");
    const uint8_t *h = file.data + headerStart;
    const uint32_t headerSize = Le32(h);
    if (!KnownHeaderSize(headerSize))
        return Refuse("its header size " + std::to_string(headerSize) + " is not a BMP header");
    if (file.size < headerStart + headerSize)
        return Refuse("the file ends inside its header");

    BmpLayout layout;
    uint32_t colourCount = 0;
    bool os2 = false;
    if (headerSize == 12) {
        layout.width = Le16(h + 4);
        layout.height = Le16(h + 6);
        layout.bits = Le16(h + 10);
        layout.paletteEntryBytes = 3;
    } else {
        os2 = headerSize < 108 && headerSize != 40 && headerSize != 52 && headerSize != 56;
        layout.width = int32_t(Le32(h + 4));
        const int32_t height = int32_t(Le32(h + 8));
        layout.topDown = height < 0;
        layout.height = height < 0 ? -int64_t(height) : int64_t(height);
        layout.bits = Le16(h + 14);
        layout.compression = headerSize >= 20 ? Le32(h + 16) : BI_RGB;
        colourCount = headerSize >= 36 ? Le32(h + 32) : 0;
    }
    if (layout.bits == 64)
        return Unsupported("with 64 bits per pixel");
    if (!ValidBits(uint32_t(layout.bits)))
        return Refuse(std::to_string(layout.bits) + " bits per pixel is not a BMP depth");
    if (const auto refusal = CheckPictureSize(layout.width, layout.height)) {
        layout.error = *refusal;
        return layout;
    }

    size_t tableStart = headerStart + headerSize;
    const uint32_t c = layout.compression;
    if (os2 && (c == 3 || c == 4))
        return Unsupported(c == 3 ? "with OS/2 Huffman compression"
                                  : "with OS/2 RLE24 compression");
    if (c == 4 || c == 5)
        return Unsupported(c == 4 ? "holding JPEG data" : "holding PNG data");
    if (c > kAlphaBitfields)
        return Unsupported("compression " + std::to_string(c));
    if (c == kAlphaBitfields)
        layout.compression = BI_BITFIELDS;
    const bool fits =
        (layout.compression == BI_RGB) || (layout.compression == BI_RLE8 && layout.bits == 8)
        || (layout.compression == BI_RLE4 && layout.bits == 4)
        || (layout.compression == BI_BITFIELDS && (layout.bits == 16 || layout.bits == 32));
    if (!fits)
        return Refuse("compression " + std::to_string(c) + " does not fit "
                      + std::to_string(layout.bits) + " bits per pixel");
    if ((layout.compression == BI_RLE8 || layout.compression == BI_RLE4) && layout.topDown)
        return Refuse("a compressed picture cannot be stored top row first");

    if (layout.compression == BI_BITFIELDS) {
        const uint8_t *m = nullptr;
        if (headerSize >= 52) {
            m = h + 40;
        } else {
            const size_t maskBytes = c == kAlphaBitfields ? 16 : 12;
            if (file.size < tableStart + maskBytes)
                return Refuse("the file ends inside its colour masks");
            m = file.data + tableStart;
            tableStart += maskBytes;
        }
        for (int i = 0; i < 3; ++i)
            layout.masks[i] = Le32(m + 4 * i);
    } else if (layout.bits == 16) {
        layout.masks[0] = 0x7c00, layout.masks[1] = 0x03e0, layout.masks[2] = 0x001f;
    } else if (layout.bits == 32) {
        layout.masks[0] = 0xff0000, layout.masks[1] = 0xff00, layout.masks[2] = 0xff;
    }

    layout.paletteOffset = tableStart;
    int wanted = 0;
    if (layout.bits <= 8) {
        const uint32_t full = 1u << layout.bits;
        wanted = int(colourCount == 0 || colourCount > full ? full : colourCount);
    }
    const size_t tableEnd = tableStart + size_t(wanted) * layout.paletteEntryBytes;

    // The file header's data offset wins when it points inside the file after the
    // header; a zero or impossible offset falls back to "right after the table".
    const size_t declared = hasFileHeader ? Le32(file.data + 10) : 0;
    layout.pixelOffset = declared >= tableStart && declared < file.size ? declared : tableEnd;

    if (layout.bits <= 8) {
        // Writers that declare more colours than they store: keep those before the data.
        const size_t room = std::min(layout.pixelOffset, file.size);
        const size_t present =
            room > tableStart ? (room - tableStart) / layout.paletteEntryBytes : 0;
        layout.paletteCount = int(std::min<size_t>(size_t(wanted), present));
        if (layout.paletteCount == 0)
            return Refuse("its colour table is missing");
    }
    if (layout.pixelOffset >= file.size)
        return Refuse("the file ends before its pixel data");
    return layout;
}

} // namespace rastix
