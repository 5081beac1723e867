// SPDX-License-Identifier: GPL-3.0-or-later
// BMP and DIB files (Windows and OS/2 headers, RLE4 and RLE8).
#include "platform/rastix/formats/Decoder.h"

namespace rastix {

bool IsBmp(Bytes file)
{
    return file.size >= 2 && file.data[0] == 'B' && file.data[1] == 'M';
}

RasterImage DecodeBmp(Bytes)
{
    return DamagedRaster("BMP reading is not available yet");
}

} // namespace rastix
