// SPDX-License-Identifier: GPL-3.0-or-later
// Hostile OpenRaster work files made from a valid one: truncations, flipped bytes, a
// missing or wrong mimetype, a stack.xml that is not XML or expands entities without
// end, huge declared sizes (in stack.xml and in a layer's PNG header), layer paths that
// leave the archive, missing layers, layers of different sizes, far too many layers, and
// a zip bomb (an entry that inflates far beyond what the picture can need).
#pragma once

#include "support/HostileCorpus.h"

#include <cstdint>
#include <vector>

namespace hostile {

// Each case, named; every one must be refused (the generic truncations and bit flips
// come from HostileVariants and may happen to stay readable).
std::vector<HostileFile> HostileWorkFiles(const std::vector<uint8_t> &valid);

} // namespace hostile
