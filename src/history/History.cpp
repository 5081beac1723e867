// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/History.h"

#include "colour/EdgeSpread.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace history {

namespace {

constexpr size_t kLargestBudget = size_t(256) << 20;

// Paints that give the same colours share a key: a brightness beyond -100..100 acts as
// the nearest end.
uint64_t PaintKey(const colour::Paint &p)
{
    const int32_t brightness = std::clamp(p.brightness, -100, 100);
    return uint64_t(uint32_t(p.hue) & 0xffffff) << 40
           | uint64_t(uint32_t(p.saturation) & 0xffffff) << 16 | uint64_t(brightness + 100) << 1
           | uint64_t(p.keepTones);
}

Rect Union(const Rect &a, const Rect &b)
{
    if (a.Empty())
        return b;
    if (b.Empty())
        return a;
    return Rect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                std::max(a.Bottom, b.Bottom)};
}

Rect WholePicture(const RasterImage &raster)
{
    return Rect{0, 0, RasterWidth(raster), RasterHeight(raster)};
}

bool Usable(const RasterImage &source, const RasterImage &work)
{
    return source.Pixels && work.Pixels && RasterBitCount(source) == 24
           && RasterBitCount(work) == 24 && RasterWidth(source) == RasterWidth(work)
           && RasterHeight(source) == RasterHeight(work) && RasterWidth(work) > 0
           && RasterHeight(work) > 0;
}

// The part of the picture a stroke step from (x1, y1) to (x2, y2) can write.
Rect Reach(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t radius, int32_t width,
           int32_t height)
{
    if (radius < 0)
        return {};
    const int64_t left = std::max<int64_t>(0, int64_t(std::min(x1, x2)) - radius);
    const int64_t top = std::max<int64_t>(0, int64_t(std::min(y1, y2)) - radius);
    const int64_t right = std::min<int64_t>(width, int64_t(std::max(x1, x2)) + radius + 1);
    const int64_t bottom = std::min<int64_t>(height, int64_t(std::max(y1, y2)) + radius + 1);
    if (right <= left || bottom <= top)
        return {};
    return Rect{int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)};
}

std::vector<uint16_t> CopyMarks(const colour::StrokeRecord &record, const Rect &area)
{
    std::vector<uint16_t> ids;
    ids.reserve(size_t(area.Width()) * size_t(area.Height()));
    for (int32_t y = area.Top; y < area.Bottom; ++y)
        ids.insert(ids.end(), record.Row(y) + area.Left, record.Row(y) + area.Right);
    return ids;
}

bool SameMarks(const colour::StrokeRecord &record, const Rect &area,
               const std::vector<uint16_t> &ids)
{
    size_t k = 0;
    for (int32_t y = area.Top; y < area.Bottom; ++y)
        for (int32_t x = area.Left; x < area.Right; ++x)
            if (record.Row(y)[x] != ids[k++])
                return false;
    return true;
}

// (id, count) runs of ids; a count never exceeds 65535.
std::vector<uint16_t> RunsOf(const std::vector<uint16_t> &ids)
{
    std::vector<uint16_t> runs;
    for (size_t i = 0; i < ids.size();) {
        size_t j = i + 1;
        while (j < ids.size() && ids[j] == ids[i] && j - i < UINT16_MAX)
            ++j;
        runs.push_back(ids[i]);
        runs.push_back(uint16_t(j - i));
        i = j;
    }
    runs.shrink_to_fit();
    return runs;
}

void PutMarksBack(colour::StrokeRecord &record, const Rect &area, const std::vector<uint16_t> &runs)
{
    int32_t x = area.Left, y = area.Top;
    for (size_t r = 0; r + 1 < runs.size(); r += 2)
        for (uint16_t n = 0; n < runs[r + 1] && y < area.Bottom; ++n) {
            record.Row(y)[x] = runs[r];
            if (++x == area.Right) {
                x = area.Left;
                ++y;
            }
        }
}

} // namespace

size_t History::DefaultBudget()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return kLargestBudget;
    return std::min(kLargestBudget, size_t(pages) / 8 * size_t(pageSize));
}

History::History(size_t budget) : budget_(budget) {}

void History::Clear()
{
    // A stroke still being painted goes on over the new picture as a new step.
    const bool stroking = stroking_;
    steps_.clear();
    done_ = 0;
    saved_ = 0;
    base_.clear();
    base_.shrink_to_fit();
    storedBytes_ = 0;
    stroking_ = false;
    current_ = Step{};
    captured_.clear();
    capturedMarks_.clear();
    record_.Reset(0, 0);
    edgeCost_.reset();
    spreadScratch_ = colour::SpreadScratch();
    paintIds_.clear();
    tables_.clear();
    width_ = height_ = tilesX_ = tilesY_ = 0;
    tilePaints_.clear();
    tilePaintCount_.clear();
    if (stroking)
        BeginStroke();
}

