// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the Gif decoder directly, without the sniffer in front of it.
#include "FuzzDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return FuzzOne(rastix::DecodeGif, data, size);
}
