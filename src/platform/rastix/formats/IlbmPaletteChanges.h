// SPDX-License-Identifier: GPL-3.0-or-later
// The PCHG chunk of an ILBM: colour registers that change from a given line on (the
// "palette change" pictures of Amiga paint programs, with more colours on screen than
// the planes index). Uncompressed PCHG data of 12-bit (4 bits a component) or 32-bit
// changes is read; a 32-bit change stores alpha, red, blue, green in that order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace rastix {

struct PaletteChange {
    int line; // picture line from which on the register has the colour
    int reg;  // 0..255
    uint8_t rgb[3];
};

// The changes in line order, or the whole refusal text.
std::variant<std::vector<PaletteChange>, std::string> ReadPaletteChanges(const uint8_t *data,
                                                                         size_t size);

} // namespace rastix
