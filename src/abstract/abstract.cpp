#include "abstract/abstract.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "app/log.h"

namespace vyr {

AbstractProgramFlags Abstract::programFlags{};

namespace {

// The generator's figures were tuned with this value of pi; keeping it keeps
// stored shows drawing as they always did.
constexpr double kPi = 3.14159265359;
constexpr double kDeg = kPi / 180.0;
// Formula 7 takes its channel-1 offset through the single-precision 0.1.
constexpr double kSingleTenth = static_cast<double>(0.1f);

// Truncation toward zero into 32 bits. Values beyond that range (and NaN)
// give the "integer indefinite" 0x80000000 the x86 conversion produces,
// instead of undefined behaviour.
std::int32_t Trunc32(double v) {
    if (v > -2147483649.0 && v < 2147483648.0) return static_cast<std::int32_t>(v);
    return std::numeric_limits<std::int32_t>::min();
}

// Coordinates are kept as the low 16 bits of their 32-bit value.
std::int16_t Low16(std::int32_t v) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(v)); }

std::int16_t Coord(double v) { return Low16(Trunc32(v)); }

// A square wave of amplitude a.
double Square(double v, double a) {
    if (v > 0.0) return a;
    if (v < 0.0) return -a;
    return 0.0;
}

// The edge detector of a square wave: every change of sign blanks the point.
void TrackEdge(double q, std::int16_t& flag, bool& blank) {
    if ((q >= 0.0 && flag == 0) || (q < 0.0 && flag == 1)) {
        flag = flag == 0 ? 1 : 0;
        blank = true;
    }
}

// A colour level from a phase: 0..255.
std::int16_t Level(double a) { return Coord((std::sin(a) + 1.0) * 127.5); }

// A colour that is either fully on or off, on for the fraction of the cycle
// given by the offset.
std::int16_t Gate(std::uint16_t offset, double s) {
    return (360 - offset) / 360.0 < (s + 1.0) / 2.0 ? 255 : 0;
}

void FillPoint(Point& out, const AbstractPoint& p) {
    out.x = p.x;
    out.y = p.y;
    out.z = p.z;
    out.status = p.status;
}

}  // namespace

Abstract::Abstract() { trackType = kTrackAbstract; }

std::int16_t Abstract::GetNextSegment(Point& previousOut, Point& currentOut, std::uint8_t& redOut,
                                      std::uint8_t& greenOut, std::uint8_t& blueOut, std::int16_t& usePaletteOut) {
    // A new point far from the last one sets up a bridge and goes round once
    // more to emit the bridge's first point, so this runs at most twice.
    for (;;) {
        usePaletteOut = usePalette;
        bool blank = false;
        if (restart == 1) {
            sweep = -30000.0;
            programFlags.envelopeHigh = 1;
            restart = 0;
            blank = true;
        }
        previous = current;
        FillPoint(previousOut, previous);

        if (jumpStepX != 0) {
            if (jumpSteps > 0) {
                current.x = Low16(previous.x + jumpStepX);
                current.z = Low16(previous.z + jumpStepZ);
                current.y = Coord(current.x * jumpSlope + jumpIntercept);
                current.status = jumpTarget.status;
                --jumpSteps;
            } else {
                current = jumpTarget;
                jumpStepX = 0;
                jumpSlope = 0.0;
                jumpIntercept = 0.0;
            }
            break;
        }

        if (!ComputePoint(blank)) return 0;
        // A bridge towards the new point starts from the last one.
        if (jumpStepX == 0) break;
    }
    FillPoint(currentOut, current);
    redOut = static_cast<std::uint8_t>(red);
    greenOut = static_cast<std::uint8_t>(green);
    blueOut = static_cast<std::uint8_t>(blue);
    return 1;
}

Abstract::Channels Abstract::ChannelValues() const {
    return {channelGain[0] * 0.01, channelGain[1] * 0.01, channelGain[2] * 0.01,
            channelPhase[0],       channelPhase[1],       channelPhase[2]};
}

