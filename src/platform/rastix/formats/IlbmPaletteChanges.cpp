// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/formats/IlbmPaletteChanges.h"

#include "platform/rastix/formats/Decoder.h"

namespace rastix {
namespace {

constexpr unsigned kTwelveBit = 1;
constexpr unsigned kThirtyTwoBit = 2;
constexpr size_t kHeaderBytes = 20;

std::string Damaged(const std::string &what)
{
    return "The picture is damaged: " + what;
}

} // namespace

std::variant<std::vector<PaletteChange>, std::string> ReadPaletteChanges(const uint8_t *data,
                                                                         size_t size)
{
    if (size < kHeaderBytes)
        return Damaged("its IFF PCHG chunk is shorter than its header");
    const unsigned compression = Be16(data);
    const unsigned flags = Be16(data + 2);
    const int startLine = int16_t(Be16(data + 4));
    const size_t lineCount = Be16(data + 6);
    if (compression == 1)
        return std::string("IFF PCHG palette changes with Huffman compression are not supported");
    if (compression != 0)
        return "IFF PCHG compression " + std::to_string(compression) + " is not supported";
    if (!(flags & (kTwelveBit | kThirtyTwoBit)))
        return Damaged("its IFF PCHG chunk has neither 12-bit nor 32-bit changes");

    size_t pos = kHeaderBytes;
    const size_t maskBytes = (lineCount + 31) / 32 * 4;
    if (size - pos < maskBytes)
        return Damaged("its IFF PCHG chunk ends inside its line mask");
    const uint8_t *mask = data + pos;
    pos += maskBytes;
    std::vector<PaletteChange> changes;
    for (size_t i = 0; i < lineCount; ++i) {
        if (!(mask[i / 8] & (0x80 >> (i % 8))))
            continue;
        const int line = startLine + int(i);
        if (flags & kTwelveBit) {
            if (size - pos < 2)
                return Damaged("its IFF PCHG chunk ends inside its changes");
            const size_t low = data[pos], high = data[pos + 1];
            pos += 2;
            if ((size - pos) / 2 < low + high)
                return Damaged("its IFF PCHG chunk ends inside its changes");
            for (size_t k = 0; k < low + high; ++k, pos += 2) {
                const unsigned w = Be16(data + pos);
                const int reg = int(w >> 12) + (k < low ? 0 : 16);
                changes.push_back({line,
                                   reg,
                                   {uint8_t((w >> 8 & 15) * 17), uint8_t((w >> 4 & 15) * 17),
                                    uint8_t((w & 15) * 17)}});
            }
        } else {
            if (size - pos < 2)
                return Damaged("its IFF PCHG chunk ends inside its changes");
            const size_t count = Be16(data + pos);
            pos += 2;
            if ((size - pos) / 6 < count)
                return Damaged("its IFF PCHG chunk ends inside its changes");
            for (size_t k = 0; k < count; ++k, pos += 6) {
                const unsigned reg = Be16(data + pos);
                const uint8_t *c = data + pos + 2; // alpha, red, blue, green
                if (reg < 256)
                    changes.push_back({line, int(reg), {c[1], c[3], c[2]}});
            }
        }
    }
    return changes;
}

} // namespace rastix
