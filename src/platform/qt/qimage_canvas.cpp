#include "platform/qt/qimage_canvas.h"

#include <QColor>
#include <QPen>
#include <QPolygon>
#include <QRect>

#include <algorithm>
#include <cstring>
#include <vector>

namespace vyr {
namespace {

// Keeps a surface within what a preview can sensibly need; a wild size from a
// caller must not try to allocate gigabytes.
constexpr int kMaxSide = 16384;

int SideOf(int n) { return std::clamp(n, 0, kMaxSide); }

QImage BlackImage(int width, int height) {
    const int w = SideOf(width);
    const int h = SideOf(height);
    if (w == 0 || h == 0) return QImage();
    QImage image(w, h, QImage::Format_RGB32);
    if (!image.isNull()) image.fill(0xFF000000u);
    return image;
}

std::uint32_t Packed(Rgb c) {
    return 0xFF000000u | (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | std::uint32_t{c.b};
}

__extension__ typedef __int128 Wide;

struct Clip {
    std::int64_t left, top, right, bottom;  // right and bottom exclusive
    bool Contains(std::int64_t x, std::int64_t y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
};

// Visits the pixels of the line from (x0, y0) to (x1, y1) that lie inside
// `clip`, in order from the start: max(|dx|, |dy|) pixels, plus the end pixel
// when includeEnd. Along the major axis every pixel is visited; the minor
// coordinate of pixel i is the start's plus i * minor / major rounded to the
// nearest (halves forward). Lines far outside the clip are cut arithmetically,
// so no coordinate is too large.
template <typename Plot>
void WalkLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, bool includeEnd,
              const Clip& clip, Plot&& plot) {
    const std::int64_t dx = x1 - x0;
    const std::int64_t dy = y1 - y0;
    const std::int64_t adx = dx < 0 ? -dx : dx;
    const std::int64_t ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx >= ady;
    const std::int64_t major = xMajor ? adx : ady;
    const std::int64_t minor = xMajor ? ady : adx;
    const std::int64_t m0 = xMajor ? x0 : y0;
    const std::int64_t n0 = xMajor ? y0 : x0;
    const std::int64_t sm = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t sn = (xMajor ? dy : dx) < 0 ? -1 : 1;

    std::int64_t first = 0;
    std::int64_t last = includeEnd ? major : major - 1;
    if (last < 0) return;
    if (major == 0) {
        if (clip.Contains(x0, y0)) plot(x0, y0);
        return;
    }

    if (!clip.Contains(x0, y0) || !clip.Contains(x1, y1)) {
        const std::int64_t mLo = xMajor ? clip.left : clip.top;
        const std::int64_t mHi = (xMajor ? clip.right : clip.bottom) - 1;
        const std::int64_t nLo = xMajor ? clip.top : clip.left;
        const std::int64_t nHi = (xMajor ? clip.bottom : clip.right) - 1;
        if (sm > 0) {
            first = std::max(first, mLo - m0);
            last = std::min(last, mHi - m0);
        } else {
            first = std::max(first, m0 - mHi);
            last = std::min(last, m0 - mLo);
        }
        if (first > last) return;
        // The minor offset q(i) runs from 0 to `minor`; keep it within the clip.
        const std::int64_t qLo = sn > 0 ? nLo - n0 : n0 - nHi;
        const std::int64_t qHi = sn > 0 ? nHi - n0 : n0 - nLo;
        if (qHi < 0 || qLo > minor || qLo > qHi) return;
        if (minor > 0) {
            const Wide twoMajor = Wide{2} * major;
            const Wide twoMinor = Wide{2} * minor;
            if (qLo > 0) {
                // q(i) >= qLo  <=>  i >= ceil((2*major*qLo - major) / (2*minor))
                const Wide a = twoMajor * qLo - major;
                first = std::max(first, static_cast<std::int64_t>((a + twoMinor - 1) / twoMinor));
            }
            if (qHi < minor) {
                // q(i) <= qHi  <=>  i <= floor((2*major*(qHi+1) - major - 1) / (2*minor))
                const Wide a = twoMajor * (qHi + 1) - major - 1;
                last = std::min(last, static_cast<std::int64_t>(a / twoMinor));
            }
        }
        if (first > last) return;
    }

    const std::int64_t twoMajor = 2 * major;
    const std::int64_t twoMinor = 2 * minor;
    // An unclipped line starts at its first pixel, with no wide division.
    std::int64_t rem = major;
    std::int64_t n = n0;
    if (first != 0) {
        const Wide num = Wide{twoMinor} * first + major;
        rem = static_cast<std::int64_t>(num % twoMajor);
        n = n0 + sn * static_cast<std::int64_t>(num / twoMajor);
    }
    std::int64_t m = m0 + sm * first;
    for (std::int64_t i = first; i <= last; ++i) {
        if (xMajor) {
            plot(m, n);
        } else {
            plot(n, m);
        }
        m += sm;
        rem += twoMinor;
        if (rem >= twoMajor) {
            rem -= twoMajor;
            n += sn;
        }
    }
}

}  // namespace

QImageCanvas::QImageCanvas(int width, int height) : window_(BlackImage(width, height)) {}

QImageCanvas::~QImageCanvas() { EndPainting(); }

void QImageCanvas::SetPen(Rgb colour, int width) {
    const int w = std::clamp(width, 1, kMaxPenWidth);
    if (colour == pen_ && w == penWidth_) return;
    pen_ = colour;
    penWidth_ = w;
    penColour_ = Packed(colour);
    painterPenStale_ = true;
}

void QImageCanvas::SetBrush(Rgb colour) {
    if (hasBrush_ && colour == brush_) return;
    hasBrush_ = true;
    brush_ = colour;
    painterBrushStale_ = true;
}

void QImageCanvas::ReleaseBrush() {
    if (!hasBrush_) return;
    hasBrush_ = false;
    painterBrushStale_ = true;
}

void QImageCanvas::MoveTo(int x, int y) {
    posX_ = x;
    posY_ = y;
}

void QImageCanvas::LineTo(int x, int y) {
    if (penWidth_ == 1) {
        DrawThinLine(posX_, posY_, x, y);
    } else {
        DrawWideLine(posX_, posY_, x, y);
    }
    posX_ = x;
    posY_ = y;
}

bool QImageCanvas::Pixels() {
    if (pixels_ != nullptr) return true;
    QImage& target = Target();
    if (target.isNull()) return false;
    // bits() detaches the image from any copy handed out by Image().
    pixels_ = reinterpret_cast<std::uint32_t*>(target.bits());
    stride_ = target.bytesPerLine() / 4;
    targetWidth_ = target.width();
    targetHeight_ = target.height();
    return pixels_ != nullptr;
}

void QImageCanvas::DrawThinLine(int x0, int y0, int x1, int y1) {
    if (!Pixels()) return;
    std::uint32_t* const pixels = pixels_;
    const std::ptrdiff_t stride = stride_;
    const std::uint32_t colour = penColour_;
    WalkLine(x0, y0, x1, y1, false, Clip{0, 0, targetWidth_, targetHeight_},
             [=](std::int64_t x, std::int64_t y) { pixels[y * stride + x] = colour; });
}

void QImageCanvas::DrawWideLine(int x0, int y0, int x1, int y1) {
    if (!Pixels()) return;
    // A square of the pen's width, centred on the path pixel (for even widths
    // the extra pixel lies up and to the left, as with Qt's and the Windows
    // wide pens).
    const std::int64_t w = penWidth_;
    const std::int64_t before = w / 2;
    const std::int64_t width = targetWidth_;
    const std::int64_t height = targetHeight_;
    const Clip reach{before - w + 1, before - w + 1, width + before, height + before};
    std::uint32_t* const pixels = pixels_;
    const std::ptrdiff_t stride = stride_;
    const std::uint32_t colour = penColour_;
    WalkLine(x0, y0, x1, y1, true, reach, [=](std::int64_t x, std::int64_t y) {
        const std::int64_t left = std::max<std::int64_t>(x - before, 0);
        const std::int64_t right = std::min<std::int64_t>(x - before + w, width);
        const std::int64_t top = std::max<std::int64_t>(y - before, 0);
        const std::int64_t bottom = std::min<std::int64_t>(y - before + w, height);
        for (std::int64_t row = top; row < bottom; ++row) {
            std::uint32_t* line = pixels + row * stride;
            for (std::int64_t col = left; col < right; ++col) line[col] = colour;
        }
    });
}

QPainter* QImageCanvas::ShapePainter() {
    QImage& target = Target();
    if (target.isNull()) return nullptr;
    if (!painter_) {
        pixels_ = nullptr;  // begin() may detach the image
        painter_ = std::make_unique<QPainter>();
        if (!painter_->begin(&target)) {
            painter_.reset();
            return nullptr;
        }
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painterPenStale_ = true;
        painterBrushStale_ = true;
    }
    if (painterPenStale_) {
        QPen pen(QColor(pen_.r, pen_.g, pen_.b));
        pen.setWidth(penWidth_);
        pen.setJoinStyle(Qt::MiterJoin);
        painter_->setPen(pen);
        painterPenStale_ = false;
    }
    if (painterBrushStale_) {
        if (hasBrush_) {
            painter_->setBrush(QColor(brush_.r, brush_.g, brush_.b));
        } else {
            painter_->setBrush(Qt::NoBrush);
        }
        painterBrushStale_ = false;
    }
    return painter_.get();
}

void QImageCanvas::EndPainting() const {
    painter_.reset();
    pixels_ = nullptr;
}

namespace {

struct Box {
    std::int64_t left, top, right, bottom;  // right and bottom exclusive
    std::int64_t Width() const { return right - left; }
    std::int64_t Height() const { return bottom - top; }
};

Box Normalized(int x1, int y1, int x2, int y2) {
    return Box{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

// QPainter outlines a QRect(x, y, w, h) on columns x and x + w, so the box
// whose last column is right - 1 is QRect(left, top, width - 1, height - 1).
QRect OutlineRect(const Box& b) {
    return QRect(static_cast<int>(b.left), static_cast<int>(b.top), static_cast<int>(b.Width() - 1),
                 static_cast<int>(b.Height() - 1));
}

// Boxes beyond this are not shapes anyone draws; QRect's width would overflow.
constexpr std::int64_t kMaxShapeExtent = std::int64_t{1} << 28;

}  // namespace

void QImageCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    Box b = Normalized(x1, y1, x2, y2);
    if (b.Width() < 1 || b.Height() < 1) return;
    // Edges far outside the surface stay outside when moved closer, so the
    // visible part is unchanged and QRect cannot overflow.
    const std::int64_t margin = kMaxPenWidth + 2;
    const QImage& target = Target();
    b.left = std::max<std::int64_t>(b.left, -margin);
    b.top = std::max<std::int64_t>(b.top, -margin);
    b.right = std::min<std::int64_t>(b.right, target.width() + margin);
    b.bottom = std::min<std::int64_t>(b.bottom, target.height() + margin);
    if (b.Width() < 1 || b.Height() < 1) return;
    if (b.Width() <= 2 || b.Height() <= 2) {
        // Nothing inside the outline: the whole box is pen.
        FillRect(static_cast<int>(b.left), static_cast<int>(b.top), static_cast<int>(b.right),
                 static_cast<int>(b.bottom), pen_);
        return;
    }
    if (QPainter* p = ShapePainter()) p->drawRect(OutlineRect(b));
}

void QImageCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    const Box b = Normalized(x1, y1, x2, y2);
    if (b.Width() < 1 || b.Height() < 1) return;
    if (b.Width() > kMaxShapeExtent || b.Height() > kMaxShapeExtent) return;
    if (QPainter* p = ShapePainter()) p->drawEllipse(OutlineRect(b));
}

void QImageCanvas::Polygon(const CanvasPoint* points, int count) {
    if (points == nullptr || count < 2) return;
    QPolygon polygon(count);
    for (int i = 0; i < count; ++i) polygon.setPoint(i, points[i].x, points[i].y);
    if (QPainter* p = ShapePainter()) p->drawPolygon(polygon, Qt::OddEvenFill);
}

void QImageCanvas::FillRect(int x1, int y1, int x2, int y2, Rgb colour) {
    if (!Pixels()) return;
    const Box b = Normalized(x1, y1, x2, y2);
    const std::int64_t left = std::max<std::int64_t>(b.left, 0);
    const std::int64_t right = std::min<std::int64_t>(b.right, targetWidth_);
    const std::int64_t top = std::max<std::int64_t>(b.top, 0);
    const std::int64_t bottom = std::min<std::int64_t>(b.bottom, targetHeight_);
    if (left >= right || top >= bottom) return;
    // The preview is cleared this way on every tick: one row is filled and
    // copied down, which the C library does far faster than a pixel loop.
    const std::uint32_t c = Packed(colour);
    std::uint32_t* const firstLine = pixels_ + top * stride_ + left;
    const std::size_t count = static_cast<std::size_t>(right - left);
    std::fill_n(firstLine, count, c);
    for (std::int64_t row = top + 1; row < bottom; ++row) {
        std::memcpy(pixels_ + row * stride_ + left, firstLine, count * sizeof(std::uint32_t));
    }
}

void QImageCanvas::BeginOffscreen(int width, int height) {
    EndPainting();
    offscreen_ = BlackImage(width, height);
    offscreenOpen_ = true;
}

void QImageCanvas::EndOffscreen(int x, int y) {
    if (!offscreenOpen_) return;
    EndPainting();
    offscreenOpen_ = false;
    const QImage bitmap = std::move(offscreen_);
    offscreen_ = QImage();
    if (bitmap.isNull() || !Pixels()) return;
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + bitmap.width(), targetWidth_);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + bitmap.height(), targetHeight_);
    if (left >= right || top >= bottom) return;
    const auto bytes = static_cast<std::size_t>(right - left) * sizeof(std::uint32_t);
    for (std::int64_t row = top; row < bottom; ++row) {
        const auto* source = reinterpret_cast<const std::uint32_t*>(bitmap.constScanLine(static_cast<int>(row - y)));
        std::memcpy(pixels_ + row * stride_ + left, source + (left - x), bytes);
    }
}

void QImageCanvas::Present() {
    // Hands the surface over complete: a widget may now take the image.
    EndPainting();
}

void QImageCanvas::Resize(int width, int height) {
    EndPainting();
    offscreen_ = QImage();
    offscreenOpen_ = false;
    window_ = BlackImage(width, height);
}

const QImage& QImageCanvas::Image() const {
    EndPainting();
    return window_;
}

bool QImageCanvas::SavePng(const std::string& path) const {
    return Image().save(QString::fromStdString(path), "PNG");
}

}  // namespace vyr
