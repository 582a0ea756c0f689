#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "app/settings.h"
#include "content/font_list.h"
#include "content/text_scroll.h"
#include "model/frame_sequence.h"
#include "model/track_list.h"
#include "render/output_device.h"
#include "render/play_state.h"
#include "abstract/abstract.h"
#include "render/segment_renderer.h"

namespace vyr {

class Canvas;
class TrackManipulator;

// One display tick: every armed track's current content, seen through its
// camera, through the segment renderer to the preview and its output device.
class FrameRenderer {
public:
    using DeviceSlotArray = std::array<std::unique_ptr<OutputDevice>, 4>;

    // `canvas` is the window surface of the preview and may be null. Text
    // tracks are drawn in the current font of `fonts`.
    FrameRenderer(TrackList& tracks, Settings& settings, PlayState& state, TrackManipulator& manipulator,
                  SegmentRenderer& segments, const DeviceSlotArray& devices, OutputDevice& preview,
                  const FontList& fonts, Canvas* canvas)
        : tracks_(tracks),
          settings_(settings),
          state_(state),
          manipulator_(manipulator),
          segments_(segments),
          devices_(devices),
          preview_(preview),
          fonts_(fonts),
          canvas_(canvas) {}

    std::int32_t DisplayAllTracks();
    std::int16_t DisplayIldaFrame(const Frame* frame);
    // One frame of a text: the characters wholly inside the view, then one
    // scroll step.
    std::int16_t DisplayTextFrame(TextScroll* text);
    // Draws `repeat` frames of the generated pattern, `pointsPerFrame`
    // segments each, snapping colours to the track's palette when the
    // pattern asks for it.
    std::int16_t DisplayAbstractFrame(Abstract* abstract, int repeat);
    void PointDelay() const {
        const long long count =
            static_cast<long long>(settings_.currentGlobalDelay) * static_cast<long long>(state_.settings.delay);
        if (count > 0) BusyWait(count);
    }

    // The preview area inside the view: the window with its left edge moved
    // right by LEFT_PREVIEW_EDGE, its top down by 6, right and bottom in by 9.
    PreviewRect ComputePreviewRect() const;
    // Fills the preview area with the background colour.
    void ClearPreview();

    static constexpr Rgb kBackground{5, 5, 5};

private:
    static void BusyWait(long long count);
    void RenderTrack(Track& track, std::uint16_t frameRepeat);
    void FrameSequenceStep(FrameSequence& sequence, std::uint16_t frameRepeat);
    void TextScrollStep(Track& track, std::uint16_t frameRepeat);
    void AbstractStep(Abstract* abstract, std::uint16_t frameRepeat);
    void SetPreviewViewport();
    void SetLaserViewport(OutputDevice& device);

    TrackList& tracks_;
    Settings& settings_;
    PlayState& state_;
    TrackManipulator& manipulator_;
    SegmentRenderer& segments_;
    const DeviceSlotArray& devices_;
    OutputDevice& preview_;
    const FontList& fonts_;
    Canvas* canvas_;
};

}  // namespace vyr
