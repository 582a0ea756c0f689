#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "alloc_counter.h"
#include "platform/posix/shared_library_dlopen.h"
#include "render/frame_renderer.h"
#include "render/play_state.h"

namespace vyr::bench {

// Points the player at the simulated RIYA library with `devices` DACs and no
// trace file, and returns the loader that finds it.
inline std::unique_ptr<SharedLibraryLoader> SimulatedRiya(int devices) {
#if defined(VYR_RIYA_SIM_PATH)
    setenv("VYR_RIYA_LIBRARY", VYR_RIYA_SIM_PATH, 1);
#endif
    setenv("RIYA_SIM_DEVICES", std::to_string(devices).c_str(), 1);
    unsetenv("RIYA_SIM_OUT");
    unsetenv("RIYA_SIM_NOT_READY");
    return MakePlayerLibraryLoader();
}

// Runs display ticks for the benchmark's iterations after one warm-up tick;
// the segments sent to the laser path are the items processed.
inline void RunDisplayTicks(benchmark::State& state, FrameRenderer& renderer, const PlayState& play) {
    renderer.DisplayAllTracks();  // warm up: first-display work and buffers
    const std::uint32_t segmentsBefore = play.outputCounter;
    const std::uint64_t allocationsBefore = AllocationCount();
    std::int64_t ticks = 0;
    for (auto _ : state) {
        renderer.DisplayAllTracks();
        ++ticks;
    }
    const std::uint64_t allocations = AllocationCount() - allocationsBefore;
    const std::uint32_t segments = play.outputCounter - segmentsBefore;
    state.SetItemsProcessed(static_cast<std::int64_t>(segments));
    const double perTick = ticks > 0 ? 1.0 / static_cast<double>(ticks) : 0.0;
    state.counters["segments_per_tick"] = benchmark::Counter(static_cast<double>(segments) * perTick);
    state.counters["allocations_per_tick"] = benchmark::Counter(static_cast<double>(allocations) * perTick);
}

}  // namespace vyr::bench