void History::Start(const RasterImage &source, const RasterImage &work)
{
    std::vector<uint8_t> base;
    if (Usable(source, work)) {
        const size_t row = size_t(RasterWidth(work)) * 3;
        const int64_t rows = RasterHeight(work);
        bool same = true;
        for (int64_t r = 0; r < rows && same; ++r)
            same =
                std::memcmp(work.Pixels + r * work.Stride, source.Pixels + r * source.Stride, row)
                == 0;
        if (!same) {
            base.resize(row * size_t(rows)); // may throw: the history is still as it was
            for (int64_t r = 0; r < rows; ++r)
                std::memcpy(base.data() + size_t(r) * row, work.Pixels + r * work.Stride, row);
        }
    }
    Clear();
    base_ = std::move(base);
}

void History::AdoptRecord(const RasterImage &work, colour::StrokeRecord record)
{
    PrepareTiles(work);
    if (record.Width() == width_ && record.Height() == height_)
        record_ = std::move(record);
}

void History::MarkSaved()
{
    saved_ = done_;
}

void History::ForgetSaved()
{
    saved_.reset();
}

bool History::Saved() const
{
    return !stroking_ && saved_ == done_;
}

size_t History::RebuildCount() const
{
    return size_t(
        std::count_if(steps_.begin(), steps_.end(), [](const Step &s) { return !s.recorded; }));
}

void History::PrepareTiles(const RasterImage &work)
{
    if (RasterWidth(work) == width_ && RasterHeight(work) == height_)
        return;
    width_ = RasterWidth(work);
    height_ = RasterHeight(work);
    tilesX_ = (width_ + kTileSide - 1) / kTileSide;
    tilesY_ = (height_ + kTileSide - 1) / kTileSide;
    tilePaints_.assign(size_t(tilesX_) * size_t(tilesY_), {});
    tilePaintCount_.assign(tilePaints_.size(), 0);
    record_.Reset(width_, height_);
    edgeCost_.reset();
    spreadScratch_ = colour::SpreadScratch();
}

uint32_t History::PaintId(const colour::Paint &paint)
{
    const uint64_t key = PaintKey(paint);
    const auto found = paintIds_.find(key);
    if (found != paintIds_.end())
        return found->second;
    const uint32_t id = uint32_t(tables_.size());
    tables_.push_back(colour::MakeGreyColourTable(paint));
    paintIds_.emplace(key, id);
    return id;
}

Candidates History::CandidatesOf(size_t tile) const
{
    Candidates c;
    c.count = tilePaintCount_[tile];
    for (size_t k = 0; k < c.count; ++k) {
        c.ids[k] = tilePaints_[tile][k];
        c.tables[k] = &tables_[c.ids[k]];
    }
    return c;
}

void History::Note(size_t tile, const colour::Paint &paint)
{
    // The newest paint first; the oldest falls out.
    const uint32_t id = PaintId(paint);
    auto &list = tilePaints_[tile];
    uint8_t &count = tilePaintCount_[tile];
    size_t at = std::find(list.begin(), list.begin() + count, id) - list.begin();
    if (at == count)
        at = count < kCandidates ? count++ : kCandidates - 1;
    for (size_t k = at; k > 0; --k)
        list[k] = list[k - 1];
    list[0] = id;
}

void History::DropRedoable()
{
    // The saved state was among the steps dropped: no step leads back to it now.
    if (saved_ && *saved_ > done_)
        saved_.reset();
    for (size_t i = done_; i < steps_.size(); ++i)
        storedBytes_ -= steps_[i].bytes;
    steps_.resize(done_);
}

void History::Forget(Step &step)
{
    storedBytes_ -= step.bytes;
    step.before.clear();
    step.before.shrink_to_fit();
    step.marksBefore.clear();
    step.marksBefore.shrink_to_fit();
    step.recorded = false;
    step.bytes = 0;
}

void History::Push(Step step)
{
    DropRedoable();
    step.bytes = sizeof(Step) + step.segments.capacity() * sizeof(Segment);
    for (const TileRecord &r : step.before)
        step.bytes += r.Bytes();
    for (const MarkTile &m : step.marksBefore)
        step.bytes += sizeof(MarkTile) + m.runs.capacity() * sizeof(uint16_t);
    storedBytes_ += step.bytes;
    steps_.push_back(std::move(step));
    done_ = steps_.size();
    KeepWithinBudget();
}

