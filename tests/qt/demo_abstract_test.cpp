// The demo abstract pattern drawn into the real preview canvas.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "abstract/abstract.h"
#include "platform/qt/qimage_canvas.h"
#include "render/render_rig.h"

namespace vyr {
namespace {

std::string DemoPath() {
    return (std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "assets" / "demo.abs")
        .string();
}

TEST(DemoPattern, DrawsALargeColourfulFigure) {
    QImageCanvas canvas(640, 480);
    test::RenderRig view(&canvas);
    auto demo = std::make_unique<Abstract>(DemoPath(), view.home.Path().string());
    ASSERT_EQ(demo->valid, 1) << DemoPath();
    ASSERT_EQ(demo->SetPattern(1), 1);
    demo->settings.colorFactor = 1.0f;
    demo->settings.palette = PaletteByNumber(kPaletteLaserIllusions);

    view.settings.DISPLAY_SCREEN = 1;
    view.tracks.SetTrack(1, std::move(demo));
    // Ten seconds into the show.
    for (int tick = 0; tick < 300; ++tick) view.renderer.DisplayAllTracks();
    const QImage image = canvas.Image();
    if (const char* out = std::getenv("VYR_DEMO_PNG"); out != nullptr && *out != '\0') canvas.SavePng(out);

    const PreviewRect area = view.renderer.ComputePreviewRect();
    int lit = 0;
    int left = area.right, right = area.left, top = area.bottom, bottom = area.top;
    std::set<int> hues;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() + c.green() + c.blue() < 60) continue;  // background
            ++lit;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
            if (c.hsvSaturation() > 100) hues.insert(c.hsvHue() / 30);
        }
    }
    EXPECT_GT(lit, 1500) << "a figure of lines, not a few dots";
    EXPECT_GT(right - left, area.Width() / 2) << "it fills a good part of the view";
    EXPECT_GT(bottom - top, area.Height() / 2);
    EXPECT_GE(hues.size(), 4u) << "its colours cycle";
    EXPECT_TRUE(view.home.LogLines().empty());
}

}  // namespace
}  // namespace vyr
