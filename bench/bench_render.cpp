// One display tick of four armed tracks of 4096-point frames: laser output to
// four RIYA devices on the simulated library, with and without the preview.

#include <benchmark/benchmark.h>

#include <memory>

#include "display_ticks.h"
#include "app/log.h"
#include "model/frame_sequence.h"
#include "render/device_riya.h"
#include "render/palettes.h"
#include "support/render_stack.h"

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

struct Show : test::RenderStack {
    std::unique_ptr<SharedLibraryLoader> loader;
    bool laserReady = true;

    explicit Show(Canvas* canvas) : RenderStack(canvas) {
        loader = bench::SimulatedRiya(kTracks);
        for (int d = 0; d < kTracks; ++d) {
            auto riya = std::make_unique<Device_RIYA>(static_cast<std::uint16_t>(d), *loader);
            laserReady = laserReady && riya->RiyaInit(false) == 1;
            devices[static_cast<std::size_t>(d)] = std::move(riya);
        }
        settings.DISPLAY_LASER = 1;
        settings.DISPLAY_SCREEN = canvas != nullptr ? 1 : 0;
        for (int t = 0; t < kTracks; ++t) {
            auto seq = std::make_unique<FrameSequence>();
            seq->trackType = kTrackFrameSequence;
            seq->AddFrame(MakeBenchFrame(t));
            seq->frameCount = 1;
            seq->SetCurrentToFirst();
            seq->settings.colorFactor = 1.0f;
            seq->settings.palette = PaletteByNumber(0);
            seq->camera.cameraAngle = 40.0f;
            seq->outputDevice = static_cast<std::uint8_t>(t);
            tracks.SetTrack(t + 1, std::move(seq));
        }
    }
};

void RunTicks(benchmark::State& state, Show& show) {
    if (!show.laserReady) {
        state.SkipWithError("the simulated RIYA library could not be loaded");
        return;
    }
    bench::RunDisplayTicks(state, show.renderer, show.state);
}

void BM_DisplayAllTracks_Laser(benchmark::State& state) {
    Show show(nullptr);
    RunTicks(state, show);
}
BENCHMARK(BM_DisplayAllTracks_Laser)->Unit(benchmark::kMicrosecond);

#if defined(VYR_HAVE_QT_CANVAS)
void BM_DisplayAllTracks_Preview(benchmark::State& state) {
    QImageCanvas canvas(1024, 768);
    Show show(&canvas);
    RunTicks(state, show);
}
BENCHMARK(BM_DisplayAllTracks_Preview)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace
