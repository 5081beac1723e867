// SPDX-License-Identifier: GPL-3.0-or-later
#include "colour/StrokeRecord.h"

#include <algorithm>
#include <new>

namespace colour {

void StrokeRecord::Reset(int32_t width, int32_t height)
{
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    ids_.clear();
    ids_.shrink_to_fit();
    marks_.assign(1, StrokeMark{});
    byKey_.clear();
}

bool StrokeRecord::Allocate()
{
    if (Allocated())
        return true;
    try {
        ids_.assign(size_t(width_) * size_t(height_), 0);
    } catch (const std::bad_alloc &) {
        return false;
    }
    return Allocated();
}

StrokeRecord::Key StrokeRecord::KeyOf(const StrokeMark &mark)
{
    // The eraser's paint does not matter; a brightness beyond -100..100 acts as the
    // nearest end, as in the colouring rule.
    if (!mark.colorize)
        return {0, 0, 0, false, false, mark.spreads};
    return {mark.paint.hue,
            mark.paint.saturation,
            std::clamp(mark.paint.brightness, -100, 100),
            mark.paint.keepTones,
            true,
            mark.spreads};
}

uint16_t StrokeRecord::IdOf(const StrokeMark &mark)
{
    const Key key = KeyOf(mark);
    const auto found = byKey_.find(key);
    if (found != byKey_.end())
        return found->second;
    if (marks_.size() > kLastId)
        return 0;
    const auto id = uint16_t(marks_.size());
    marks_.push_back(mark);
    byKey_.emplace(key, id);
    return id;
}

} // namespace colour
