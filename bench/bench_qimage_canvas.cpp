// The preview canvas: how many short connected line segments, and how many
// points-mode dots, it draws per second on a 1024 x 768 surface.

#include <benchmark/benchmark.h>

#if defined(VYR_HAVE_QT_CANVAS)

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "platform/qt/qimage_canvas.h"

namespace {

struct Step {
    int x, y;
    vyr::Rgb colour;
};

// A wandering stroke of steps of up to 12 pixels with a colour change every
// few segments, as a lit ILDA frame gives the preview.
std::vector<Step> Stroke(std::size_t n) {
    std::mt19937 rng(1);
    std::uniform_int_distribution<int> step(-12, 12);
    std::uniform_int_distribution<int> channel(0, 255);
    std::vector<Step> out;
    out.reserve(n);
    int x = 512, y = 384;
    vyr::Rgb colour{255, 255, 255};
    for (std::size_t i = 0; i < n; ++i) {
        x = std::clamp(x + step(rng), 20, 1000);
        y = std::clamp(y + step(rng), 20, 740);
        if (i % 8 == 0) {
            colour = vyr::Rgb{static_cast<std::uint8_t>(channel(rng)), static_cast<std::uint8_t>(channel(rng)),
                              static_cast<std::uint8_t>(channel(rng))};
        }
        out.push_back({x, y, colour});
    }
    return out;
}

void BM_CanvasSegments(benchmark::State& state) {
    const std::vector<Step> stroke = Stroke(4096);
    vyr::QImageCanvas canvas(1024, 768);
    canvas.MoveTo(512, 384);
    for (auto _ : state) {
        for (const Step& s : stroke) {
            canvas.SetPen(s.colour, 1);  // the renderer sets the pen for every segment
            canvas.LineTo(s.x, s.y);
        }
        canvas.Present();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(stroke.size()));
    benchmark::DoNotOptimize(canvas.Image().constBits());
}
BENCHMARK(BM_CanvasSegments);

void BM_CanvasDots(benchmark::State& state) {
    const std::vector<Step> stroke = Stroke(4096);
    vyr::QImageCanvas canvas(1024, 768);
    for (auto _ : state) {
        for (const Step& s : stroke) {
            canvas.SetPen(s.colour, 2);
            canvas.MoveTo(s.x, s.y);
            canvas.LineTo(s.x + 1, s.y + 1);
        }
        canvas.Present();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(stroke.size()));
}
BENCHMARK(BM_CanvasDots);

// One flicker-free tick's surface work: open, clear and copy the bitmap.
void BM_CanvasOffscreenTick(benchmark::State& state) {
    vyr::QImageCanvas canvas(1024, 768);
    for (auto _ : state) {
        canvas.BeginOffscreen(1024 - 9 - 0, 768 - 15);
        canvas.FillRect(0, 0, 1015, 753, vyr::Rgb{5, 5, 5});
        canvas.EndOffscreen(0, 6);
        canvas.Present();
    }
}
BENCHMARK(BM_CanvasOffscreenTick);

}  // namespace

#endif
