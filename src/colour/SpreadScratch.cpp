// SPDX-License-Identifier: GPL-3.0-or-later
#include "colour/SpreadScratch.h"

#include "platform/rastix/HugePages.h"

#include <cstring>
#include <new>

namespace colour {

void SpreadScratch::Fit(size_t count)
{
    if (count <= count_)
        return;
    for (Block *block : {&nearest_, &first_, &second_})
        block->reset();
    count_ = 0;
    // calloc: the pages no spread reaches are never touched. The ones a spread reaches
    // are touched in no order, which huge pages make cheaper.
    for (Block *block : {&nearest_, &first_, &second_}) {
        void *p = std::calloc(count, sizeof(uint32_t));
        if (!p) {
            for (Block *made : {&nearest_, &first_, &second_})
                made->reset();
            throw std::bad_alloc();
        }
        rastix::AdviseHugePages(p, count * sizeof(uint32_t));
        block->reset(static_cast<uint32_t *>(p));
    }
    count_ = count;
}

void SpreadScratch::Touch()
{
    for (Block *block : {&nearest_, &first_, &second_})
        if (*block)
            std::memset(block->get(), 0, count_ * sizeof(uint32_t));
}

} // namespace colour
