// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo of the work raster. A step is a brush stroke from press to release (its
// timer re-stamps included) or one whole-picture operation. Undo puts the work raster
// back exactly as it was before the step, redo exactly as after; a new step drops the
// steps that could have been redone.
//
// Every step is kept as what it did, so that any state can be rebuilt from the picture as
// opened by doing the steps again; what a step overwrote is also kept, small (see
// TileRecord), to put it back quickly. Those records stay within a memory budget: when
// they would exceed it, the oldest are dropped, and undoing such a step rebuilds the
// picture from the source instead. Memory for a record that cannot be had drops that
// record the same way. Nothing here shows anything or reads a control.
#pragma once

#include "colour/EdgeCost.h"
#include "colour/Paint.h"
#include "colour/SpreadScratch.h"
#include "colour/StrokeRecord.h"
#include "document/ProgressSink.h"
#include "document/RasterImage.h"
#include "history/TileRecord.h"
#include "platform/gdi/Rect.h"
#include "view/BrushStroke.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace history {

// A whole-picture operation on the work raster (the source only read), reporting its
// progress to the sink as the long operations do; false when it could not be done (no
// memory for its scratch rows, or nothing to do) and changed nothing.
using WholeOperation = std::function<bool(const RasterImage &source, const RasterImage &work,
                                          const document::ProgressSink &progress)>;

class History {
public:
    // At most 256 MiB, or an eighth of the machine's memory when that is less.
    static size_t DefaultBudget();

    explicit History(size_t budget = DefaultBudget());

    // A new picture: every step is forgotten (a stroke being painted goes on as a new
    // step), and the picture as it is now counts as saved.
    void Clear();
    // A new picture whose work raster may already differ from its source (a work file
    // opened again): Clear, and the picture that undo rebuilds from is the work raster as
    // it is now (a copy of it is kept when it differs from the source). Throws
    // std::bad_alloc, changing nothing, when there is no memory for the copy.
    void Start(const RasterImage &source, const RasterImage &work);

    // The saved mark: the state last opened or saved. Saved() is true when the work
    // raster is in that state again by the steps kept (no step done since, or undone or
    // redone back to it) and no stroke is being painted. A new step after undoing below
    // the mark drops the mark's state, so nothing is Saved() until MarkSaved again;
    // ForgetSaved does the same at once (work that never was in a file).
    void MarkSaved();
    void ForgetSaved();
    bool Saved() const;

    // A brush stroke: BeginStroke, every stroke step through PaintStroke, then
    // EndStroke. PaintStroke notes what the step may overwrite, then paints it on the
    // work raster (view::StrokeLine), notes in the stroke record which mark each pixel it
    // wrote now has, and returns the raster rectangle it wrote. EndStroke spreads the
    // colour of the stroke's steps that follow the edges (colour::EdgeSpread), reporting
    // to progress, and returns the raster rectangle the spread wrote. The spread and the
    // record's changes are part of the stroke's step.
    void BeginStroke();
    Rect PaintStroke(const RasterImage &source, const RasterImage &work, int32_t x1, int32_t y1,
                     int32_t x2, int32_t y2, const view::StrokeParams &params);
    // When the spread has written something, EndStroke calls shown with the rectangle
    // before it keeps what the stroke overwrote, so the window can show the spread first.
    using Shown = std::function<void(const Rect &spread)>;
    Rect EndStroke(const RasterImage &source, const RasterImage &work,
                   const document::ProgressSink &progress = {}, const Shown &shown = {});
    // Makes what the spreads of strokes that follow the edges work with (the source's
    // edge map, and their memory in the system's pages), which the first such stroke on
    // a picture would otherwise wait for after its release. Without the memory for it,
    // nothing: the first spread tries again.
    void PrepareSpreads(const RasterImage &source, const RasterImage &work);

    // Which stroke painted each pixel directly, for the picture the strokes were painted
    // on; forgotten by Clear and Start, kept by whole-picture operations. Its ids are
    // allocated with the first stroke.
    const colour::StrokeRecord &Record() const { return record_; }
    // Right after Start: makes record, a work file's, the picture's stroke record, when it
    // is of work's size; undo goes back to it at most.
    void AdoptRecord(const RasterImage &work, colour::StrokeRecord record);

    // Runs a whole-picture operation once on the work raster, reporting to progress, and
    // keeps it as one step to be undone and done again (redo, rebuild). paintsAll is, for
    // "Colorize everything" with the Colorize tool, the paint every pixel has after it.
    // Returns what the operation returned; an operation that was not done is no step.
    // Applied while a stroke is being painted, it ends the stroke's step there and the
    // stroke goes on as a new step after it.
    bool Apply(const RasterImage &source, const RasterImage &work, WholeOperation operation,
               const document::ProgressSink &progress,
               std::optional<colour::Paint> paintsAll = std::nullopt);

