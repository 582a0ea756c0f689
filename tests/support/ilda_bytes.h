#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vyr::test {

// A tiny ILDA writer for tests: big-endian words, 32-byte headers, point records.
inline std::string Word(int v) {
    const auto w = static_cast<std::uint16_t>(v);
    return {static_cast<char>(w >> 8), static_cast<char>(w & 0xFF)};
}
inline std::string Byte(int v) { return std::string(1, static_cast<char>(v)); }

struct HeaderBytes {
    int format = 0;
    int points = 0;
    int number = 0;
    int total = 0;
    int head = 0;
    std::string signature = "ILDA";
    int unused = 0;
    int reserved = 0;
};

inline std::string Header(const HeaderBytes& h) {
    std::string out = h.signature;
    out += Byte(0) + Byte(0) + Byte(h.unused) + Byte(h.format);
    out += "frame   compan  ";
    out += Word(h.points) + Word(h.number) + Word(h.total) + Byte(h.head) + Byte(h.reserved);
    return out;
}
inline std::string Header(int format, int points, int number, int total, int head = 0) {
    return Header(HeaderBytes{format, points, number, total, head});
}
inline std::string P0(int x, int y, int z, int status) { return Word(x) + Word(y) + Word(z) + Word(status); }
inline std::string P1(int x, int y, int status) { return Word(x) + Word(y) + Word(status); }
inline std::string P4(int x, int y, int z, int status, int b, int g, int r) {
    return Word(x) + Word(y) + Word(z) + Byte(status) + Byte(b) + Byte(g) + Byte(r);
}
inline std::string P5(int x, int y, int status, int b, int g, int r) {
    return Word(x) + Word(y) + Byte(status) + Byte(b) + Byte(g) + Byte(r);
}
inline std::string Pal(int r, int g, int b) { return Byte(r) + Byte(g) + Byte(b); }
inline std::string EndMarker(int total) { return Header(0, 0, total, total); }

// An ILDA file of format-0 sections, one per frame, each point {x, y, z,
// status}, followed by the end marker.
inline std::string IldaFile(const std::vector<std::vector<std::array<int, 4>>>& frames) {
    const int total = static_cast<int>(frames.size());
    std::string out;
    for (int n = 0; n < total; ++n) {
        const auto& frame = frames[static_cast<std::size_t>(n)];
        out += Header(0, static_cast<int>(frame.size()), n, total);
        for (const auto& p : frame) out += P0(p[0], p[1], p[2], p[3]);
    }
    return out + EndMarker(total);
}

// A small lit square as one frame; `frames` copies of it.
inline std::string SquareIlda(int frames = 1, int size = 10000) {
    const std::vector<std::array<int, 4>> square{
        {-size, -size, 0, 0x4000}, {size, -size, 0, 1}, {size, size, 0, 1}, {-size, size, 0, 1}, {-size, -size, 0, 1}};
    return IldaFile(std::vector<std::vector<std::array<int, 4>>>(static_cast<std::size_t>(frames), square));
}

}  // namespace vyr::test
