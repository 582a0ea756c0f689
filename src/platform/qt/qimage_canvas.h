#pragma once

#include <QImage>
#include <QPainter>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/canvas.h"

namespace vyr {

// The preview surface of both front ends: a QImage (Format_RGB32) with the
// drawing rules of the classic Windows device context the preview was
// designed for.
//
//  - Lines: LineTo draws from the pen position to (x, y) and moves the pen
//    there. With a 1-pixel pen the start pixel is drawn and the end pixel is
//    not, so a connected path sets every pixel exactly once and a zero-length
//    line draws nothing. Wider pens cover a square of the pen's width around
//    every pixel of the path, end pixel included, so a short wide line (the
//    preview's dots) is always visible. Pen widths below 1 draw 1 pixel wide;
//    widths are capped at kMaxPenWidth.
//  - Rectangle and Ellipse fill the box from (x1, y1) up to but excluding
//    (x2, y2), corners in either order; the outline is drawn with the pen, the
//    inside with the brush when one is set. Polygon closes the outline and
//    fills with the even-odd rule.
//  - FillRect fills (x1, y1) up to but excluding (x2, y2) with the colour,
//    corners in either order, and leaves pen, brush and pen position alone.
//  - No antialiasing: every pixel is exactly a pen, brush or fill colour.
//  - Pen, brush and pen position belong to the canvas and carry over when the
//    off-screen bitmap is opened or closed.
//
// Lines are the bulk of the preview (every segment of every track on every
// tick), so they are rasterised straight into the image's scan lines; the
// shapes, which are few (beam-view ellipses, blank/clip markers), go through a
// QPainter that stays open between calls. Qt's own thin-line stroker was not
// used for lines because which end pixel it leaves out depends on the line's
// direction, and the preview's connected strokes must neither double nor lose
// pixels.
class QImageCanvas : public Canvas {
public:
    static constexpr int kMaxPenWidth = 64;

    // A black window surface of the given size (negative sizes count as 0).
    QImageCanvas(int width, int height);
    ~QImageCanvas() override;
    QImageCanvas(const QImageCanvas&) = delete;
    QImageCanvas& operator=(const QImageCanvas&) = delete;

    // Size of the window surface, also while an off-screen bitmap is open.
    int Width() const override { return window_.width(); }
    int Height() const override { return window_.height(); }

    void SetPen(Rgb colour, int width) override;
    void SetBrush(Rgb colour) override;
    void ReleaseBrush() override;

    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Polygon(const CanvasPoint* points, int count) override;
    void FillRect(int x1, int y1, int x2, int y2, Rgb colour) override;

    // The off-screen bitmap starts black. Opening a second one discards the
    // first; closing when none is open does nothing. An impossible size gives
    // a bitmap that swallows the drawing and copies nothing.
    void BeginOffscreen(int width, int height) override;
    void EndOffscreen(int x, int y) override;

    void Present() override;

    // A new black window surface; an open off-screen bitmap is discarded.
    void Resize(int width, int height);

    // The window surface with everything drawn so far. Safe to copy: drawing
    // afterwards never changes a copy taken here.
    const QImage& Image() const;
    bool SavePng(const std::string& path) const;

private:
    QImage& Target() { return offscreenOpen_ ? offscreen_ : window_; }
    // The scan lines of the target, fetched once per drawing run.
    bool Pixels();
    void EndPainting() const;
    QPainter* ShapePainter();
    void DrawThinLine(int x0, int y0, int x1, int y1);
    void DrawWideLine(int x0, int y0, int x1, int y1);

    QImage window_;
    QImage offscreen_;
    bool offscreenOpen_ = false;

    // Shapes only; ended whenever the image is handed out or the target changes.
    mutable std::unique_ptr<QPainter> painter_;
    mutable std::uint32_t* pixels_ = nullptr;
    std::ptrdiff_t stride_ = 0;  // in pixels
    int targetWidth_ = 0;
    int targetHeight_ = 0;

    std::uint32_t penColour_ = 0xFF000000u;
    Rgb pen_{};
    int penWidth_ = 1;
    bool hasBrush_ = false;
    Rgb brush_{};
    bool painterPenStale_ = true;
    bool painterBrushStale_ = true;
    int posX_ = 0;
    int posY_ = 0;
};

}  // namespace vyr
