// Feeds arbitrary bytes to the text reader, then draws and scrolls the text
// for a few ticks in the default font. The first bytes set the scroll rate
// and the depth modulation.

#include <stdio.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "content/text_scroll.h"
#include "render/output_device.h"
#include "support/render_stack.h"

namespace {

using namespace vyr;

// The laser path without a DAC: a device that takes the points and drops them.
struct Show : test::RenderStack {
    Show() : RenderStack(nullptr) {
        settings.DISPLAY_LASER = 1;
        settings.DISPLAY_SCREEN = 0;
        devices[0] = std::make_unique<Device_Screen>();
        fonts.SetMessageStream(nullptr);
        if (fonts.ReadFontFile(std::string(VYR_ASSETS_DIR) + "/default_font.ild") != 1) std::abort();
    }
};

constexpr std::size_t kSettingsBytes = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Show show;
    if (size < kSettingsBytes) return 0;
    const std::size_t textSize = size - kSettingsBytes;
    const std::uint8_t* textBytes = data + kSettingsBytes;
    std::FILE* file = textSize == 0 ? std::fopen("/dev/null", "rb")
                                    : fmemopen(const_cast<std::uint8_t*>(textBytes), textSize, "rb");
    if (file == nullptr) return 0;
    auto text = std::make_unique<TextScroll>();
    const std::int16_t ok = text->ReadTextFile(file, show.fonts, nullptr);
    std::fclose(file);
    if (ok != 1) std::abort();

    const auto& placed = text->PlacedCharacters();
    if (placed.size() > TextScroll::kMaxCharacters || placed.size() > textSize) std::abort();
    for (std::size_t k = 0; k < placed.size(); ++k) {
        if (placed[k].charIndex < 0 || placed[k].charIndex >= Font::kCharacters) std::abort();
        if (placed[k].end < placed[k].start) std::abort();
        if (k > 0 && placed[k].start != placed[k - 1].end + TextScroll::kCharacterGap) std::abort();
    }

    std::int16_t rate = 0;
    std::memcpy(&rate, data, sizeof rate);
    text->scrollRate = rate;
    text->zAxisFormula = data[2] % 10;
    text->zAxisGain = static_cast<std::int16_t>(static_cast<std::int8_t>(data[3]));
    text->zAxisOffset = static_cast<std::uint16_t>(data[4] * 2);
    text->zAxisPeriod = static_cast<float>(data[5]) / 10.0f;
    text->scrollPosition = 65534.0 - 1000.0 * data[6];
    text->settings.frameRepeat = data[7] % 3;
    text->settings.colorFactor = 1.0f;
    text->trackType = kTrackTextScroll;
    show.tracks.SetTrack(1, std::move(text));
    for (int tick = 0; tick < 4; ++tick) show.renderer.DisplayAllTracks();
    const auto* shown = static_cast<const TextScroll*>(show.tracks.GetTrack(1));
    if (!std::isfinite(shown->scrollPosition)) std::abort();
    show.tracks.SetTrack(1, nullptr);
    return 0;
}
