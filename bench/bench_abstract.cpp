// The abstract generator: points per second on one core, over the eight
// plane formulas (each with the depth formula of the same number). A display
// tick of abstract tracks is in bench_render.cpp.

#include <benchmark/benchmark.h>

#include <array>

#include "abstract/abstract.h"

namespace {

using namespace vyr;

// A busy figure: all three channels, moving rates, envelope, colour cycling,
// a blanking oscillator and depth.
Abstract MakePattern(int formula) {
    Abstract a;
    a.formula = static_cast<std::int16_t>(formula);
    a.zAxisFormula = static_cast<std::uint16_t>(formula);
    a.shift = static_cast<std::int16_t>((formula - 1) % 6 + 1);
    a.channelGain = {60, 30, 20};
    a.channelOffset = {410, 1230, 95};
    a.channelDelta = {3, 1, 11};
    a.channelRate = {0.001, -0.002, 0.0005};
    a.colorSpeed = 50;
    a.colorOffset = {0, 120, 240};
    a.blankSpeed = 200;
    a.blankSpot = 40;
    a.envelopeDepth = 50;
    a.envelopeSpeed = 3000;
    a.zAxisGain = 50;
    a.zAxisOffset = 20;
    return a;
}

constexpr int kPointsPerRound = 1000;

// Every iteration draws kPointsPerRound points of each formula in turn, so
// the rate is the average over the eight.
void BM_GetNextSegment(benchmark::State& state) {
    std::array<Abstract, 8> patterns;
    for (int f = 0; f < 8; ++f) patterns[static_cast<std::size_t>(f)] = MakePattern(f + 1);
    Point from, to;
    std::uint8_t r = 0, g = 0, b = 0;
    std::int16_t usePalette = 0;
    for (auto _ : state) {
        for (Abstract& a : patterns) {
            for (int i = 0; i < kPointsPerRound; ++i) {
                a.GetNextSegment(from, to, r, g, b, usePalette);
                benchmark::DoNotOptimize(to);
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * 8 * kPointsPerRound);
}
BENCHMARK(BM_GetNextSegment)->Unit(benchmark::kMillisecond);

void BM_GetNextSegmentFormula(benchmark::State& state) {
    Abstract a = MakePattern(static_cast<int>(state.range(0)));
    Point from, to;
    std::uint8_t r = 0, g = 0, b = 0;
    std::int16_t usePalette = 0;
    for (auto _ : state) {
        for (int i = 0; i < kPointsPerRound; ++i) {
            a.GetNextSegment(from, to, r, g, b, usePalette);
            benchmark::DoNotOptimize(to);
        }
    }
    state.SetItemsProcessed(state.iterations() * kPointsPerRound);
}
BENCHMARK(BM_GetNextSegmentFormula)->DenseRange(1, 8)->Unit(benchmark::kMicrosecond);

}  // namespace
