// vyr-make-default-font: writes the default font that ships in assets/default_font.ild.
//
//   vyr-make-default-font INPUT.jhf OUTPUT.ild
//
// INPUT is a Hershey font in James Hurt's .jhf text format; the shipped font
// is made from the simplex roman face (rowmans.jhf of Debian's
// hershey-fonts-data package). Its first 95 glyphs are the characters 32
// (" ") to 126 ("~") in order.
//
// OUTPUT is an ILDA file of 95 format-0 sections, one per character, ending in
// an end marker. What the font reader and the text renderer make of it:
//  - a glyph's first point only anchors the glyph and is never drawn, so every
//    glyph starts with a copy of its first pen-down point;
//  - a pen-up move is a blanked point (status bit 14);
//  - a section without points ends the font, so the space has two blanked
//    points whose distance is its width;
//  - characters are set 2500 units apart on a visible width of 65534, so a
//    scale of 500 units per Hershey unit keeps the face's own letter spacing
//    and shows about six letters at a time.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "ilda_writer.h"

namespace {

using namespace vyr::tools;

constexpr int kCharacters = 95;
constexpr double kScale = 500.0;
// Hershey y grows downwards from the middle of the em; capitals span -12
// (top) to 9 (baseline). Their middle goes to ILDA y = 0.
constexpr double kCapMiddle = -1.5;
// The space is as wide as the face's own word gap less the two letter gaps
// the renderer adds around it.
constexpr double kLetterGap = 2500.0;
constexpr std::uint16_t kBlank = 0x4000;
constexpr std::uint16_t kLast = 0x8000;

struct Vertex {
    int x = 0;
    int y = 0;
};
using Stroke = std::vector<Vertex>;

struct Glyph {
    int left = 0;
    int right = 0;
    std::vector<Stroke> strokes;
};

struct IldaPoint {
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::uint16_t status = 0;
};

// Reads the glyphs of a .jhf file: a 5-digit number, a 3-digit count of
// coordinate pairs (the bounds pair included), then the pairs as letters
// offset from 'R'; " R" lifts the pen. Long glyphs may continue on the next
// lines.
bool ReadJhf(const std::string& path, std::vector<Glyph>& glyphs) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "vyr-make-default-font: cannot open %s\n", path.c_str());
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() < 10) continue;
        const int pairs = std::atoi(line.substr(5, 3).c_str());
        std::string data = line.substr(8);
        std::string more;
        while (static_cast<int>(data.size()) < 2 * pairs && std::getline(in, more)) {
            if (!more.empty() && more.back() == '\r') more.pop_back();
            data += more;
        }
        if (pairs < 1 || static_cast<int>(data.size()) < 2 * pairs) {
            std::fprintf(stderr, "vyr-make-default-font: bad glyph line: %s\n", line.c_str());
            return false;
        }
        Glyph glyph;
        glyph.left = data[0] - 'R';
        glyph.right = data[1] - 'R';
        Stroke stroke;
        for (int i = 1; i < pairs; ++i) {
            const char a = data[static_cast<std::size_t>(2 * i)];
            const char b = data[static_cast<std::size_t>(2 * i + 1)];
            if (a == ' ' && b == 'R') {
                if (!stroke.empty()) glyph.strokes.push_back(stroke);
                stroke.clear();
            } else {
                stroke.push_back(Vertex{a - 'R', b - 'R'});
            }
        }
        if (!stroke.empty()) glyph.strokes.push_back(stroke);
        glyphs.push_back(glyph);
    }
    return true;
}

std::int16_t Units(double v) { return static_cast<std::int16_t>(std::lround(v)); }

IldaPoint Place(const Vertex& v, bool blanked) {
    // The face's y grows downwards, ILDA's upwards.
    return IldaPoint{Units(v.x * kScale), Units(-(v.y - kCapMiddle) * kScale), blanked ? kBlank : std::uint16_t{0}};
}

std::vector<IldaPoint> GlyphPoints(const Glyph& glyph) {
    std::vector<IldaPoint> points;
    if (glyph.strokes.empty()) {
        // The space: nothing to see, only a width.
        const double width = (glyph.right - glyph.left) * kScale - kLetterGap;
        points.push_back(IldaPoint{0, 0, kBlank});
        points.push_back(IldaPoint{Units(width), 0, kBlank});
    } else {
        points.push_back(Place(glyph.strokes.front().front(), true));  // the anchor, never drawn
        for (const Stroke& stroke : glyph.strokes) {
            for (std::size_t i = 0; i < stroke.size(); ++i) points.push_back(Place(stroke[i], i == 0));
        }
    }
    points.back().status |= kLast;
    return points;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vyr-make-default-font INPUT.jhf OUTPUT.ild\n");
        return 2;
    }
    std::vector<Glyph> glyphs;
    if (!ReadJhf(argv[1], glyphs)) return 1;
    if (glyphs.size() < kCharacters) {
        std::fprintf(stderr, "vyr-make-default-font: %s has %zu glyphs, %d needed\n", argv[1], glyphs.size(),
                     kCharacters);
        return 1;
    }
    std::string out;
    for (int c = 0; c < kCharacters; ++c) {
        const std::vector<IldaPoint> points = GlyphPoints(glyphs[static_cast<std::size_t>(c)]);
        // Format 0 rather than 2D: font readers that take every record as 3D read it too.
        PutHeader(out, "font", static_cast<int>(points.size()), c, kCharacters);
        for (const IldaPoint& p : points) PutPoint(out, p.x, p.y, 0, p.status);
    }
    PutHeader(out, "font", 0, kCharacters, kCharacters);  // end marker
    return WriteWholeFile("vyr-make-default-font", argv[2], out) ? 0 : 1;
}
