// One display tick of four armed tracks of 4096-point frames: laser output to
// four RIYA devices on the simulated library, with and without the preview;
// and the same with four abstract patterns instead of the frames.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "abstract/abstract.h"
#include "alloc_counter.h"
#include "app/log.h"
#include "app/settings.h"
#include "model/frame_sequence.h"
#include "model/track_list.h"
#include "platform/posix/shared_library_dlopen.h"
#include "playback/track_manipulation.h"
#include "render/device_riya.h"
#include "render/frame_renderer.h"
#include "render/palettes.h"
#include "render/segment_renderer.h"

#if defined(VYR_HAVE_QT_CANVAS)
#include "platform/qt/qimage_canvas.h"
#endif

namespace {

using namespace vyr;

constexpr int kPointsPerFrame = 4096;
constexpr int kTracks = 4;

// Strokes of 24 lit points joined by blanked jumps; every fourth stroke
// reaches past the edge of a 40-degree view, so some segments are clipped.
Frame MakeBenchFrame(int seed) {
    Frame frame;
    frame.ReservePoints(kPointsPerFrame);
    for (int i = 0; i < kPointsPerFrame; ++i) {
        const int stroke = i / 24;
        const int step = i % 24;
        const int reach = stroke % 4 == 0 ? 32000 : 20000;
        const int x = -reach + (2 * reach * step) / 23;
        const int y = ((stroke * 977 + seed * 131) % 40000) - 20000;
        const auto status = static_cast<std::uint16_t>((step == 0 ? Point::kBlankBit : 0) | (stroke % 16));
        frame.AddPoint(Point(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 0, status));
    }
    frame.pointCount = kPointsPerFrame;
    return frame;
}

// A pattern of 1000 points with all three channels, colour cycling, a
// blanking oscillator and depth, shown twice per generated frame (frame
// repeat 1), so every other tick puts the track state back.
std::unique_ptr<Track> MakeBenchPattern(int seed) {
    auto a = std::make_unique<Abstract>();
    a->formula = static_cast<std::int16_t>(seed + 1);
    a->zAxisFormula = static_cast<std::uint16_t>(seed + 5);
    a->channelGain = {50, 30, 20};
    a->channelOffset = {300, 700, 1100};
    a->colorSpeed = 40;
    a->blankSpeed = 100;
    a->blankSpot = 30;
    a->zAxisGain = 40;
    a->pointsPerFrame = 1000;
    a->usePalette = static_cast<std::int16_t>(seed % 2);
    a->settings.frameRepeat = 1;
    return a;
}

enum class Content { kFrames, kPatterns };

struct Show {
    Settings settings;
    PlayState state;
    TrackList tracks;
    SlotFlags rotateAboutZero{0, 0, 0, 0};
    TrackManipulator manipulator{tracks, state.currentTrackNumber, state.camera, state.settings, rotateAboutZero};
    Device_Screen preview;
    FrameRenderer::DeviceSlotArray devices;
    std::unique_ptr<SharedLibraryLoader> loader;
    SegmentRenderer segments;
    FrameRenderer renderer;
    bool laserReady = true;

    explicit Show(Canvas* canvas, Content content = Content::kFrames)
        : segments(settings, state, preview, canvas),
          renderer(tracks, settings, state, manipulator, segments, devices, preview, canvas) {
#if defined(VYR_RIYA_SIM_PATH)
        setenv("VYR_RIYA_LIBRARY", VYR_RIYA_SIM_PATH, 1);
#endif
        setenv("RIYA_SIM_DEVICES", "4", 1);
        unsetenv("RIYA_SIM_OUT");
        unsetenv("RIYA_SIM_NOT_READY");
        loader = MakePlayerLibraryLoader();
        for (int d = 0; d < kTracks; ++d) {
            auto riya = std::make_unique<Device_RIYA>(static_cast<std::uint16_t>(d), *loader);
            laserReady = laserReady && riya->RiyaInit(false) == 1;
            devices[static_cast<std::size_t>(d)] = std::move(riya);
        }
        settings.DISPLAY_LASER = 1;
        settings.DISPLAY_SCREEN = canvas != nullptr ? 1 : 0;
        for (int t = 0; t < kTracks; ++t) {
            std::unique_ptr<Track> track;
            if (content == Content::kPatterns) {
                track = MakeBenchPattern(t);
            } else {
                auto seq = std::make_unique<FrameSequence>();
                seq->trackType = kTrackFrameSequence;
                seq->AddFrame(MakeBenchFrame(t));
                seq->frameCount = 1;
                seq->SetCurrentToFirst();
                track = std::move(seq);
            }
            track->settings.colorFactor = 1.0f;
            track->settings.palette = PaletteByNumber(0);
            track->camera.cameraAngle = 40.0f;
            track->outputDevice = static_cast<std::uint8_t>(t);
            tracks.SetTrack(t + 1, std::move(track));
        }
    }
};

void RunTicks(benchmark::State& state, Show& show) {
    if (!show.laserReady) {
        state.SkipWithError("the simulated RIYA library could not be loaded");
        return;
    }
    show.renderer.DisplayAllTracks();  // warm up: first-display work and buffers
    const std::uint32_t segmentsBefore = show.state.outputCounter;
    const std::uint64_t allocationsBefore = bench::AllocationCount();
    std::int64_t ticks = 0;
    for (auto _ : state) {
        show.renderer.DisplayAllTracks();
        ++ticks;
    }
    const std::uint64_t allocations = bench::AllocationCount() - allocationsBefore;
    state.SetItemsProcessed(static_cast<std::int64_t>(show.state.outputCounter - segmentsBefore));
    state.counters["allocations_per_tick"] =
        benchmark::Counter(ticks > 0 ? static_cast<double>(allocations) / static_cast<double>(ticks) : 0.0);
}

void BM_DisplayAllTracks_Laser(benchmark::State& state) {
    Show show(nullptr);
    RunTicks(state, show);
}
BENCHMARK(BM_DisplayAllTracks_Laser)->Unit(benchmark::kMicrosecond);

void BM_DisplayAllTracks_AbstractLaser(benchmark::State& state) {
    Show show(nullptr, Content::kPatterns);
    RunTicks(state, show);
}
BENCHMARK(BM_DisplayAllTracks_AbstractLaser)->Unit(benchmark::kMicrosecond);

#if defined(VYR_HAVE_QT_CANVAS)
void BM_DisplayAllTracks_Preview(benchmark::State& state) {
    QImageCanvas canvas(1024, 768);
    Show show(&canvas);
    RunTicks(state, show);
}
BENCHMARK(BM_DisplayAllTracks_Preview)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace
