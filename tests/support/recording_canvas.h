#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"

namespace vyr::test {

// A canvas that draws nothing and writes down every call, one string each:
//   "pen R G B wW"            SetPen
//   "brush R G B"             SetBrush
//   "release"                 ReleaseBrush
//   "move X Y"                MoveTo
//   "line X Y"                LineTo
//   "ellipse X1 Y1 X2 Y2"     Ellipse
//   "rect X1 Y1 X2 Y2"        Rectangle
//   "polygon X,Y X,Y ..."     Polygon
//   "fill X1 Y1 X2 Y2 R G B"  FillRect
//   "begin-offscreen W H"     BeginOffscreen
//   "end-offscreen X Y"       EndOffscreen
//   "present"                 Present
class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(int width = 1024, int height = 768) : width_(width), height_(height) {}

    int Width() const override { return width_; }
    int Height() const override { return height_; }

    void SetPen(Rgb c, int width) override { Add("pen " + Colour(c) + " w" + std::to_string(width)); }
    void SetBrush(Rgb c) override { Add("brush " + Colour(c)); }
    void ReleaseBrush() override { Add("release"); }
    void MoveTo(int x, int y) override { Add("move " + Pair(x, y)); }
    void LineTo(int x, int y) override { Add("line " + Pair(x, y)); }
    void Ellipse(int x1, int y1, int x2, int y2) override { Add("ellipse " + Pair(x1, y1) + " " + Pair(x2, y2)); }
    void Rectangle(int x1, int y1, int x2, int y2) override { Add("rect " + Pair(x1, y1) + " " + Pair(x2, y2)); }
    void Polygon(const CanvasPoint* points, int count) override {
        std::string call = "polygon";
        for (int i = 0; i < count; ++i) {
            call += " " + std::to_string(points[i].x) + "," + std::to_string(points[i].y);
        }
        Add(call);
    }
    void FillRect(int x1, int y1, int x2, int y2, Rgb c) override {
        Add("fill " + Pair(x1, y1) + " " + Pair(x2, y2) + " " + Colour(c));
    }
    void BeginOffscreen(int width, int height) override { Add("begin-offscreen " + Pair(width, height)); }
    void EndOffscreen(int x, int y) override { Add("end-offscreen " + Pair(x, y)); }
    void Present() override { Add("present"); }

    const std::vector<std::string>& Calls() const { return calls_; }
    void Clear() { calls_.clear(); }
    // How many calls begin with the words of `prefix` ("line", "pen 255 0 0", ...).
    int Count(std::string_view prefix) const {
        int n = 0;
        for (const std::string& call : calls_) {
            const std::string_view c(call);
            if (c.substr(0, prefix.size()) == prefix && (c.size() == prefix.size() || c[prefix.size()] == ' ')) ++n;
        }
        return n;
    }

private:
    static std::string Pair(int a, int b) { return std::to_string(a) + " " + std::to_string(b); }
    static std::string Colour(Rgb c) {
        return std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b);
    }
    void Add(std::string call) { calls_.push_back(std::move(call)); }

    int width_;
    int height_;
    std::vector<std::string> calls_;
};

}  // namespace vyr::test
