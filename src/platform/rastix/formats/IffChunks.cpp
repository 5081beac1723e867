// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/formats/IffChunks.h"

#include <algorithm>
#include <cstring>

namespace rastix {
namespace {

constexpr int kMaxNesting = 8;

bool Is(const uint8_t *p, const char *id)
{
    return std::memcmp(p, id, 4) == 0;
}

bool PictureType(const uint8_t *p)
{
    return Is(p, "ILBM") || Is(p, "PBM ") || Is(p, "ACBM");
}

// The chunk at pos: its id, its data and the position after it; false when the header
// does not fit (a chunk running past the end is cut to what is there).
struct Chunk {
    const uint8_t *id;
    const uint8_t *data;
    size_t size;
    bool whole;
};

bool ChunkAt(Bytes b, size_t pos, size_t end, Chunk &c)
{
    if (end < 8 || pos > end - 8)
        return false;
    const size_t length = Be32(b.data + pos + 4);
    const size_t room = end - pos - 8;
    c = {b.data + pos, b.data + pos + 8, std::min(length, room), length <= room};
    return true;
}

size_t After(size_t pos, const Chunk &c)
{
    return pos + 8 + c.size + (c.size & 1);
}

// Collects the property chunks of a FORM or PROP between pos and end; stops at BODY or
// ABIT. Returns an error text, empty when fine.
std::string ReadChunks(Bytes b, size_t pos, size_t end, IffChunks &chunks, bool form)
{
    Chunk c;
    while (ChunkAt(b, pos, end, c)) {
        if (form && (Is(c.id, "BODY") || Is(c.id, "ABIT"))) {
            chunks.body = c.data;
            chunks.bodySize = c.size;
            if (!c.whole)
                return {};
        } else if (!c.whole) {
            return "an IFF chunk runs past the end of the file";
        } else if (Is(c.id, "BMHD") && c.size >= 20) {
            chunks.bmhd = c.data;
        } else if (Is(c.id, "CMAP")) {
            chunks.cmap = c.data;
            chunks.cmapColours = int(std::min<size_t>(c.size / 3, 256));
        } else if (Is(c.id, "CMYK")) {
            chunks.cmyk = c.data;
            chunks.cmykColours = int(std::min<size_t>(c.size / 4, 256));
        } else if (Is(c.id, "CAMG") && c.size >= 4) {
            chunks.camg = Be32(c.data);
        } else if (Is(c.id, "PCHG")) {
            chunks.pchg = c.data;
            chunks.pchgSize = c.size;
        }
        pos = After(pos, c);
    }
    if (form && !chunks.body)
        return "the IFF file has no BODY chunk";
    return {};
}

// Searches the container's contents between pos and end.
bool Search(Bytes b, size_t pos, size_t end, int depth, IffChunks defaults, IffPicture &found)
{
    Chunk c;
    while (ChunkAt(b, pos, end, c)) {
        if (c.size >= 4 && Is(c.id, "FORM") && PictureType(c.data)) {
            found.form = {c.id, c.size + 8};
            std::memcpy(found.type, c.data, 4);
            found.chunks = defaults;
            found.error = ReadChunks(b, size_t(c.data - b.data) + 4,
                                     size_t(c.data - b.data) + c.size, found.chunks, true);
            return true;
        }
        if (c.size >= 4 && Is(c.id, "PROP") && Is(c.data, "ILBM"))
            ReadChunks(b, size_t(c.data - b.data) + 4, size_t(c.data - b.data) + c.size, defaults,
                       false);
        if (c.size >= 4 && (Is(c.id, "CAT ") || Is(c.id, "LIST")) && depth < kMaxNesting
            && Search(b, size_t(c.data - b.data) + 4, size_t(c.data - b.data) + c.size, depth + 1,
                      defaults, found))
            return true;
        pos = After(pos, c);
    }
    return false;
}

} // namespace

IffPicture FindIffPicture(Bytes file)
{
    IffPicture found;
    if (file.size < 12 || !Search(file, 0, file.size, 0, {}, found))
        found.error = "the IFF file holds no ILBM, PBM or ACBM picture";
    return found;
}

bool HasIffPicture(Bytes file)
{
    if (file.size < 12)
        return false;
    if (Is(file.data, "FORM"))
        return PictureType(file.data + 8);
    if (!Is(file.data, "CAT ") && !Is(file.data, "LIST"))
        return false;
    IffPicture found;
    return Search(file, 0, file.size, 0, {}, found);
}

} // namespace rastix