double Abstract::DepthOf(double aU, double aV, double env, double x2, double x3) const {
    const auto [a1, a2, a3, p1, p2, p3] = ChannelValues();
    const double o = zAxisOffset * kDeg;
    const int k24 = zAxisOffset / 24;
    const int k4 = zAxisOffset / 4;
    const double cx = current.x;
    const double cy = current.y;
    const double r = std::sqrt(cx * cx + cy * cy);
    double z = 0.0;
    switch (zAxisFormula) {
        case 1: z = std::sin(r * 0.00016666666666666666 + zAxisPhase * kDeg) * 10000.0; break;
        case 2: z = std::cos(k24 * kDeg + aU) * std::cos(aV) * 50000.0 - 100000.0; break;
        case 3: z = -std::cos(k24 * kDeg + aU) * 50000.0 - 100000.0; break;
        case 4:
            z = (a3 * std::cos(180 * kDeg + k4 + aV + p3) + a2 * std::cos(90 * kDeg + k4 + aV + p2) +
                 a1 * std::cos(k4 * kDeg + p1 + aV) + 2.0) *
                    10000.0 -
                20000.0;
            break;
        case 5:
            z = (a3 * std::sin(o + aU + p3) + a1 * std::sin(o + p1 + aU) + a2 * std::sin(o + aV + p2) + 2.0) *
                    10000.0 -
                20000.0;
            break;
        case 6: z = -1.5 * r + 100 * zAxisOffset; break;
        case 7:
            if (x3 == 0.0) {
                z = (a1 * std::cos(o + p1) + a2 * std::cos(o + p2) + 2.0) * 10000.0 - 20000.0;
            } else if (channelGain[0] == 0) {
                z = (a3 * std::cos(o + p3) + 1.0) * 20000.0 - 20000.0;
            } else {
                z = (a1 * std::cos(o + p1) + 1.0) * 20000.0 - 20000.0;
            }
            break;
        case 8:
            if (x2 == 0.0) {
                z = env * ((a1 * std::sin(o + p1) + a2 * std::sin(o + p2) + 2.0) * 10000.0 - 20000.0);
            } else if (channelGain[0] == 0) {
                z = env * ((a3 * std::sin(o + p3) + 1.0) * 20000.0 - 20000.0);
            } else {
                z = env * ((a1 * std::sin(o + p1) + 1.0) * 20000.0 - 20000.0);
            }
            break;
        default: break;
    }
    return z;
}

void Abstract::SetColour() {
    const std::uint16_t rO = colorOffset[0];
    const std::uint16_t gO = colorOffset[1];
    const std::uint16_t bO = colorOffset[2];
    const double cP = colorPhase;
    const double p1 = channelPhase[0];
    const double p2 = channelPhase[1];
    const double p3 = channelPhase[2];
    if (colorSpeed == 0) {
        red = static_cast<std::int16_t>(std::min<std::uint16_t>(rO, 255));
        green = static_cast<std::int16_t>(std::min<std::uint16_t>(gO, 255));
        blue = static_cast<std::int16_t>(std::min<std::uint16_t>(bO, 255));
    } else {
        const double o1 = channelOffset[0];
        const double o2 = channelOffset[1];
        const double o3 = channelOffset[2];
        switch (shift) {
            case 2:
                red = Level(rO * kDeg + p1 + cP);
                green = Level(gO * kDeg + cP + p2);
                blue = Level(bO * kDeg + cP + p3);
                break;
            case 3:
                red = Level(rO * kDeg + o1 + cP);
                green = Level(gO * kDeg + o2 + cP);
                blue = Level(bO * kDeg + o3 + cP);
                break;
            case 4:
                red = Level(rO * kDeg + o1 + p1 + cP);
                green = Level(gO * kDeg + o2 + cP + p2);
                blue = Level(bO * kDeg + o3 + cP + p3);
                break;
            case 5:
                red = Gate(rO, std::sin(cP));
                green = Gate(gO, std::sin(90 * kDeg + cP));
                blue = Gate(bO, std::sin(180 * kDeg + cP));
                break;
            case 6:
                red = Gate(rO, std::sin(p1 + cP));
                green = Gate(gO, std::sin(90 * kDeg + cP + p2));
                blue = Gate(bO, std::sin(180 * kDeg + cP + p3));
                break;
            default:
                red = Level(rO * kDeg + cP);
                green = Level(gO * kDeg + cP);
                blue = Level(bO * kDeg + cP);
                break;
        }
    }
}

