#include <gtest/gtest.h>

#include "render_rig.h"

namespace vyr::test {
namespace {

// The preview area of the 1024 x 768 recording canvas runs from (267, 6) to
// (1015, 759); normalized y grows upward. Track 1's end points are nudged by
// d = 0.8 / 748 to the left and up.
//   world (0, 0)       -> (641, 382), nudged (640, 381)
//   world (4000, 0)    -> (686, 382), nudged (685, 381)
//   world (4000, 4000) -> (686, 337), nudged (685, 336)
class PreviewCalls : public ::testing::Test {
protected:
    std::vector<std::string> Draw(const std::vector<std::array<int, 3>>& points) {
        rig.Add(MakeSequence({MakeFrame(points)}));
        rig.renderer.DisplayAllTracks();
        std::vector<std::string> calls = rig.canvas.Calls();
        // Drop the clearing fill and the final present.
        EXPECT_EQ(calls.front(), "fill 267 6 1015 759 5 5 5");
        EXPECT_EQ(calls.back(), "present");
        return std::vector<std::string>(calls.begin() + 1, calls.end() - 1);
    }
    Track& Track1() { return *rig.tracks.GetTrack(1); }
    RenderRig rig;
};

TEST_F(PreviewCalls, StrokesStartWithAMoveAndContinueWithLines) {
    EXPECT_EQ(Draw({{0, 0, 0}, {4000, 0, 0}, {4000, 4000, 0}}),
              (std::vector<std::string>{"pen 255 0 0 w1", "move 641 382", "line 685 381",  // first segment
                                        "pen 255 0 0 w1", "line 685 336",                  // continues
                                        "pen 0 0 0 w1", "move 686 337", "line 685 336"}));  // closing call
}

TEST_F(PreviewCalls, BlankedMovesAreNotDrawnAndTheNextStrokeStartsAfresh) {
    EXPECT_EQ(Draw({{0, 0, 0}, {4000, 0, 0}, {4000, 4000, kBlank}, {0, 0, 0}}),
              (std::vector<std::string>{"pen 255 0 0 w1", "move 641 382", "line 685 381",
                                        "pen 255 0 0 w1", "move 686 337", "line 640 381",
                                        "pen 0 0 0 w1", "move 641 382", "line 640 381"}));
}

TEST_F(PreviewCalls, ShortSegmentsAndPointsModeAreDots) {
    // A segment that does not move is a dot drawn with a 2-pixel pen from the
    // from point to just past the nudged end point.
    const auto calls = Draw({{0, 0, 0}, {0, 0, 0}});
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0], "pen 255 0 0 w2");
    EXPECT_EQ(calls[1], "move 641 382");
    EXPECT_EQ(calls[2], "line 641 380");

    rig.canvas.Clear();
    Track1().settings.displayFlags = 0x11;
    rig.renderer.DisplayAllTracks();
    // In points mode the dot starts at the nudged point itself.
    EXPECT_EQ(rig.canvas.Calls()[1], "pen 255 0 0 w2");
    EXPECT_EQ(rig.canvas.Calls()[2], "move 640 381");
}

TEST_F(PreviewCalls, PenColours) {
    struct Case {
        const char* name;
        std::uint16_t colorMode;
        std::int16_t beamView;
        std::int32_t yag;
        std::int32_t blankClip;
        std::string pen;
    };
    const Case cases[] = {
        {"track colour", 0, 0, 0, 0, "pen 255 0 0 w1"},
        {"CVL shows red as yellow", 4, 0, 0, 0, "pen 255 255 0 w1"},
        {"inverted colour", 1, 0, 0, 0, "pen 0 255 255 w1"},
        {"YAG beam view", 0, 1, 1, 0, "pen 99 255 0 w1"},
    };
    for (const Case& c : cases) {
        RenderRig local;
        local.settings.COLOR_MODE = c.colorMode;
        local.settings.BEAM_YAG_VIEW = c.yag;
        local.settings.BLANK_CLIP_VIEW = c.blankClip;
        FrameSequence& seq = local.Add(MakeSequence({MakeFrame({{0, 0, 0}, {4000, 0, 0}})}));
        seq.settings.beamView = c.beamView;
        local.renderer.DisplayAllTracks();
        EXPECT_EQ(local.canvas.Calls()[1], c.pen) << c.name;
    }
}

