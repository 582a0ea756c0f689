#pragma once

#include <cstdint>
#include <cstddef>
#include <vector>

#include "model/point.h"

namespace vyr {

// One ILDA frame: its points in order, held contiguously, and a walking cursor.
class Frame {
public:
    Frame() = default;

    // Appends a copy of the point at the tail and makes it the current point.
    // A NULL point is refused: logged, `valid` cleared, 0 returned.
    std::int16_t AddPoint(const Point* point);
    void AddPoint(const Point& point) {
        points_.push_back(point);
        current_ = points_.size() - 1;
    }
    void ReservePoints(std::size_t n) { points_.reserve(n); }

    // The walking cursor. FirstPoint/NextPoint return NULL past the tail.
    const Point* FirstPoint();
    const Point* NextPoint();
    const Point* CurrentPoint() const { return current_ < points_.size() ? &points_[current_] : nullptr; }
    // The point before `index`; the first point's predecessor is the point itself.
    const Point* PrevOf(std::size_t index) const;

    const std::vector<Point>& Points() const { return points_; }
    std::vector<Point>& MutablePoints() { return points_; }
    std::size_t Size() const { return points_.size(); }
    bool Empty() const { return points_.empty(); }
    const Point* FirstPointPtr() const { return points_.empty() ? nullptr : &points_.front(); }
    const Point* LastPointPtr() const { return points_.empty() ? nullptr : &points_.back(); }

    // True for ILDA formats 4 and 5, whose points carry their own colour.
    bool IsTrueColor() const { return formatCode == 4 || formatCode == 5; }

    std::uint8_t scannerHead = 0;
    std::uint8_t formatCode = 0;
    std::int16_t frameNumber = 0;
    std::uint16_t pointCount = 0;  // as announced by the header
    std::int16_t valid = 1;

private:
    std::vector<Point> points_;
    std::size_t current_ = static_cast<std::size_t>(-1);
};

}  // namespace vyr
