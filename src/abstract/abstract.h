#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/point.h"
#include "model/track.h"

namespace vyr {

// One point of the generator's own bookkeeping (the last two points and the
// target of a bridge).
struct AbstractPoint {
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t z = 0;
    std::uint16_t status = 0;
};

// State shared by every abstract track of the program rather than kept per
// track: the square envelope's high flag and the edge flags of the square
// waves of formulas 5 and 6. All clear when the program starts.
struct AbstractProgramFlags {
    std::int16_t envelopeHigh = 0;
    std::int16_t edgeX5 = 0;
    std::int16_t edgeY5 = 0;
    std::int16_t edgeX6 = 0;
    std::int16_t edgeY6 = 0;
};

// A formula-generated track: three rotating phasors combined by one of eight
// plane formulas into X and Y, one of eight depth formulas for Z, an
// envelope, colour cycling, a blanking oscillator and discontinuity
// detectors. Long jumps are bridged by straight-line points so the scanner
// never has to cross a large distance in one step.
//
// Per-channel arrays hold channels 1, 2, 3 at indexes 0, 1, 2; `colorOffset`
// holds red, green, blue. The object is plain data (no heap), so copying it
// is how a frame is drawn again.
class Abstract : public Track {
public:
    static constexpr int kIntBlockSize = 13;
    static constexpr int kRealBlockSize = 12;
    static constexpr int kIntBlock2Size = 13;
    static constexpr std::uint16_t kDefaultPointsPerFrame = 400;

    // A track with the defaults and empty raw blocks; no file is read.
    Abstract();

    // Reads the definition file at `path` into the raw blocks, with
    // `programDirectory` as the working directory meanwhile so that a relative
    // path is taken relative to the program. The working directory is put
    // back on every path out. `valid` is 1 when the file was read; the caller
    // then applies it with SetPattern. Every failure is logged.
    Abstract(const std::string& path, const std::string& programDirectory);

    // Turns the raw blocks into parameters; the channel, extra, blank and
    // colour phases start at 0 unless the real block has all 12 entries.
    // Returns 1.
    std::int16_t SetPattern(int ignored = 0);

    // Fills the raw blocks from the live parameters (`usePaletteChecked`
    // gives the palette bit of the first entry) and writes them to `path` in
    // the definition-file layout, with CR LF line ends. `programDirectory` is
    // the working directory meanwhile, and the working directory is put back
    // on every path out; when that fails `valid` becomes 0. The file is
    // written beside the target first and only a complete one replaces it.
    // Returns 1 when the file was written, 0 otherwise (logged).
    std::int16_t WriteDefinitionFile(const std::string& path, const std::string& programDirectory,
                                     bool usePaletteChecked);

    // One point of the figure: `previousOut` gets the point the segment starts
    // from, `currentOut` the point it goes to (x, y, z and status only), the
    // colour the segment is drawn in and whether the renderer is to snap that
    // colour to the track's palette. Returns 1, or 0 for a plane formula
    // outside 1..8 (logged; `currentOut` is then left alone).
    std::int16_t GetNextSegment(Point& previousOut, Point& currentOut, std::uint8_t& redOut,
                                std::uint8_t& greenOut, std::uint8_t& blueOut, std::int16_t& usePaletteOut);

    // The flags every abstract track shares.
    static AbstractProgramFlags programFlags;

    std::int16_t formula = 1;
    std::int16_t usePalette = 0;
    std::int16_t shift = 1;
    std::int16_t red = 0;
    std::int16_t green = 0;
    std::int16_t blue = 0;
    std::array<std::uint16_t, 3> channelGain{0, 0, 0};
    std::array<std::uint16_t, 3> channelOffset{0, 0, 0};
    std::array<std::uint16_t, 3> channelDelta{0, 0, 0};
    std::array<double, 3> channelPhase{0.0, 0.0, 0.0};
    std::array<double, 3> channelRate{0.0, 0.0, 0.0};
    double extraPhase = 0.0;
    std::uint16_t pointsPerFrame = kDefaultPointsPerFrame;
    std::array<std::uint16_t, 3> colorOffset{0, 45, 90};
    std::uint16_t colorSpeed = 0;
    std::uint16_t blankSpeed = 0;
    std::uint16_t blankSpot = 0;
    std::int32_t envelopeType = 0;  // 0 sine, 1 square
    std::uint16_t envelopeDepth = 0;
    std::uint16_t envelopeSpeed = 0;
    double envelopePhase = 0.0;
    double blankPhase = 0.0;
    double colorPhase = 0.0;
    double sweep = -30000.0;
    double zSlope = 0.0;
    std::uint32_t pointCounter = 0;
    std::int16_t restart = 1;
    AbstractPoint previous;
    AbstractPoint current;
    std::uint16_t jumpSteps = 0;
    std::int16_t jumpStepX = 0;
    std::int16_t jumpStepZ = 0;
    double jumpSlope = 0.0;
    double jumpIntercept = 0.0;
    AbstractPoint jumpTarget;

    // The definition file as read (or as last written).
    std::array<std::int32_t, kIntBlockSize> intBlock{};
    std::array<float, kRealBlockSize> realBlock{};
    std::array<std::int32_t, kIntBlock2Size> intBlock2{};
    std::uint16_t intBlockCount = 0;
    std::uint16_t realBlockCount = 0;
    std::uint16_t intBlock2Count = 0;

private:
    // The channel amplitudes (gains as fractions) and their running phases.
    struct Channels {
        double a1, a2, a3;
        double p1, p2, p3;
    };
    Channels ChannelValues() const;
    // Works out a new point of the figure; false for an invalid formula.
    bool ComputePoint(bool& blank);
    // The depth before gain of the current point.
    double DepthOf(double aU, double aV, double env, double x2, double x3) const;
    // The colour of a lit point.
    void SetColour();
    void ReadDefinitionFile(const std::string& path, const std::string& programDirectory);
    void FillBlocks(bool usePaletteChecked);
};

}  // namespace vyr
