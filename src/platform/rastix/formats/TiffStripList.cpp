// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/formats/TiffStripList.h"

#include <algorithm>

namespace rastix {
namespace {

constexpr uint16_t kRowsPerStrip = 278, kStripOffsets = 273, kStripByteCounts = 279;

struct Layout {
    const uint8_t *file;
    uint64_t size;
    bool bigEndian;
    bool bigTiff;

    // n bytes at `at` in the file's byte order; the caller has checked the bounds.
    uint64_t Number(uint64_t at, int n) const
    {
        uint64_t v = 0;
        for (int i = 0; i < n; ++i)
            v |= uint64_t(file[at + uint64_t(bigEndian ? n - 1 - i : i)]) << (8 * i);
        return v;
    }
};

// The width of a value of the entry's type: SHORT, LONG, IFD, LONG8, IFD8; 0 for others.
int ValueBytes(uint64_t type)
{
    switch (type) {
    case 3: return 2;
    case 4:
    case 13: return 4;
    case 16:
    case 18: return 8;
    default: return 0;
    }
}

// Up to `most` values of the entry at `entry`; empty when they do not fit in the file.
std::vector<uint64_t> Values(const Layout &l, uint64_t entry, size_t most)
{
    const uint64_t type = l.Number(entry + 2, 2);
    const uint64_t count = l.Number(entry + 4, l.bigTiff ? 8 : 4);
    const uint64_t inlineBytes = l.bigTiff ? 8 : 4;
    const uint64_t field = entry + (l.bigTiff ? 12 : 8);
    const int width = ValueBytes(type);
    if (width == 0 || count == 0)
        return {};
    const uint64_t n = std::min<uint64_t>(count, most);
    uint64_t at = field;
    if (count > inlineBytes / uint64_t(width)) {
        at = l.Number(field, int(inlineBytes));
        if (at > l.size || (l.size - at) / uint64_t(width) < n)
            return {};
    }
    std::vector<uint64_t> values(static_cast<size_t>(n));
    for (uint64_t i = 0; i < n; ++i)
        values[size_t(i)] = l.Number(at + i * uint64_t(width), width);
    return values;
}

} // namespace

TiffStripList ListTiffStrips(const uint8_t *file, uint64_t size, uint64_t directory, size_t most)
{
    if (size < 16)
        return {};
    const Layout l{file, size, file[0] == 'M', file[2] == 43 || file[3] == 43};
    const uint64_t countBytes = l.bigTiff ? 8 : 2, entryBytes = l.bigTiff ? 20 : 12;
    if (directory > size || size - directory < countBytes)
        return {};
    const uint64_t entries = l.Number(directory, int(countBytes));
    if ((size - directory - countBytes) / entryBytes < entries)
        return {};
    TiffStripList list;
    std::vector<uint64_t> offsets, bytes;
    for (uint64_t i = 0; i < entries; ++i) {
        const uint64_t entry = directory + countBytes + i * entryBytes;
        const uint64_t tag = l.Number(entry, 2);
        if (tag == kRowsPerStrip) {
            const std::vector<uint64_t> v = Values(l, entry, 1);
            list.rowsPerStrip = v.empty() ? 0 : v[0];
        } else if (tag == kStripOffsets) {
            offsets = Values(l, entry, most);
        } else if (tag == kStripByteCounts) {
            bytes = Values(l, entry, most);
        }
    }
    list.strips.resize(std::min(offsets.size(), bytes.size()));
    for (size_t i = 0; i < list.strips.size(); ++i)
        list.strips[i] = {offsets[i], bytes[i]};
    return list;
}

} // namespace rastix
