#pragma once

#include <cstdint>

namespace vyr {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

struct CanvasPoint {
    int x = 0;
    int y = 0;
    bool operator==(const CanvasPoint&) const = default;
};

// The drawing surface of the preview. The engine draws only through this;
// each front end supplies an implementation (a QImage in both of ours).
// Coordinates are device pixels of the window surface, or of the off-screen
// bitmap while one is open.
class Canvas {
public:
    virtual ~Canvas() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;

    // The pen outlines shapes and draws lines; width in pixels.
    virtual void SetPen(Rgb colour, int width) = 0;
    // A solid brush fills the shapes drawn after it until it is released.
    virtual void SetBrush(Rgb colour) = 0;
    virtual void ReleaseBrush() = 0;

    virtual void MoveTo(int x, int y) = 0;
    // A line from the pen position to (x, y), which becomes the pen position.
    virtual void LineTo(int x, int y) = 0;
    // Shapes in the bounding box (x1, y1)-(x2, y2), outlined with the pen and
    // filled with the brush (if any).
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void Polygon(const CanvasPoint* points, int count) = 0;
    // Fills the rectangle with a colour, ignoring pen and brush.
    virtual void FillRect(int x1, int y1, int x2, int y2, Rgb colour) = 0;

    // The off-screen bitmap: drawing goes into a fresh w x h bitmap until
    // EndOffscreen copies it to (x, y) of the window surface and releases it.
    virtual void BeginOffscreen(int width, int height) = 0;
    virtual void EndOffscreen(int x, int y) = 0;

    // Hands everything drawn so far to the surface (implementations may batch).
    virtual void Present() = 0;
};

}  // namespace vyr
