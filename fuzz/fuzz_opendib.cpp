// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes OpenDibMemory: content sniffing and every decoder behind it.
#include "FuzzDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CheckDecoded(OpenDibMemory(data, size));
    return 0;
}
