// SPDX-License-Identifier: GPL-3.0-or-later
// Which stroke painted each pixel of the picture directly: for every pixel a mark id, 0
// where no stroke has painted, otherwise the mark (the paint or the eraser, and whether
// the stroke spreads its colour) of the last stroke that did. Marks that are equal share
// one id, so a picture needs as many ids as the user chose different colours. The mark
// table only grows while the picture is open; an id once handed out keeps its meaning,
// so a row of ids kept for undo stays valid.
#pragma once

#include "colour/Paint.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

namespace colour {

struct StrokeMark {
    Paint paint;          // read only when colorize is set
    bool colorize = true; // false: the eraser, which gives the source pixel
    bool spreads = false; // the stroke followed the edges
    bool operator==(const StrokeMark &) const = default;
};

class StrokeRecord {
public:
    // Ids 1..kLastId; a mark beyond them is not recorded (id 0).
    static constexpr uint16_t kLastId = UINT16_MAX;

    // Forgets every mark and sizes the record for a width x height picture. The ids
    // themselves take memory only once a stroke is recorded.
    void Reset(int32_t width, int32_t height);
    // Makes room for the ids (all 0); false, with nothing recorded, when there is no
    // memory for them.
    bool Allocate();
    bool Allocated() const { return !ids_.empty(); }

    // The id of the mark, made on first use; 0 when the table is full.
    uint16_t IdOf(const StrokeMark &mark);
    // The mark of id (1..MarkCount()).
    const StrokeMark &Mark(uint16_t id) const { return marks_[id]; }
    size_t MarkCount() const { return marks_.size() - 1; }

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    // Row y of the ids, top row first; only while Allocated().
    uint16_t *Row(int32_t y) { return ids_.data() + size_t(y) * size_t(width_); }
    const uint16_t *Row(int32_t y) const { return ids_.data() + size_t(y) * size_t(width_); }

private:
    using Key = std::tuple<int32_t, int32_t, int32_t, bool, bool, bool>;
    static Key KeyOf(const StrokeMark &mark);

    int32_t width_ = 0, height_ = 0;
    std::vector<uint16_t> ids_;
    std::vector<StrokeMark> marks_{StrokeMark{}}; // entry 0 stands for "none"
    std::map<Key, uint16_t> byKey_;
};

} // namespace colour
