// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers for the whole-picture operation tests: a progress log, a raster library that
// counts and can refuse, and a loop that forces every vector target in turn.
#pragma once

#include "document/ProgressSink.h"
#include "document/RasterLibrary.h"
#include "ops/SimdTargets.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <vector>

namespace opstest {

struct ProgressLog {
    std::vector<int32_t> values;
    document::ProgressSink Sink()
    {
        return [this](int32_t percent) { values.push_back(percent); };
    }
};

// The library's own newdib and deldib, counted; refuses every allocation while Refuse
// is set.
struct CountingLibrary {
    int News = 0;
    int Deletes = 0;
    bool Refuse = false;
    document::RasterLibrary Library()
    {
        document::RasterLibrary library;
        library.NewDib = [this](int32_t w, int32_t h, int32_t bits, const void *colours,
                                int32_t count) {
            if (Refuse)
                return RasterImage{};
            ++News;
            return newdib(w, h, bits, colours, count);
        };
        library.DelDib = [this](const RasterImage &raster) {
            ++Deletes;
            deldib(raster);
        };
        return library;
    }
};

// Calls body(target) with the operations forced onto each vector target this processor
// has, best first, and puts the normal choice back afterwards.
template <class Body>
void ForEachSimdTarget(Body body)
{
    struct Restore {
        ~Restore() { hwy::SetSupportedTargetsForTest(0); }
    } restore;
    const std::vector<int64_t> targets = ops::SimdTargets();
    ASSERT_FALSE(targets.empty());
    for (const int64_t target : targets) {
        hwy::SetSupportedTargetsForTest(target);
        ASSERT_EQ(ops::SimdTargetInUse(), target) << ops::SimdTargetName(target);
        SCOPED_TRACE(ops::SimdTargetName(target));
        body(target);
    }
}

} // namespace opstest