TEST_F(PreviewCalls, BlankClipViewMarksStrokeStartsAndBlankedMoves) {
    rig.settings.BLANK_CLIP_VIEW = 1;
    const auto calls = Draw({{0, 0, 0}, {4000, 0, 0}, {4000, 4000, kBlank}});
    // Marker boxes are +-0.01 around a point: around (0.5, 0.5) that is (648, 374)-(633, 390).
    const std::vector<std::string> first = {
        "pen 255 0 0 w1", "move 641 382", "line 685 381",
        "brush 0 255 255", "rect 648 374 633 390", "ellipse 692 374 677 389", "release"};
    ASSERT_GE(calls.size(), first.size() + 4);
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 7), first);
    // The blanked move is shown in grey, with a magenta triangle at the lit point it leaves.
    EXPECT_EQ(calls[7], "pen 90 90 90 w1");
    EXPECT_EQ(calls[8], "line 685 336");
    EXPECT_EQ(calls[9], "brush 255 0 255");
    EXPECT_EQ(calls[10], "polygon 693,374 678,374 686,390");
    EXPECT_EQ(calls[11], "ellipse 692 328 677 343");
    EXPECT_EQ(calls[12], "release");
    // The closing call gets a white square and no circle.
    EXPECT_EQ(rig.canvas.Count("brush 255 255 255"), 1);
    EXPECT_EQ(rig.canvas.Count("ellipse"), 2);
}

TEST_F(PreviewCalls, BeamViewDrawsBeamsFromTheProjectorsToTheEdge) {
    rig.settings.BEAM_ON_2 = 1;
    FrameSequence& seq = rig.Add(MakeSequence({MakeFrame({{0, 0, 0}, {0, 0, 0}})}));
    seq.settings.beamView = 1;
    rig.renderer.DisplayAllTracks();
    const auto& calls = rig.canvas.Calls();
    // Beam 1 from (0.48, 0.3) through the point raised by 0.1 runs out at the
    // top edge (y 6); beam 2 from (0.9, 0.3), aimed at the point mirrored in
    // X, runs out at the left edge (x 267) at y = 0.979.
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(calls[1], "pen 255 0 0 w1");
    EXPECT_EQ(calls[2], "move 626 533");
    auto endsAtTheTopEdge = [](const std::string& call) {
        const int y = std::stoi(call.substr(call.rfind(' ')));
        return call.rfind("line ", 0) == 0 && (y == 5 || y == 6);  // y = 1 within float precision
    };
    EXPECT_TRUE(endsAtTheTopEdge(calls[3])) << calls[3];
    EXPECT_EQ(calls[4], "move 940 533");
    EXPECT_TRUE(calls[5] == "line 267 21" || calls[5] == "line 266 21") << calls[5];

    rig.canvas.Clear();
    rig.settings.BEAM_MODE = 1;
    rig.renderer.DisplayAllTracks();
    // Points beam mode: a spot filled with half the pen colour and one beam to it.
    EXPECT_EQ(rig.canvas.Count("brush 127 0 0"), 1);
    EXPECT_EQ(rig.canvas.Count("ellipse"), 2) << "the closing call draws its spot too";
    EXPECT_EQ(rig.canvas.Count("move 626 533"), 2);
}

TEST_F(PreviewCalls, NothingIsDrawnForADarkTrackOrWithTheScreenOff) {
    FrameSequence& seq = rig.Add(MakeSequence({MakeFrame({{0, 0, 0}, {4000, 0, 0}})}));
    seq.settings.colorFactor = 0.0f;
    rig.renderer.DisplayAllTracks();
    EXPECT_EQ(rig.canvas.Count("line"), 0);

    rig.canvas.Clear();
    seq.settings.colorFactor = 1.0f;
    rig.settings.DISPLAY_SCREEN = 0;
    rig.renderer.DisplayAllTracks();
    EXPECT_EQ(rig.canvas.Count("line"), 0);
}

}  // namespace
}  // namespace vyr::test