bool Abstract::ComputePoint(bool& blank) {
    // Channel phases.
    for (int k = 0; k < 2; ++k) {
        channelPhase[k] = channelPhase[k] + channelOffset[k] * 0.1 * (kPi * 0.001388888888888889) + channelRate[k];
    }
    if (channelPhase[2] == 0.0) {
        channelPhase[2] = 0.5;
        channelRate[2] = 0.0;
    } else {
        channelPhase[2] = channelPhase[2] + channelOffset[2] * 0.1 * (kPi * 0.001388888888888889) + channelRate[2];
    }

    // Envelope.
    double env;
    // A sine envelope without depth is 1 whatever its phase; its sine is
    // only needed otherwise.
    const bool flatEnvelope = envelopeType != 1 && envelopeDepth == 0 && std::isfinite(envelopePhase);
    const double es = flatEnvelope ? 0.0 : std::sin(envelopePhase);
    if (envelopeType == 1) {
        const double t = (100 - envelopeDepth) * 0.01;
        if (es > t) {
            env = 1.0;
            if (programFlags.envelopeHigh == 0) {
                programFlags.envelopeHigh = 1;
                blank = true;
            }
        } else {
            env = t;
            if (programFlags.envelopeHigh == 1) {
                programFlags.envelopeHigh = 0;
                blank = true;
            }
        }
    } else {
        env = 1.0 - envelopeDepth * 0.01 * std::fabs(es);
    }

    // Plane formula.
    const auto [a1, a2, a3, p1, p2, p3] = ChannelValues();
    double x = 0.0;
    double y = 0.0;
    double x2 = 0.0;  // the channel-2 and channel-3 X terms, for the depth formulas
    double x3 = 0.0;
    if (formula >= 1 && formula <= 6) {
        // Every one of these formulas takes both values of all three phases.
        const double s1 = std::sin(p1);
        const double c1 = std::cos(p1);
        const double s2 = std::sin(p2);
        const double c2 = std::cos(p2);
        const double s3 = std::sin(p3);
        const double c3 = std::cos(p3);
        switch (formula) {
            case 1:
                x2 = env * a2 * s2;
                x3 = a3 * s3;
                x = a1 * s1 + x2 + x3;
                y = a1 * c1 + env * a2 * c2 + a3 * c3;
                break;
            case 2:
                x2 = env * a2 * s2 * std::fabs(s2);
                x3 = a3 * s3;
                x = a1 * s1 + x2 + x3;
                y = a1 * c1 + env * a2 * c2 * std::fabs(c2) + env * a3 * c3 * c3;
                break;
            case 3:
                x2 = env * a2 * s2 * s2 * s2;
                x3 = a3 * s3;
                x = a1 * s1 * s1 * s1 + x2 + x3;
                y = a1 * c1 * c1 * c1 + env * a2 * c2 * c2 * c2 + a3 * c3;
                break;
            case 4: {
                const double c = std::cos(channelOffset[2] * 0.1 * kDeg);
                x2 = env * a2 * s2;
                x3 = a3 * s3;
                x = env * a1 * s1 + x2 + x3;
                y = c * env * a1 * c1 + c * env * a2 * c2 + a3 * c3;
                break;
            }
            case 5: {
                const double qx = Square(s3, a3);
                const double qy = Square(c3, a3);
                TrackEdge(qx, programFlags.edgeX5, blank);
                TrackEdge(qy, programFlags.edgeY5, blank);
                x2 = env * a2 * s2;
                x3 = qx;
                x = env * a1 * s1 + x2 + qx;
                y = env * a1 * c1 + env * a2 * c2 + qy;
                break;
            }
            default: {
                const double qx = Square(s3, a3);
                const double qy = Square(c3, a3);
                TrackEdge(qx, programFlags.edgeX6, blank);
                TrackEdge(qy, programFlags.edgeY6, blank);
                x2 = env * a2 * s2 * s2 * s2;
                x3 = qx;
                x = a1 * s1 + x2 + qx;
                y = a1 * c1 + env * a2 * c2 * c2 * c2 + qy;
                break;
            }
        }
    } else if (formula == 7 || formula == 8) {
        sweep = sweep + 30.0 * (channelGain[2] + channelOffset[2] * 0.0002777777777777778) + 100000.0 * channelRate[2];
        if (sweep > 30000.0) {
            sweep = -30000.0;
            blank = true;
        }
    } else {
        char text[96];
        std::snprintf(text, sizeof text, "Abstract::GetNextSegment(): Invalid formula number %d specified.",
                      static_cast<int>(formula));
        LogMessage(text);
        return false;
    }
    if (formula <= 6) {
        current.x = Coord((x + 2.0) * 10000.0 - 20000.0);
        current.y = Coord((y + 2.0) * 10000.0 - 20000.0);
        if ((formula == 5 || formula == 6) &&
            (std::abs(current.x - previous.x) > 10000 || std::abs(current.y - previous.y) > 10000)) {
            blank = true;
        }
    } else {
        current.x = Coord(sweep);
        const double wave = formula == 7
                                ? a1 * std::sin(channelOffset[0] * kSingleTenth * kDeg + 100 * channelRate[0] + sweep)
                                : a1 * std::sin(p1);
        current.y = Coord(env * ((wave + a2 * std::sin(p2) + 2.0) * 10000.0 - 20000.0));
    }

    // Depth.
    const double u = current.x * 7.142857142857143e-6 + 0.5;
    const double v = current.y * 7.142857142857143e-6 + 0.5;
    const double aU = 2.0 * kPi * u;
    const double aV = 2.0 * kPi * v;
    ++pointCounter;
    if (pointCounter > pointsPerFrame) {
        zAxisPhase = zAxisPhase + zAxisOffset * 0.1;
        pointCounter = 0;
    }
    const double z = zAxisGain != 0 ? DepthOf(aU, aV, env, x2, x3) : 0.0;
    // The depth is kept in 16 bits before the gain is applied, so the deep
    // formulas 2 and 3 wrap around as stored shows have always drawn them.
    // (Without gain the depth is 0 whatever the formula gives.)
    current.z = Coord(z);
    current.z = Coord(zAxisGain * 0.01 * current.z);

    // Distances from the last point, in single precision.
    const float dx = static_cast<float>(std::abs(current.x - previous.x));
    const float dy = static_cast<float>(std::abs(current.y - previous.y));
    const float dz = static_cast<float>(std::abs(current.z - previous.z));
    if (zAxisFormula == 1) {
        float m = std::max(dx, dy);
        if (m == 0.0f) m = 1e-07f;
        const float s = dz / m;
        if (std::fabs(s - zSlope) > 0.3) blank = true;
        zSlope = s;
    }

    blankPhase = blankPhase + blankSpeed * 0.0005555555555555556;
    if (shift != 3) colorPhase = colorPhase + colorSpeed * 0.0005555555555555556;

    // Blanking spot. A dark point has no colour, so its colour is not
    // worked out.
    current.status = 0;
    // With a spot of 0 the threshold is -1, which no sine goes below.
    if (!blank && shift != 0 && blankSpot != 0 && std::sin(blankPhase) < (blankSpot - 100) * 0.01) blank = true;
    if (blank) {
        red = green = blue = 0;
        current.status = Point::kBlankBit;
    } else {
        SetColour();
    }

    for (int k = 0; k < 3; ++k) channelRate[k] = channelRate[k] + channelDelta[k] * kDeg * 1e-08;
    if (envelopeSpeed == 0) {
        envelopePhase = 1.0;
    } else {
        envelopePhase = envelopePhase + envelopeSpeed * (formula >= 7 ? 0.0001 : 5e-06);
    }

    // A long jump is split into pieces of about 2000 units along the line
    // between the two points.
    jumpSteps = 0;
    if (dx >= 2000.0f) jumpSteps = static_cast<std::uint16_t>(Trunc32(dx * 0.0005 - 1.0));
    if (dy >= 2000.0f && dy > dx && dx != 0.0f) jumpSteps = static_cast<std::uint16_t>(Trunc32(dy * 0.0005 - 1.0));
    if (jumpSteps > 0) {
        const float pieces = static_cast<float>(jumpSteps + 1);
        jumpStepX = Coord(dx / pieces);
        jumpStepZ = Coord(dz / pieces);
        if (jumpStepX == 0) {
            // Too steep to step along x: a bridge would never get anywhere,
            // so the point is taken as it is.
            jumpSteps = 0;
            jumpStepZ = 0;
            return true;
        }
        jumpSlope = static_cast<double>(current.y - previous.y) / static_cast<double>(current.x - previous.x);
        jumpIntercept = current.y - current.x * jumpSlope;
        if (previous.x > current.x) jumpStepX = static_cast<std::int16_t>(-jumpStepX);
        if (previous.z > current.z) jumpStepZ = static_cast<std::int16_t>(-jumpStepZ);
        jumpTarget = current;
        current = previous;
    }
    return true;
}

}  // namespace vyr
