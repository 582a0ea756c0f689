#include <gtest/gtest.h>

#include <QImage>

#include <climits>
#include <cstdint>
#include <random>
#include <string>

#include "platform/qt/qimage_canvas.h"
#include "support/temp_home.h"

namespace vyr {
namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kOdd{1, 2, 3};  // a colour no rounding would keep by accident

std::uint32_t Px(const QImageCanvas& canvas, int x, int y) { return canvas.Image().pixel(x, y) & 0xFFFFFFu; }
std::uint32_t Val(Rgb c) { return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b; }

int CountColour(const QImage& image, Rgb c) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFFu) == Val(c) ? 1 : 0;
    }
    return n;
}

struct LineCase {
    const char* name;
    int x0, y0, x1, y1;
};

// A 1-pixel line draws max(|dx|, |dy|) pixels: its start but not its end, in
// every direction.
TEST(QImageCanvas, ThinLineDrawsItsStartButNotItsEndInEveryDirection) {
    const LineCase cases[] = {
        {"right", 10, 10, 20, 10}, {"left", 20, 10, 10, 10},   {"down", 15, 5, 15, 25},
        {"up", 15, 25, 15, 5},     {"shallow", 5, 5, 35, 17},  {"steep back", 30, 30, 22, 3},
        {"diagonal", 3, 3, 13, 13}, {"anti-diagonal", 13, 3, 3, 13},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        QImageCanvas canvas(40, 40);
        canvas.SetPen(kOdd, 1);
        canvas.MoveTo(c.x0, c.y0);
        canvas.LineTo(c.x1, c.y1);
        EXPECT_EQ(CountColour(canvas.Image(), kOdd), std::max(std::abs(c.x1 - c.x0), std::abs(c.y1 - c.y0)));
        EXPECT_EQ(Px(canvas, c.x0, c.y0), Val(kOdd));
        EXPECT_EQ(Px(canvas, c.x1, c.y1), 0u);
    }
}

TEST(QImageCanvas, ConnectedPathSetsEachPixelOnceAndZeroLengthDrawsNothing) {
    QImageCanvas canvas(40, 40);
    canvas.SetPen(kRed, 1);
    canvas.MoveTo(5, 5);
    canvas.LineTo(5, 5);
    EXPECT_EQ(CountColour(canvas.Image(), kRed), 0);
    canvas.LineTo(15, 9);  // 10 pixels
    canvas.LineTo(25, 5);  // 10 more, starting where the last one stopped
    canvas.LineTo(25, 30); // 25 more
    EXPECT_EQ(CountColour(canvas.Image(), kRed), 45);
    EXPECT_EQ(Px(canvas, 15, 9), Val(kRed));
    EXPECT_EQ(Px(canvas, 25, 5), Val(kRed));
    EXPECT_EQ(Px(canvas, 25, 30), 0u);
}

// Clipping must not change which pixels a line covers: the same lines drawn
// on a small surface and, shifted, on a large one agree pixel for pixel.
TEST(QImageCanvas, ClippedLinesKeepTheirPixels) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(-90, 150);
    constexpr int kShift = 100;
    for (int round = 0; round < 200; ++round) {
        const int x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
        SCOPED_TRACE(std::to_string(x0) + "," + std::to_string(y0) + " -> " + std::to_string(x1) + "," +
                     std::to_string(y1));
        QImageCanvas small(64, 48);
        QImageCanvas large(400, 400);
        for (QImageCanvas* canvas : {&small, &large}) canvas->SetPen(kGreen, 1);
        small.MoveTo(x0, y0);
        small.LineTo(x1, y1);
        large.MoveTo(x0 + kShift, y0 + kShift);
        large.LineTo(x1 + kShift, y1 + kShift);
        const QImage expected = large.Image().copy(kShift, kShift, 64, 48);
        ASSERT_EQ(small.Image(), expected);
    }
}

TEST(QImageCanvas, LinesFromTheFarEndsOfTheCoordinateRangeAreCut) {
    QImageCanvas canvas(50, 40);
    canvas.SetPen(kBlue, 1);
    canvas.MoveTo(INT_MIN, 7);
    canvas.LineTo(INT_MAX, 7);
    canvas.MoveTo(INT_MIN, INT_MIN);
    canvas.LineTo(INT_MAX, INT_MAX);
    for (int x = 0; x < 50; ++x) EXPECT_EQ(Px(canvas, x, 7), Val(kBlue)) << x;
    for (int i = 0; i < 40; ++i) EXPECT_EQ(Px(canvas, i, i), Val(kBlue)) << i;
    EXPECT_EQ(CountColour(canvas.Image(), kBlue), 50 + 40 - 1);
}

