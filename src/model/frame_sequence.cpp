#include "model/frame_sequence.h"

#include "app/log.h"

namespace vyr {

std::int16_t FrameSequence::AddFrame(const Frame* frame) {
    if (frame == nullptr) {
        LogMessage("ERR: NULL frame pointer passed to FrameSequence::AddFrame()");
        valid = 0;
        return 0;
    }
    AddFrame(Frame(*frame));
    return 1;
}

Frame& FrameSequence::AddFrame(Frame&& frame) {
    frames_.push_back(std::move(frame));
    current_ = frames_.size() - 1;
    return frames_.back();
}

std::int16_t FrameSequence::DeleteFrame(const Frame* frame) {
    if (frames_.empty()) {
        LogMessage("ERR: List is empty, cannot delete frame.");
        return 0;
    }
    if (frame == nullptr || frame < frames_.data() || frame >= frames_.data() + frames_.size()) return 0;
    const auto index = static_cast<std::size_t>(frame - frames_.data());
    frames_.erase(frames_.begin() + static_cast<std::ptrdiff_t>(index));
    // The cursor keeps naming the same frame where that frame still exists;
    // a cursor on the deleted frame itself becomes NULL rather than dangling.
    if (current_ == index) {
        current_ = kNone;
    } else if (current_ != kNone && current_ > index) {
        --current_;
    }
    return 1;
}

Frame* FrameSequence::NextFrame() {
    if (!Valid(current_)) return nullptr;  // never step from NULL
    ++current_;
    if (!Valid(current_)) current_ = kNone;
    return CurrentFrame();
}

Frame* FrameSequence::PrevFrame() {
    if (!Valid(current_)) return nullptr;
    current_ = current_ == 0 ? kNone : current_ - 1;
    return CurrentFrame();
}

std::int16_t FrameSequence::SetCurrentFrame(std::uint16_t n) {
    if (frameCount < static_cast<std::int32_t>(n)) return 0;
    // frameCount counts headers and can exceed the frames kept: an index past
    // the tail is refused instead of walking off the list.
    if (n > frames_.size()) return 0;
    current_ = n < frames_.size() ? n : kNone;
    return 1;
}

}  // namespace vyr
