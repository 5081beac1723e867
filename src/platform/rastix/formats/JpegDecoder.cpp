// SPDX-License-Identifier: GPL-3.0-or-later
// JPEG/JFIF files through libjpeg.
#include "platform/rastix/formats/Decoder.h"

namespace rastix {

bool IsJpeg(Bytes file)
{
    return file.size >= 3 && file.data[0] == 0xff && file.data[1] == 0xd8 && file.data[2] == 0xff;
}

RasterImage DecodeJpeg(Bytes)
{
    return DamagedRaster("JPEG reading is not available yet");
}

} // namespace rastix