size_t History::StoredBytes() const
{
    return storedBytes_ + tables_.size() * sizeof(colour::GreyColourTable)
           + tilePaints_.size() * (sizeof(tilePaints_[0]) + 1);
}

void History::KeepWithinBudget()
{
    // The oldest records go first; the steps themselves stay, to be done again.
    for (Step &step : steps_) {
        if (StoredBytes() <= budget_)
            return;
        if (step.recorded) {
            const size_t kept = sizeof(Step) + step.segments.capacity() * sizeof(Segment);
            Forget(step);
            step.bytes = kept;
            storedBytes_ += kept;
        }
    }
}

void History::BeginStroke()
{
    current_ = Step{};
    current_.kind = StepKind::Stroke;
    captured_.clear();
    capturedMarks_.clear();
    captureFailed_ = false;
    stroking_ = true;
}

uint16_t History::MarkId(const view::StrokeParams &params)
{
    // The record's ids are made for the first stroke; without memory for them strokes
    // are painted unrecorded and do not spread.
    if (!record_.Allocate())
        return 0;
    return record_.IdOf(view::MarkOf(params));
}

void History::CaptureTiles(const Rect &area, const RasterImage &work)
{
    if (captureFailed_ || area.Empty())
        return;
    try {
        for (int32_t ty = area.Top / kTileSide; ty <= (area.Bottom - 1) / kTileSide; ++ty)
            for (int32_t tx = area.Left / kTileSide; tx <= (area.Right - 1) / kTileSide; ++tx) {
                const size_t tile = size_t(ty) * size_t(tilesX_) + size_t(tx);
                if (captured_.count(tile))
                    continue;
                const Rect tileArea = TileArea(tx, ty, width_, height_);
                captured_.emplace(tile, CopyTile(work, tileArea));
                if (record_.Allocated())
                    capturedMarks_.emplace(tile, CopyMarks(record_, tileArea));
            }
    } catch (const std::bad_alloc &) {
        captureFailed_ = true; // the stroke stays; undoing it will rebuild
        captured_.clear();
        capturedMarks_.clear();
    }
}

Rect History::PaintStroke(const RasterImage &source, const RasterImage &work, int32_t x1,
                          int32_t y1, int32_t x2, int32_t y2, const view::StrokeParams &params)
{
    const bool record = stroking_ && Usable(source, work);
    uint16_t mark = 0;
    if (record) {
        PrepareTiles(work);
        current_.segments.push_back({x1, y1, x2, y2, params});
        mark = MarkId(params); // before the capture, which copies the record's tiles too
        CaptureTiles(Reach(x1, y1, x2, y2, params.radius, width_, height_), work);
    }
    colour::StrokeRecord *marks = record && record_.Allocated() ? &record_ : nullptr;
    // The colours come from the table kept for this paint, so a paint's table is made
    // once, not for every step.
    const Rect changed =
        params.colorize ? view::StrokeLine(source, work, x1, y1, x2, y2, params,
                                           tables_[PaintId(view::PaintOf(params))], marks, mark)
                        : view::StrokeLine(source, work, x1, y1, x2, y2, params,
                                           colour::GreyColourTable{}, marks, mark);
    current_.changed = Union(current_.changed, changed);
    return changed;
}

Rect History::Spread(const std::vector<Segment> &segments, const RasterImage &source,
                     const RasterImage &work, const document::ProgressSink &progress, bool capture)
{
    // Each mark of the stroke that follows the edges spreads from where the stroke
    // painted it, in the order the stroke first used them.
    std::vector<std::pair<uint16_t, Rect>> spreads;
    for (const Segment &s : segments) {
        if (!s.params.followEdges)
            continue;
        const uint16_t mark = record_.IdOf(view::MarkOf(s.params));
        const Rect reach = Reach(s.x1, s.y1, s.x2, s.y2, s.params.radius, width_, height_);
        if (mark == 0 || reach.Empty())
            continue;
        auto at = std::find_if(spreads.begin(), spreads.end(),
                               [mark](const auto &e) { return e.first == mark; });
        if (at == spreads.end())
            spreads.emplace_back(mark, reach);
        else
            at->second = Union(at->second, reach);
    }
    if (spreads.empty() || !record_.Allocated())
        return {};
    Rect changed;
    try {
        if (!edgeCost_)
            edgeCost_ = std::make_unique<colour::EdgeCost>(source);
        for (const auto &[mark, area] : spreads) {
            const colour::EdgeSpread spread(source, *edgeCost_, record_, spreadScratch_, area, mark,
                                            progress);
            if (capture)
                for (const Rect &block : spread.Blocks(kTileSide))
                    CaptureTiles(block, work);
            spread.Write(work);
            changed = Union(changed, spread.Area());
        }
    } catch (const std::bad_alloc &) {
        // No memory for the distances: the stroke stays as painted.
    }
    return changed;
}

