// One display tick of a scrolling text of 200 characters in the default font:
// laser output to a RIYA device on the simulated library, preview off.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "display_ticks.h"
#include "content/text_scroll.h"
#include "render/device_riya.h"
#include "render/palettes.h"
#include "support/render_stack.h"

namespace {

using namespace vyr;

constexpr int kCharacters = 200;

struct TextShow : test::RenderStack {
    std::unique_ptr<SharedLibraryLoader> loader;
    std::string error;

    TextShow() : RenderStack(nullptr) {
        loader = bench::SimulatedRiya(1);
        auto riya = std::make_unique<Device_RIYA>(0, *loader);
        if (riya->RiyaInit(false) != 1) error = "the simulated RIYA library could not be loaded";
        devices[0] = std::move(riya);
        settings.DISPLAY_LASER = 1;
        settings.DISPLAY_SCREEN = 0;

        fonts.SetMessageStream(nullptr);
        if (fonts.ReadFontFile(std::string(VYR_ASSETS_DIR) + "/default_font.ild") != 1) {
            error = "the default font could not be read";
            return;
        }
        // The demo line over and over, 200 characters with the line end.
        const std::string line = "Welcome to VYR Player ~ light, lasers & motion ~ enjoy the show! ";
        std::string bytes;
        while (bytes.size() < kCharacters - 1) bytes += line;
        bytes.resize(kCharacters - 1);
        bytes += '\n';
        std::FILE* file = std::tmpfile();
        auto text = std::make_unique<TextScroll>();
        if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
            error = "the text could not be written";
        } else {
            std::rewind(file);
            if (text->ReadTextFile(file, fonts, nullptr) != 1) error = "the text could not be read";
        }
        if (file != nullptr) std::fclose(file);
        text->trackType = kTrackTextScroll;
        text->settings.colorFactor = 1.0f;
        text->settings.palette = PaletteByNumber(0);
        tracks.SetTrack(1, std::move(text));
    }
};

void BM_TextTrack(benchmark::State& state) {
    TextShow show;
    if (!show.error.empty()) {
        state.SkipWithError(show.error.c_str());
        return;
    }
    bench::RunDisplayTicks(state, show.renderer, show.state);
}
BENCHMARK(BM_TextTrack)->Unit(benchmark::kMicrosecond);

}  // namespace
