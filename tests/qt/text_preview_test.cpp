#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "content/text_scroll.h"
#include "platform/qt/qimage_canvas.h"
#include "render/palettes.h"
#include "support/render_stack.h"
#include "support/temp_home.h"

namespace vyr {
namespace {

struct PreviewHome {
    test::TempHome home;
    QImageCanvas canvas{1024, 768};
};

// The preview of one text track in the default font on a 1024 x 768 window.
struct TextPreview : PreviewHome, test::RenderStack {
    TextScroll* text = nullptr;

    TextPreview() : RenderStack(&canvas) {
        settings.DISPLAY_SCREEN = 1;
        settings.DISPLAY_LASER = 0;
        fonts.SetMessageStream(nullptr);
    }

    bool Load(const std::string& bytes) {
        if (fonts.ReadFontFile(std::string(VYR_ASSETS_DIR) + "/default_font.ild") != 1) return false;
        const std::string path = home.File("text.txt");
        test::WriteFileBytes(path, bytes);
        std::FILE* file = std::fopen(path.c_str(), "rb");
        auto track = std::make_unique<TextScroll>();
        const bool read = track->ReadTextFile(file, fonts, nullptr) == 1;
        if (file != nullptr) std::fclose(file);
        track->trackType = kTrackTextScroll;
        track->settings.colorFactor = 1.0f;
        track->settings.trackScale = 100;
        track->settings.palette = PaletteByNumber(0);
        text = track.get();
        tracks.SetTrack(1, std::move(track));
        return read;
    }

    // One frame with the text at `position`.
    const QImage& Show(double position) {
        text->scrollPosition = position;
        renderer.DisplayAllTracks();
        return canvas.Image();
    }
};

bool Lit(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) > 100; }

// Where the lit pixels of a band of rows lie, as fractions of the ink's box.
struct Band {
    double from = 1.0;
    double to = 0.0;
};

struct Ink {
    int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
    bool Any() const { return right >= 0; }
    // The horizontal extent of the lit pixels in the rows between fractions
    // a and b of the box's height (0 the top).
    Band Rows(const QImage& image, double a, double b) const {
        Band band;
        const int y0 = top + static_cast<int>(a * (bottom - top));
        const int y1 = top + static_cast<int>(b * (bottom - top));
        for (int y = y0; y <= y1; ++y) {
            for (int x = left; x <= right; ++x) {
                if (!Lit(image, x, y)) continue;
                const double f = static_cast<double>(x - left) / std::max(1, right - left);
                band.from = std::min(band.from, f);
                band.to = std::max(band.to, f);
            }
        }
        return band;
    }
};

Ink InkOf(const QImage& image) {
    Ink ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!Lit(image, x, y)) continue;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
        }
    }
    return ink;
}

// "L" has its bar at the bottom and its stem on the left, "F" its bars at the
// top: the default font is upright and not mirrored on the screen.
TEST(TextPreview, DefaultFontGlyphsAreUprightAndNotMirrored) {
    for (const char* letter : {"L\n", "F\n"}) {
        SCOPED_TRACE(letter);
        TextPreview view;
        ASSERT_TRUE(view.Load(letter));
        const QImage& image = view.Show(30000.0);
        const Ink ink = InkOf(image);
        ASSERT_TRUE(ink.Any());
        EXPECT_GT(ink.bottom - ink.top, 50);  // a readable size on this window
        const Band top = ink.Rows(image, 0.0, 0.05);
        const Band bottom = ink.Rows(image, 0.95, 1.0);
        const Band wide = letter[0] == 'L' ? bottom : top;
        const Band stem = letter[0] == 'L' ? top : bottom;
        EXPECT_LT(wide.from, 0.05);
        EXPECT_GT(wide.to, 0.95);
        EXPECT_LT(stem.from, 0.05);
        EXPECT_LT(stem.to, 0.1);
    }
}

// The demo line: every frame of its pass shows letters of a sensible height,
// and a frame saves as a picture.
TEST(TextPreview, TheDemoTextRendersLineByLine) {
    TextPreview view;
    ASSERT_TRUE(view.Load(test::ReadFileBytes(std::string(VYR_ASSETS_DIR) + "/demo.txt")));
    const double end = view.text->TextEnd();
    for (double position = 0.0; position > -end; position -= 30000.0) {
        SCOPED_TRACE(position);
        const Ink ink = InkOf(view.Show(position));
        ASSERT_TRUE(ink.Any());
        // Letters stay well inside the preview's height (753 pixels).
        EXPECT_GT(ink.bottom - ink.top, 60);
        EXPECT_LT(ink.bottom - ink.top, 300);
    }
    EXPECT_TRUE(view.canvas.SavePng(view.home.File("demo_text.png")));
}

}  // namespace
}  // namespace vyr