void History::PrepareSpreads(const RasterImage &source, const RasterImage &work)
{
    if (!Usable(source, work))
        return;
    PrepareTiles(work);
    try {
        if (!edgeCost_)
            edgeCost_ = std::make_unique<colour::EdgeCost>(source);
        // Memory the spreads have had already is kept: made ready once.
        const bool fresh = spreadScratch_.Count() < edgeCost_->Count();
        spreadScratch_.Fit(edgeCost_->Count());
        if (fresh)
            spreadScratch_.Touch();
    } catch (const std::bad_alloc &) {
        // The first spread makes them, or goes without.
    }
}

Rect History::EndStroke(const RasterImage &source, const RasterImage &work,
                        const document::ProgressSink &progress, const Shown &shown)
{
    if (!stroking_)
        return {};
    stroking_ = false;
    Step step = std::move(current_);
    current_ = Step{};
    Rect spread;
    if (Usable(source, work)) {
        spread = Spread(step.segments, source, work, progress, true);
        step.changed = Union(step.changed, spread);
    }
    if (shown && !spread.Empty())
        shown(spread);
    step.recorded = !captureFailed_ && Usable(source, work);
    if (step.recorded) {
        try {
            std::vector<size_t> tiles;
            for (const auto &entry : captured_)
                tiles.push_back(entry.first);
            std::sort(tiles.begin(), tiles.end());
            for (size_t tile : tiles) {
                const TileBytes &before = captured_.at(tile);
                const TileBytes after = CopyTile(work, before.area);
                TileRecord record = EncodeTile(before, &after, source, CandidatesOf(tile));
                if (!LeftAsItWas(record))
                    step.before.push_back(std::move(record));
                const auto marks = capturedMarks_.find(tile);
                if (marks != capturedMarks_.end()
                    && !SameMarks(record_, before.area, marks->second))
                    step.marksBefore.push_back(MarkTile{before.area, RunsOf(marks->second)});
            }
        } catch (const std::bad_alloc &) {
            step.before.clear();
            step.marksBefore.clear();
            step.recorded = false;
        }
    }
    captured_.clear();
    capturedMarks_.clear();
    // The colours this stroke left are the first candidates of the tiles it changed.
    for (const Segment &s : step.segments) {
        if (!s.params.colorize)
            continue;
        const Rect reach = Reach(s.x1, s.y1, s.x2, s.y2, s.params.radius, width_, height_);
        if (reach.Empty())
            continue;
        const colour::Paint paint = view::PaintOf(s.params);
        for (int32_t ty = reach.Top / kTileSide; ty <= (reach.Bottom - 1) / kTileSide; ++ty)
            for (int32_t tx = reach.Left / kTileSide; tx <= (reach.Right - 1) / kTileSide; ++tx)
                Note(size_t(ty) * size_t(tilesX_) + size_t(tx), paint);
    }
    Push(std::move(step));
    return spread;
}

bool History::Apply(const RasterImage &source, const RasterImage &work, WholeOperation operation,
                    const document::ProgressSink &progress, std::optional<colour::Paint> paintsAll)
{
    // An operation in the middle of a stroke (a button pressed from the keyboard while
    // the mouse is held) ends the stroke's step; the rest of the stroke is a step of its
    // own after it.
    const bool resumeStroke = stroking_;
    if (resumeStroke)
        EndStroke(source, work);
    Step step;
    step.kind = StepKind::Whole;
    if (Usable(source, work)) {
        PrepareTiles(work);
        step.changed = WholePicture(work);
        step.recorded = true;
        try {
            step.before.reserve(tilePaints_.size());
            for (int32_t ty = 0; ty < tilesY_; ++ty)
                for (int32_t tx = 0; tx < tilesX_; ++tx)
                    step.before.push_back(EncodeTile(work, TileArea(tx, ty, width_, height_),
                                                     source,
                                                     CandidatesOf(size_t(ty * tilesX_ + tx))));
        } catch (const std::bad_alloc &) {
            step.before.clear();
            step.recorded = false;
        }
    }
    const bool done = operation(source, work, progress);
    if (done) {
        step.operation = std::move(operation);
        if (paintsAll) {
            // Every pixel now holds this paint's colour: it is every tile's only candidate.
            const uint32_t id = PaintId(*paintsAll);
            for (size_t t = 0; t < tilePaints_.size(); ++t) {
                tilePaints_[t][0] = id;
                tilePaintCount_[t] = 1;
            }
        }
        Push(std::move(step));
    }
    if (resumeStroke)
        BeginStroke();
    return done;
}

