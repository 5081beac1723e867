// SPDX-License-Identifier: GPL-3.0-or-later
// How far painted colours are from the lightness of the photograph, with tones kept and
// without: every grey value, every 4th hue, saturations 40..255 in steps of 5, at
// brightness -100, 0 and 100, measured in CIE L*a*b* (D65). Counters: the largest and
// mean |L*(painted) - L*(grey)|, the largest CIE hue turn from the plain colour (where
// both have chroma 32 or more) and the share of colours at black or white that are
// exactly grey. Also what one colour table costs to make, either way.
//
// Arguments: brightness, tones (1 kept).
#include "colour/GreyColourTable.h"
#include "support/ToneFigures.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ToneFigures(benchmark::State &state)
{
    const auto brightness = int32_t(state.range(0));
    const bool keep = state.range(1) != 0;
    tonefigures::Figures f;
    for (auto _ : state)
        f = tonefigures::Sweep(brightness, keep);
    state.counters["dL_max"] = f.largestLightness;
    state.counters["dL_mean"] = f.meanLightness;
    state.counters["hue_turn_max_deg"] = f.largestHueDrift;
    state.counters["grey_at_ends"] = f.noRoom ? double(f.greyWhereNoRoom) / double(f.noRoom) : 1.0;
}
BENCHMARK(BM_ToneFigures)
    ->ArgsProduct({{-100, 0, 100}, {0, 1}})
    ->ArgNames({"brightness", "tones"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_MakeTable(benchmark::State &state)
{
    const bool keep = state.range(0) != 0;
    int32_t hue = 0;
    for (auto _ : state) {
        hue = (hue + 37) & 255;
        benchmark::DoNotOptimize(colour::MakeGreyColourTable(colour::Paint{hue, 157, 10, keep}));
    }
}
BENCHMARK(BM_MakeTable)->Arg(0)->Arg(1)->ArgName("tones")->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
