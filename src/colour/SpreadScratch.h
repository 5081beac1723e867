// SPDX-License-Identifier: GPL-3.0-or-later
// The memory the spread of Follow edges works in, kept from one spread to the next. A
// stroke's spread then works in memory it already has, where fresh memory would first be
// cleared by the system page by page, and gives nothing back when it ends: together
// about as long as the spread itself. Between spreads every value is zero; a spread
// clears what it used before it ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace colour {

// A mark at a distance, as one number that orders by distance, then by mark id:
// (1 + distance) << 16 | mark. 0 stands for none.
using MarkKey = uint32_t;
constexpr MarkKey KeyOf(uint32_t near, uint16_t mark)
{
    return near << 16 | mark;
}
constexpr uint16_t MarkOf(MarkKey key)
{
    return uint16_t(key & 0xffff);
}
constexpr uint32_t NearOf(MarkKey key)
{
    return key >> 16;
}

class SpreadScratch {
public:
    // Room for count pixels, all zero; what it has is kept when it is enough. Throws
    // std::bad_alloc when there is no memory for it (nothing is kept then).
    void Fit(size_t count);
    size_t Count() const { return count_; }
    // Has the system give it every page now (writing the zeros it holds), which the first
    // spread would otherwise wait for.
    void Touch();

    // For each pixel, 1 + its distance from a stroke (0: not reached).
    uint32_t *Nearest() const { return nearest_.get(); }
    // For each pixel, its nearest mark and the next nearest.
    MarkKey *First() const { return first_.get(); }
    MarkKey *Second() const { return second_.get(); }

private:
    using Block = std::unique_ptr<uint32_t, void (*)(void *)>;
    size_t count_ = 0;
    Block nearest_{nullptr, std::free}, first_{nullptr, std::free}, second_{nullptr, std::free};
};

} // namespace colour