void History::Restore(const Step &step, const RasterImage &source, const RasterImage &work)
{
    for (const TileRecord &record : step.before) {
        std::array<const colour::GreyColourTable *, kCandidates> tables{};
        for (size_t k = 0; k < kCandidates; ++k)
            tables[k] = record.paints[k] < tables_.size() ? &tables_[record.paints[k]] : nullptr;
        RestoreTile(record, work, source, tables);
    }
    for (const MarkTile &marks : step.marksBefore)
        PutMarksBack(record_, marks.area, marks.runs);
}

bool History::Replay(const Step &step, const RasterImage &source, const RasterImage &work,
                     const document::ProgressSink &progress)
{
    if (step.kind == StepKind::Stroke) {
        // A stroke's segments mostly share one paint: its table is made once per run.
        std::optional<colour::Paint> made;
        colour::GreyColourTable colours{};
        for (const Segment &s : step.segments) {
            if (s.params.colorize && made != view::PaintOf(s.params)) {
                made = view::PaintOf(s.params);
                colours = colour::MakeGreyColourTable(*made);
            }
            const uint16_t mark = MarkId(s.params);
            view::StrokeLine(source, work, s.x1, s.y1, s.x2, s.y2, s.params, colours,
                             mark ? &record_ : nullptr, mark);
        }
        Spread(step.segments, source, work, progress, false);
        return true;
    }
    return !step.operation || step.operation(source, work, progress);
}

void History::Rebuild(size_t steps, const RasterImage &source, const RasterImage &work,
                      const document::ProgressSink &progress)
{
    // The picture as opened, then the first `steps` steps again. Step i's share of the
    // bar runs from i * 100 / steps to (i + 1) * 100 / steps; the bar never goes back.
    if (progress)
        progress(0);
    const int64_t rows = RasterHeight(source);
    const size_t row = size_t(RasterWidth(source)) * 3;
    for (int64_t r = 0; r < rows; ++r)
        std::memcpy(work.Pixels + r * work.Stride,
                    base_.empty() ? source.Pixels + r * source.Stride
                                  : base_.data() + size_t(r) * row,
                    row);
    // The picture as opened has no strokes.
    for (int32_t y = 0; record_.Allocated() && y < record_.Height(); ++y)
        std::fill(record_.Row(y), record_.Row(y) + record_.Width(), uint16_t(0));
    int32_t shown = 0;
    for (size_t i = 0; i < steps; ++i) {
        document::ProgressSink share;
        if (progress) {
            share = [&progress, &shown, i, steps](int32_t percent) {
                const int64_t p = std::clamp<int64_t>(percent, 0, 100);
                const auto overall = int32_t((int64_t(i) * 100 + p) / int64_t(steps));
                if (overall > shown) {
                    shown = overall;
                    progress(overall);
                }
            };
            share(0);
        }
        Replay(steps_[i], source, work, share);
    }
    if (progress)
        progress(0);
}

Rect History::Undo(const RasterImage &source, const RasterImage &work,
                   const document::ProgressSink &progress)
{
    if (!CanUndo() || !Usable(source, work))
        return {};
    const Step &step = steps_[done_ - 1];
    if (step.recorded) {
        try {
            Restore(step, source, work);
            --done_;
            return step.changed;
        } catch (const std::bad_alloc &) {
            // Not even the room to unpack a record: rebuild below.
        }
    }
    // Rebuild: the picture as opened, then every step before this one again.
    const size_t target = done_ - 1;
    Rebuild(target, source, work, progress);
    done_ = target;
    return WholePicture(work);
}

Rect History::Redo(const RasterImage &source, const RasterImage &work,
                   const document::ProgressSink &progress)
{
    if (!CanRedo() || !Usable(source, work))
        return {};
    const Step &step = steps_[done_];
    if (!Replay(step, source, work, progress))
        return {};
    ++done_;
    return step.kind == StepKind::Whole ? WholePicture(work) : step.changed;
}

} // namespace history
