// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/HugePages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace rastix {

void AdviseHugePages(void *block, size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (!block || bytes < kHugePageWorthy)
        return;
    constexpr uintptr_t kHuge = uintptr_t(2) << 20;
    const uintptr_t start = (reinterpret_cast<uintptr_t>(block) + kHuge - 1) & ~(kHuge - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(kHuge - 1);
    if (end > start)
        madvise(reinterpret_cast<void *>(start), end - start, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}

} // namespace rastix
