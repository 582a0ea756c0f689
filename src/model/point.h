#pragma once

#include <cstdint>

namespace vyr {

// One ILDA point. The status word is kept as read: its low byte is the palette
// index, bit 14 blanks the beam on the way to this point, bit 15 marks the last
// point of a frame. True-colour points (ILDA formats 4 and 5) also carry their
// own red, green and blue; their frame's format code tells them apart.
struct Point {
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t z = 0;
    std::uint16_t status = 0;
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    Point() = default;
    Point(std::int16_t px, std::int16_t py, std::int16_t pz, std::uint16_t pstatus)
        : x(px), y(py), z(pz), status(pstatus) {}

    static constexpr std::uint16_t kBlankBit = 0x4000;
    static constexpr std::uint16_t kLastPointBit = 0x8000;

    bool Blanked() const { return (status & kBlankBit) != 0; }
    std::uint8_t ColorIndex() const { return static_cast<std::uint8_t>(status & 0xFF); }
};

static_assert(sizeof(Point) <= 12, "a loaded point must stay small");

}  // namespace vyr
