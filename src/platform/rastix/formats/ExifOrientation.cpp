// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/formats/ExifOrientation.h"

#include <cstring>

namespace rastix {

int ExifOrientation(const uint8_t *data, size_t size)
{
    if (!data || size < 14 || std::memcmp(data, "Exif\0\0", 6) != 0)
        return 1;
    const uint8_t *tiff = data + 6;
    const size_t length = size - 6;
    const bool little = tiff[0] == 'I' && tiff[1] == 'I';
    if (!little && !(tiff[0] == 'M' && tiff[1] == 'M'))
        return 1;
    auto u16 = [&](size_t at) {
        return little ? unsigned(tiff[at] | tiff[at + 1] << 8)
                      : unsigned(tiff[at] << 8 | tiff[at + 1]);
    };
    auto u32 = [&](size_t at) {
        return little ? uint32_t(u16(at)) | uint32_t(u16(at + 2)) << 16
                      : uint32_t(u16(at)) << 16 | uint32_t(u16(at + 2));
    };
    if (u16(2) != 42)
        return 1;
    const size_t directory = u32(4);
    if (directory > length || length - directory < 2)
        return 1;
    const size_t entries = u16(directory);
    for (size_t i = 0; i < entries; ++i) {
        const size_t entry = directory + 2 + 12 * i;
        if (entry > length || length - entry < 12)
            return 1;
        // Tag 274, type SHORT (3), one value, held in the entry itself.
        if (u16(entry) == 274) {
            const unsigned value = u16(entry + 8);
            return u16(entry + 2) == 3 && u32(entry + 4) == 1 && value >= 1 && value <= 8
                       ? int(value)
                       : 1;
        }
    }
    return 1;
}

} // namespace rastix