TEST(QImageCanvas, TwoPixelPenCoversItsEndsAndMakesDotsOfZeroLengthLines) {
    QImageCanvas canvas(40, 40);
    canvas.SetPen(kOdd, 2);
    canvas.MoveTo(10, 20);
    canvas.LineTo(30, 20);
    // Two rows thick, from one pixel before the start up to the end pixel.
    for (int x = 9; x <= 30; ++x) {
        EXPECT_EQ(Px(canvas, x, 19), Val(kOdd)) << x;
        EXPECT_EQ(Px(canvas, x, 20), Val(kOdd)) << x;
    }
    EXPECT_EQ(CountColour(canvas.Image(), kOdd), 2 * 22);
    canvas.MoveTo(5, 5);
    canvas.LineTo(5, 5);
    EXPECT_EQ(CountColour(canvas.Image(), kOdd), 2 * 22 + 4);
    for (int y = 4; y <= 5; ++y) {
        for (int x = 4; x <= 5; ++x) EXPECT_EQ(Px(canvas, x, y), Val(kOdd));
    }
}

TEST(QImageCanvas, RectangleIsOutlinedByThePenAndFilledByTheBrushInsideItsBox) {
    for (bool reversed : {false, true}) {
        SCOPED_TRACE(reversed ? "corners reversed" : "corners in order");
        QImageCanvas canvas(40, 40);
        canvas.SetPen(kRed, 1);
        canvas.SetBrush(kBlue);
        if (reversed) {
            canvas.Rectangle(20, 16, 10, 10);
        } else {
            canvas.Rectangle(10, 10, 20, 16);
        }
        for (int x = 10; x < 20; ++x) {
            EXPECT_EQ(Px(canvas, x, 10), Val(kRed)) << x;
            EXPECT_EQ(Px(canvas, x, 15), Val(kRed)) << x;
        }
        for (int y = 10; y < 16; ++y) {
            EXPECT_EQ(Px(canvas, 10, y), Val(kRed)) << y;
            EXPECT_EQ(Px(canvas, 19, y), Val(kRed)) << y;
        }
        EXPECT_EQ(CountColour(canvas.Image(), kBlue), 8 * 4);
        EXPECT_EQ(CountColour(canvas.Image(), kRed), 10 * 6 - 8 * 4);
    }
}

TEST(QImageCanvas, ReleasedBrushLeavesShapesHollow) {
    QImageCanvas canvas(40, 40);
    canvas.SetPen(kRed, 1);
    canvas.SetBrush(kBlue);
    canvas.ReleaseBrush();
    canvas.Rectangle(10, 10, 20, 16);
    canvas.Ellipse(20, 20, 35, 35);
    EXPECT_EQ(CountColour(canvas.Image(), kBlue), 0);
    EXPECT_EQ(Px(canvas, 15, 13), 0u);
    EXPECT_EQ(Px(canvas, 27, 27), 0u);
    EXPECT_EQ(Px(canvas, 10, 10), Val(kRed));
}

TEST(QImageCanvas, EllipseFitsItsBoxWithPenOutlineAndBrushInside) {
    QImageCanvas canvas(50, 50);
    canvas.SetPen(kRed, 1);
    canvas.SetBrush(kGreen);
    canvas.Ellipse(31, 31, 10, 10);  // the box 10..30 in both directions
    EXPECT_EQ(Px(canvas, 20, 20), Val(kGreen));
    EXPECT_EQ(Px(canvas, 10, 20), Val(kRed));
    EXPECT_EQ(Px(canvas, 30, 20), Val(kRed));
    EXPECT_EQ(Px(canvas, 20, 10), Val(kRed));
    EXPECT_EQ(Px(canvas, 20, 30), Val(kRed));
    EXPECT_EQ(Px(canvas, 10, 10), 0u) << "the corners of the box stay outside";
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 50; ++x) {
            if (x < 10 || x > 30 || y < 10 || y > 30) {
                ASSERT_EQ(Px(canvas, x, y), 0u) << x << "," << y;
            }
        }
    }
}

