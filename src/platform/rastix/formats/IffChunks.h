// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the picture in an IFF file and its chunks: a FORM ILBM, PBM or ACBM on its own
// or inside CAT and LIST containers (the first picture FORM counts; a LIST's PROP ILBM
// gives the properties its FORMs leave out). Every length is checked against the
// bytes that hold it.
#pragma once

#include "platform/rastix/formats/Decoder.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace rastix {

struct IffChunks {
    const uint8_t *bmhd = nullptr; // at least 20 bytes
    const uint8_t *cmap = nullptr;
    int cmapColours = 0;
    const uint8_t *cmyk = nullptr; // a CMYK chunk: cyan, magenta, yellow, black per colour
    int cmykColours = 0;
    uint32_t camg = 0;
    const uint8_t *pchg = nullptr;
    size_t pchgSize = 0;
    const uint8_t *body = nullptr; // BODY, or ABIT for ACBM
    size_t bodySize = 0;
};

struct IffPicture {
    Bytes form;        // the FORM chunk, header included
    char type[5] = {}; // "ILBM", "PBM ", "ACBM"
    IffChunks chunks;  // the PROP's properties, then the FORM's
    std::string error; // empty when the picture was found
};

// True when the bytes start an IFF file (FORM, CAT or LIST) holding a picture FORM.
bool HasIffPicture(Bytes file);

// The first picture FORM and its chunks up to BODY (or ABIT).
IffPicture FindIffPicture(Bytes file);

} // namespace rastix
