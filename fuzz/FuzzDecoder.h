// SPDX-License-Identifier: GPL-3.0-or-later
// One decoder run on fuzzer input: whatever the bytes, the result is either a refusal
// with a zero-terminated text or a raster whose pixel memory is as large as its header says.
#pragma once

#include "platform/rastix/Rastix.h"
#include "platform/rastix/formats/Decoder.h"

#include <cstdlib>
#include <cstring>

inline void CheckDecoded(const RasterImage &raster)
{
    if (!raster.Pixels) {
        const auto *text = reinterpret_cast<const char *>(raster.Palette.palPalEntry);
        if (!std::memchr(text, 0, sizeof raster.Palette.palPalEntry))
            std::abort();
        return;
    }
    // Read the first and last byte of the pixel memory the header promises, so a
    // raster smaller than its header claims is caught without touching every page.
    const uint32_t size = RasterImageSize(raster);
    if (size == 0)
        std::abort();
    volatile uint8_t sink = raster.Pixels[0] ^ raster.Pixels[size - 1];
    (void)sink;
    deldib(raster);
}

inline int FuzzOne(rastix::DecodeFunction decode, const uint8_t *data, size_t size)
{
    CheckDecoded(decode(rastix::Bytes{data, size}));
    return 0;
}