    bool InStep() const { return stroking_; }
    bool CanUndo() const { return !InStep() && done_ > 0; }
    bool CanRedo() const { return !InStep() && done_ < steps_.size(); }

    // Undoes or redoes one step; the raster rectangle (rows from the top) that may have
    // changed, empty when there was nothing to do. A redo of a whole-picture operation
    // reports its progress as the operation does; a rebuild reports 0, then the progress
    // of the steps it does again as one rising bar (each whole-picture operation's own
    // reports mapped onto its share of the steps), then 0. A redo whose operation cannot
    // be done now changes nothing and stays to be redone.
    Rect Undo(const RasterImage &source, const RasterImage &work,
              const document::ProgressSink &progress = {});
    Rect Redo(const RasterImage &source, const RasterImage &work,
              const document::ProgressSink &progress = {});

    // Memory the history keeps now (what is kept between steps), and how many steps are
    // kept and done.
    size_t StoredBytes() const;
    size_t StepCount() const { return steps_.size(); }
    size_t DoneCount() const { return done_; }
    // How many kept steps can no longer be put back from a record.
    size_t RebuildCount() const;

private:
    enum class StepKind { None, Stroke, Whole };

    struct Segment {
        int32_t x1, y1, x2, y2;
        view::StrokeParams params;
    };

    // A tile of the stroke record as it was before a step, as (id, count) runs.
    struct MarkTile {
        Rect area;
        std::vector<uint16_t> runs;
    };

    struct Step {
        StepKind kind = StepKind::None;
        std::vector<Segment> segments; // a stroke's steps
        WholeOperation operation;      // a whole-picture operation
        std::vector<TileRecord> before;
        std::vector<MarkTile> marksBefore; // the record's tiles the step changed
        bool recorded = false;             // before and marksBefore hold what the step overwrote
        size_t bytes = 0;
        Rect changed;
    };

    void DropRedoable();
    void Push(Step step);
    void KeepWithinBudget();
    void Forget(Step &step);
    uint32_t PaintId(const colour::Paint &paint);
    Candidates CandidatesOf(size_t tile) const;
    void Note(size_t tile, const colour::Paint &paint);
    void PrepareTiles(const RasterImage &work);
    void Restore(const Step &step, const RasterImage &source, const RasterImage &work);
    bool Replay(const Step &step, const RasterImage &source, const RasterImage &work,
                const document::ProgressSink &progress);
    void Rebuild(size_t steps, const RasterImage &source, const RasterImage &work,
                 const document::ProgressSink &progress);
    uint16_t MarkId(const view::StrokeParams &params);
    void CaptureTiles(const Rect &area, const RasterImage &work);
    Rect Spread(const std::vector<Segment> &segments, const RasterImage &source,
                const RasterImage &work, const document::ProgressSink &progress, bool capture);

    size_t budget_;
    std::vector<Step> steps_;
    size_t done_ = 0;
    size_t storedBytes_ = 0;
    std::optional<size_t> saved_ = 0; // done_ at the saved mark; nothing when unreachable
    // The work raster's rows as the picture was opened, when they differ from the
    // source's; rebuilds start from here, else from the source.
    std::vector<uint8_t> base_;

    bool stroking_ = false;                          // between BeginStroke and EndStroke
    Step current_;                                   // the stroke being painted
    std::unordered_map<size_t, TileBytes> captured_; // a stroke's tiles before it touched them
    std::unordered_map<size_t, std::vector<uint16_t>> capturedMarks_; // the same of the record
    bool captureFailed_ = false;

    colour::StrokeRecord record_;
    std::unique_ptr<colour::EdgeCost> edgeCost_; // of the source, made for the first spread
    colour::SpreadScratch spreadScratch_;        // what the spreads work in, kept between them

    // The paints seen, with their colour tables, and for each tile the latest paints
    // written into it: the candidates its records try.
    std::unordered_map<uint64_t, uint32_t> paintIds_;
    std::deque<colour::GreyColourTable> tables_; // stable addresses: records' candidates point here
    int32_t width_ = 0, height_ = 0, tilesX_ = 0, tilesY_ = 0;
    std::vector<std::array<uint32_t, kCandidates>> tilePaints_;
    std::vector<uint8_t> tilePaintCount_;
};

} // namespace history