TEST(QImageCanvas, TrianglePolygonIsOutlinedAndFilled) {
    QImageCanvas canvas(50, 50);
    canvas.SetPen(kRed, 1);
    canvas.SetBrush(kBlue);
    const CanvasPoint triangle[3] = {{10, 40}, {40, 40}, {25, 10}};
    canvas.Polygon(triangle, 3);
    EXPECT_EQ(Px(canvas, 25, 30), Val(kBlue));
    EXPECT_EQ(Px(canvas, 10, 40), Val(kRed));
    EXPECT_EQ(Px(canvas, 25, 10), Val(kRed));
    EXPECT_EQ(Px(canvas, 25, 40), Val(kRed)) << "the base is outline";
    EXPECT_EQ(Px(canvas, 12, 15), 0u);
    EXPECT_EQ(Px(canvas, 25, 41), 0u);
}

TEST(QImageCanvas, FillRectFillsItsBoxClipsAndLeavesThePenAlone) {
    QImageCanvas canvas(20, 20);
    canvas.SetPen(kRed, 1);
    canvas.MoveTo(0, 19);
    canvas.FillRect(8, 7, 5, 5, kOdd);     // x 5..7, y 5..6
    canvas.FillRect(-5, -5, 2, 1, kGreen); // x 0..1, y 0
    canvas.FillRect(18, 18, 99, 99, kBlue); // x 18..19, y 18..19
    EXPECT_EQ(CountColour(canvas.Image(), kOdd), 6);
    EXPECT_EQ(Px(canvas, 5, 5), Val(kOdd));
    EXPECT_EQ(Px(canvas, 7, 6), Val(kOdd));
    EXPECT_EQ(CountColour(canvas.Image(), kGreen), 2);
    EXPECT_EQ(CountColour(canvas.Image(), kBlue), 4);
    canvas.LineTo(4, 19);  // still from the pen position set before the fills, in the pen's colour
    EXPECT_EQ(Px(canvas, 0, 19), Val(kRed));
    EXPECT_EQ(Px(canvas, 3, 19), Val(kRed));
}

TEST(QImageCanvas, OffscreenBitmapIsCopiedAtItsOffsetWhenClosed) {
    QImageCanvas canvas(60, 50);
    canvas.FillRect(0, 0, 60, 50, kBlue);
    canvas.BeginOffscreen(10, 8);
    EXPECT_EQ(canvas.Width(), 60) << "the size is the window's";
    canvas.FillRect(0, 0, 10, 8, Rgb{5, 5, 5});
    canvas.SetPen(kRed, 1);
    canvas.MoveTo(0, 0);
    canvas.LineTo(10, 0);
    canvas.SetBrush(kGreen);
    canvas.Rectangle(4, 3, 9, 8);
    EXPECT_EQ(CountColour(canvas.Image(), kBlue), 60 * 50) << "nothing reaches the window before the copy";
    canvas.EndOffscreen(20, 30);
    EXPECT_EQ(Px(canvas, 20, 30), Val(kRed));
    EXPECT_EQ(Px(canvas, 29, 30), Val(kRed));
    EXPECT_EQ(Px(canvas, 20, 31), 0x050505u);
    EXPECT_EQ(Px(canvas, 26, 35), Val(kGreen));
    EXPECT_EQ(Px(canvas, 24, 33), Val(kRed));
    EXPECT_EQ(Px(canvas, 30, 30), Val(kBlue));
    EXPECT_EQ(Px(canvas, 20, 38), Val(kBlue));
    EXPECT_EQ(CountColour(canvas.Image(), kBlue), 60 * 50 - 10 * 8);

    // Drawing goes to the window again; a bitmap hanging over the edge is cut.
    canvas.LineTo(0, 0);
    EXPECT_EQ(Px(canvas, 5, 0), Val(kRed));
    canvas.BeginOffscreen(10, 10);
    canvas.EndOffscreen(-5, 45);
    EXPECT_EQ(Px(canvas, 4, 45), 0u) << "a fresh bitmap is black";
    EXPECT_EQ(Px(canvas, 4, 49), 0u);
    EXPECT_EQ(Px(canvas, 5, 45), Val(kBlue));
    canvas.EndOffscreen(0, 0);  // none open: nothing happens
    EXPECT_EQ(Px(canvas, 0, 1), Val(kBlue));
}

