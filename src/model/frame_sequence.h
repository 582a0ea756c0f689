#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/frame.h"
#include "model/track.h"

namespace vyr {

// A loaded ILDA file: its frames in order and the frame shown next.
// Frames live in one vector; pointers to them stay valid until the next
// AddFrame or DeleteFrame.
class FrameSequence : public Track {
public:
    FrameSequence() = default;

    // Appends a copy of the frame and makes it current. NULL is refused.
    std::int16_t AddFrame(const Frame* frame);
    // Appends by move (the reader's path) and makes it current.
    Frame& AddFrame(Frame&& frame);
    // Unlinks and destroys one frame of this sequence. `currentFrame` is not
    // moved except that it never keeps pointing at a destroyed frame.
    std::int16_t DeleteFrame(const Frame* frame);

    Frame* NextFrame();
    Frame* PrevFrame();
    std::int16_t SetCurrentFrame(std::uint16_t n);

    Frame* CurrentFrame() { return Valid(current_) ? &frames_[current_] : nullptr; }
    const Frame* CurrentFrame() const { return Valid(current_) ? &frames_[current_] : nullptr; }
    Frame* FirstFrame() { return frames_.empty() ? nullptr : &frames_.front(); }
    Frame* LastFrame() { return frames_.empty() ? nullptr : &frames_.back(); }
    void SetCurrentToFirst() { current_ = frames_.empty() ? kNone : 0; }
    void SetCurrentToLast() { current_ = frames_.empty() ? kNone : frames_.size() - 1; }
    // Index of the current frame, or -1 when there is none.
    std::ptrdiff_t CurrentIndex() const { return Valid(current_) ? static_cast<std::ptrdiff_t>(current_) : -1; }

    const std::vector<Frame>& Frames() const { return frames_; }
    std::size_t Size() const { return frames_.size(); }
    void ReserveFrames(std::size_t n) { frames_.reserve(n); }

    std::int16_t frameCount = 0;   // frame headers read from the file
    std::int16_t firstDisplay = 1; // cleared by the first display tick

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    bool Valid(std::size_t i) const { return i < frames_.size(); }

    std::vector<Frame> frames_;
    std::size_t current_ = kNone;
};

}  // namespace vyr
