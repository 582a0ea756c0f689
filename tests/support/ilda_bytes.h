#pragma once

#include <array>
#include <string>
#include <vector>

namespace vyr::test {

// An ILDA file of format-0 sections, one per frame, each point {x, y, z,
// status}, followed by the end marker.
inline std::string IldaFile(const std::vector<std::vector<std::array<int, 4>>>& frames) {
    auto word = [](int v) {
        const auto u = static_cast<unsigned>(v) & 0xFFFFu;
        return std::string{static_cast<char>(u >> 8), static_cast<char>(u & 0xFF)};
    };
    auto header = [&](int points, int number, int total) {
        return std::string("ILDA") + std::string(3, '\0') + std::string(1, '\0') + "frame   " + "vyrtest " +
               word(points) + word(number) + word(total) + std::string(2, '\0');
    };
    const int total = static_cast<int>(frames.size());
    std::string out;
    for (int n = 0; n < total; ++n) {
        const auto& frame = frames[static_cast<std::size_t>(n)];
        out += header(static_cast<int>(frame.size()), n, total);
        for (const auto& p : frame) out += word(p[0]) + word(p[1]) + word(p[2]) + word(p[3]);
    }
    return out + header(0, total, total);
}

// A small square, lit, as one frame; `frames` copies of it.
inline std::string SquareIlda(int frames = 1, int size = 10000) {
    const std::vector<std::array<int, 4>> square{
        {-size, -size, 0, 0x4000}, {size, -size, 0, 1}, {size, size, 0, 1}, {-size, size, 0, 1}, {-size, -size, 0, 1}};
    return IldaFile(std::vector<std::vector<std::array<int, 4>>>(static_cast<std::size_t>(frames), square));
}

}  // namespace vyr::test
