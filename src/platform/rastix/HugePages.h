// SPDX-License-Identifier: GPL-3.0-or-later
// Large blocks (rasters, files read whole) are touched once right after they are made;
// with 4 KiB pages that first touch costs more than the decoding of an uncompressed file.
// Asking the system for huge pages on such a block makes it several times cheaper.
#pragma once

#include <cstddef>

namespace rastix {

// Blocks from this size on are worth the advice.
constexpr size_t kHugePageWorthy = size_t(4) << 20;

// Advises huge pages for the whole 2 MiB pages inside the block. Does nothing for
// smaller blocks or where the system has no such advice; never fails.
void AdviseHugePages(void *block, size_t bytes);

} // namespace rastix
