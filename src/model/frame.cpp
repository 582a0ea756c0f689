#include "model/frame.h"

#include "app/log.h"

namespace vyr {

std::int16_t Frame::AddPoint(const Point* point) {
    if (point == nullptr) {
        LogMessage("ERR: NULL point pointer passed in to Frame::AddPoint()");
        valid = 0;
        return 0;
    }
    AddPoint(*point);
    return 1;
}

const Point* Frame::FirstPoint() {
    current_ = 0;
    return CurrentPoint();
}

const Point* Frame::NextPoint() {
    if (current_ < points_.size()) ++current_;
    return CurrentPoint();
}

const Point* Frame::PrevOf(std::size_t index) const {
    if (index >= points_.size()) return nullptr;
    return index == 0 ? &points_[0] : &points_[index - 1];
}

}  // namespace vyr