// Pens and shapes alternate; whatever was drawn last must be on top.
TEST(QImageCanvas, DrawingOrderHoldsAcrossPenChangesAndShapes) {
    QImageCanvas canvas(30, 30);
    for (int i = 0; i < 10; ++i) {
        canvas.SetPen(i % 2 == 0 ? kRed : kGreen, 1);
        canvas.MoveTo(0, 5);
        canvas.LineTo(30, 5);
    }
    EXPECT_EQ(Px(canvas, 12, 5), Val(kGreen));
    canvas.SetPen(kRed, 1);
    canvas.MoveTo(10, 0);
    canvas.LineTo(10, 30);
    canvas.SetBrush(kBlue);
    canvas.Rectangle(12, 2, 20, 9);  // over the green line
    canvas.SetPen(kGreen, 2);
    canvas.MoveTo(15, 0);
    canvas.LineTo(15, 30);           // over the rectangle
    canvas.SetPen(kOdd, 1);
    canvas.MoveTo(0, 5);
    canvas.LineTo(30, 5);            // over everything
    EXPECT_EQ(Px(canvas, 10, 6), Val(kRed));
    EXPECT_EQ(Px(canvas, 17, 4), Val(kBlue));
    EXPECT_EQ(Px(canvas, 15, 4), Val(kGreen));
    EXPECT_EQ(Px(canvas, 14, 4), Val(kGreen));
    for (int x = 0; x < 30; ++x) EXPECT_EQ(Px(canvas, x, 5), Val(kOdd)) << x;
}

TEST(QImageCanvas, CopiesOfTheImageDoNotChangeWithLaterDrawing) {
    QImageCanvas canvas(20, 20);
    canvas.SetPen(kRed, 1);
    canvas.SetBrush(kBlue);
    canvas.Rectangle(0, 0, 10, 10);
    const QImage first = canvas.Image();
    canvas.Rectangle(10, 10, 20, 20);
    canvas.MoveTo(0, 15);
    canvas.LineTo(20, 15);
    const QImage second = canvas.Image();
    canvas.FillRect(0, 0, 20, 20, kGreen);
    canvas.Present();
    EXPECT_EQ(CountColour(first, kBlue), 64);
    EXPECT_EQ(first.pixel(15, 15) & 0xFFFFFFu, 0u);
    EXPECT_EQ(CountColour(second, kBlue), 2 * 64 - 8);
    EXPECT_EQ(CountColour(canvas.Image(), kGreen), 400);
}

TEST(QImageCanvas, SavePngWritesTheImage) {
    test::TempHome home;
    QImageCanvas canvas(16, 12);
    canvas.FillRect(0, 0, 16, 12, Rgb{5, 5, 5});
    canvas.SetPen(kOdd, 1);
    canvas.MoveTo(1, 1);
    canvas.LineTo(15, 11);
    const std::string path = home.File("preview.png");
    ASSERT_TRUE(canvas.SavePng(path));
    QImage loaded(QString::fromStdString(path));
    ASSERT_FALSE(loaded.isNull());
    EXPECT_EQ(loaded.convertToFormat(QImage::Format_RGB32), canvas.Image());
    EXPECT_FALSE(canvas.SavePng(home.File("no-such-dir/preview.png")));
}

TEST(QImageCanvas, EmptySurfacesSwallowDrawing) {
    QImageCanvas canvas(0, -3);
    EXPECT_EQ(canvas.Width(), 0);
    canvas.SetPen(kRed, 1);
    canvas.MoveTo(0, 0);
    canvas.LineTo(5, 5);
    canvas.SetBrush(kBlue);
    canvas.Rectangle(0, 0, 5, 5);
    canvas.Ellipse(0, 0, 5, 5);
    canvas.FillRect(0, 0, 5, 5, kRed);
    canvas.BeginOffscreen(-1, 4);
    canvas.LineTo(0, 0);
    canvas.EndOffscreen(0, 0);
    canvas.Present();
    EXPECT_TRUE(canvas.Image().isNull());
    canvas.Resize(8, 6);
    EXPECT_EQ(canvas.Width(), 8);
    EXPECT_EQ(canvas.Height(), 6);
    EXPECT_EQ(CountColour(canvas.Image(), Rgb{0, 0, 0}), 48);
}

}  // namespace
}  // namespace vyr
