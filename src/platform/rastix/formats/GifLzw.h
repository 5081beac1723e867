// SPDX-License-Identifier: GPL-3.0-or-later
// GIF's LZW decoding for the minimum code sizes giflib refuses (9 to 11 bits: indices
// past 255, which other decoders read and which the raster clamps to its colour table).
// Codes are read low bit first from the image's data sub-blocks; the code width starts
// one above the code size and grows up to 12 bits; a full table stays as it is until
// the next clear code. Nothing outside the given bytes is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rastix {

class GifLzwReader {
public:
    // data starts at the first sub-block's length byte after the code-size byte.
    GifLzwReader(const uint8_t *data, size_t size, int codeSize);

    // The next count indices of the picture; false when the data ends (or breaks) first,
    // leaving the rest of out as it was.
    bool Read(uint16_t *out, size_t count);

private:
    int NextCode();
    bool Emit(int code);

    const uint8_t *data_;
    size_t size_;
    size_t pos_ = 0;       // next byte of the file data
    size_t blockLeft_ = 0; // bytes left in the current sub-block
    bool ended_ = false;   // the data ended (terminator, end of code, or a broken code)
    uint32_t bits_ = 0;
    int bitCount_ = 0;
    int codeSize_;
    int clear_, width_, next_, previous_ = -1;
    std::vector<uint16_t> prefix_, suffix_, length_;
    std::vector<uint16_t> pending_; // indices decoded but not handed out, last first
};

} // namespace rastix
