#include "playback/track_manipulation.h"

#include <algorithm>
#include <cmath>

#include "app/log.h"

namespace vyr {
namespace {

constexpr float kPi = 3.14159265359f;
constexpr float kLimit = kCameraCoordinateLimit;

// Counts never go below zero. A negative count (a script can ask for one)
// would otherwise never reach zero again: the command would run for ever and
// keep the tracks busy, which stops the script that started it.
void CountDown(TrackCommand& command) { command.frameCount = command.frameCount > 0 ? command.frameCount - 1 : 0; }

void ClampToLimit(Vec3& p) {
    p.x = std::clamp(p.x, -kLimit, kLimit);
    p.y = std::clamp(p.y, -kLimit, kLimit);
    p.z = std::clamp(p.z, -kLimit, kLimit);
}

// p turned about the centre c by the angle whose cosine and sine are given,
// as the row vector (p - c) times the rotation matrix of the axis, plus c.
Vec3 Turn(const Vec3& p, const Vec3& c, std::int32_t axis, float cs, float sn) {
    const float x = p.x - c.x;
    const float y = p.y - c.y;
    const float z = p.z - c.z;
    Vec3 r{x, y, z};
    switch (axis) {
        case 0:
            r.y = y * cs - z * sn;
            r.z = y * sn + z * cs;
            break;
        case 1:
            r.x = x * cs + z * sn;
            r.z = -x * sn + z * cs;
            break;
        default:
            r.x = x * cs - y * sn;
            r.y = x * sn + y * cs;
            break;
    }
    return Vec3{r.x + c.x, r.y + c.y, r.z + c.z};
}

// Adds a per-tick change to one coordinate, stopping at the camera limit. A
// coordinate already past the limit is not pushed further out.
void AddLimited(float& value, float change) {
    if (change > 0.0f) {
        if (value < kLimit) value = std::min(value + change, kLimit);
    } else if (change < 0.0f) {
        if (value > -kLimit) value = std::max(value + change, -kLimit);
    }
}

}  // namespace

bool TrackManipulator::StepTrackCommand(Track& track) {
    TrackCommand& command = track.manipulation;
    if (command.frameCount < 0) command.frameCount = 0;
    if (command.frameCount != 0) {
        if (command.skipOnce == 1) {
            command.skipOnce = 0;
        } else if (DoTrackManipulation() != 1) {
            LogMessage("DisplayAllTracks(): DoTrackManipulation failed.");
        }
    }
    if (command.frameCount == 0 && command.code != kCommandNone && track.nextManipulation.code != kCommandNone) {
        command = track.nextManipulation;
        track.nextManipulation.code = kCommandNone;
    }
    return command.frameCount > 0;
}

std::int16_t TrackManipulator::DoTrackManipulation() {
    Track* track = CurrentTrack();
    if (track == nullptr) return 0;
    camera_ = track->camera;
    settings_ = track->settings;

    TrackCommand& command = track->manipulation;
    if (command.frameCount < 0) command.frameCount = 0;
    std::int16_t result = 1;
    switch (command.code) {
        case kCommandHold:
            CountDown(command);
            break;
        case kCommandFade:
            result = DoFade();
            break;
        case kCommandRotateAt:
            result = DoRotate(kRotateAtPoint);
            break;
        case kCommandRotateFrom:
            result = DoRotate(kRotateFromPoint);
            break;
        case kCommandRotateBoth:
            result = DoRotate(kRotateBoth);
            break;
        case kCommandZoom:
            result = DoZoom();
            break;
        case kCommandMoveForward:
            result = MoveAlongSight(command.moveX, kSightBoth);
            break;
        case kCommandMoveAt:
            result = MoveAtPoint(true);
            break;
        case kCommandMoveFrom:
            result = MoveFromPoint(true);
            break;
        case kCommandMoveBoth: {
            const std::int16_t at = MoveAtPoint(true);
            const std::int16_t from = MoveFromPoint(false);
            result = (at == 1 && from == 1) ? 1 : 0;
            break;
        }
        default:
            // kCommandUndefined, the empty record and unknown codes: nothing
            // to do, and the count stays.
            break;
    }
    if (result != 1) {
        LogMessage("DoTrackManipulation(): Command in progress function call failure.");
        return 0;
    }
    return 1;
}

std::int16_t TrackManipulator::DoFade() {
    Track* track = CurrentTrack();
    if (track == nullptr) return 0;
    TrackCommand& command = track->manipulation;
    if (command.frameCount <= 0) {
        command.frameCount = 0;
        return 1;
    }
    const std::int32_t direction = command.fadeDirection;
    if (direction != 0 && direction != 1) {
        LogMessage("DoFade(): Invalid fade direction specified.");
        return 0;
    }
    const bool fadeIn = direction == 0;
    float& c = settings_.colorFactor;
    // A brightness that is no number at all would poison every step and the
    // colours drawn from it; it counts as full brightness, as the frame
    // renderers treat an invalid brightness.
    if (!std::isfinite(c)) c = 1.0f;

    if (command.started == 0) {
        float total;
        if (fadeIn) {
            total = c < 1.0f ? 1.0f - c : 1.0f;
        } else {
            total = c > 0.0f ? c : 1.0f;
        }
        command.fadeStep = total / static_cast<float>(static_cast<std::uint32_t>(command.frameCount));
        command.started = 1;
    }
    if (fadeIn) {
        if (c < 1.0f) {
            c += command.fadeStep;
            if (c > 1.0f) c = 1.0f;
        }
    } else if (c > 0.0f) {
        c -= command.fadeStep;
        if (c < 0.0f) c = 0.0f;
    }
    CountDown(command);
    // The last step lands exactly on the end, whatever rounding did on the way.
    if (command.frameCount == 0 || !std::isfinite(c)) c = fadeIn ? 1.0f : 0.0f;
    track->settings = settings_;
    return 1;
}

std::int16_t TrackManipulator::DoRotate(std::int16_t mode) {
    if (mode != kRotateFromPoint && mode != kRotateAtPoint && mode != kRotateBoth) return 0;
    bool aboutOrigin = false;
    if (mode != kRotateAtPoint) {
        if (currentTrackNumber_ < 1 || currentTrackNumber_ > TrackList::kSlots) {
            LogMessage("DoRotate(): Invalid track number specified.");
            return 0;
        }
        aboutOrigin = rotateAboutZero_[static_cast<std::size_t>(currentTrackNumber_ - 1)] == 1;
    }
    Track* track = CurrentTrack();
    if (track == nullptr) return 0;
    TrackCommand& command = track->manipulation;
    const std::int32_t axis = command.rotationAxis;
    if (axis < 0 || axis > 2) {
        LogMessage("DoRotate(): Invalid rotation axis specified.");
        return 0;
    }

    const float theta = command.rotationStep * kPi / 180.0f;
    const float cs = std::cos(theta);
    const float sn = std::sin(theta);
    Camera turned = track->camera;
    const Vec3 from = turned.fromPoint;
    const Vec3 at = turned.atPoint;
    const Vec3 origin{0.0f, 0.0f, 0.0f};
    switch (mode) {
        case kRotateFromPoint:
            turned.fromPoint = Turn(from, aboutOrigin ? origin : at, axis, cs, sn);
            break;
        case kRotateAtPoint:
            turned.atPoint = Turn(at, from, axis, cs, sn);
            break;
        default:
            turned.fromPoint = Turn(from, aboutOrigin ? origin : at, axis, cs, sn);
            turned.atPoint = Turn(at, aboutOrigin ? origin : from, axis, cs, sn);
            break;
    }
    camera_ = turned;
    track->camera = turned;
    CountDown(command);
    return 1;
}

std::int16_t TrackManipulator::DoZoom() {
    Track* track = CurrentTrack();
    if (track == nullptr) return 0;
    TrackCommand& command = track->manipulation;
    if (command.zoomDirection == 0) {
        command.moveX = command.zoomStep;
    } else if (command.zoomDirection == 1) {
        command.moveX = -command.zoomStep;
    } else {
        LogMessage("DoZoom(): Invalid zoom direction specified.");
        return 0;
    }
    return MoveAlongSight(command.moveX, kSightFromPoint);
}

std::int16_t TrackManipulator::MoveAlongSight(float distance, std::int16_t mode) {
    Track* track = CurrentTrack();
    if (track == nullptr) return 0;
    Vec3& f = camera_.fromPoint;
    Vec3& a = camera_.atPoint;
    const float dx = a.x - f.x;
    const float dy = a.y - f.y;
    const float dz = a.z - f.z;
    const float r = distance;

    if (!(dx == 0.0f && dy == 0.0f && dz == 0.0f) && r != 0.0f) {
        // The reference axis carries the step; the other coordinates follow
        // the line through the at point, with the slopes of the old points.
        enum class Kind { kXY, kXZ, kZY, kY, kZ };
        Kind kind;
        float s;
        if (dx != 0.0f && dy != 0.0f) {
            kind = Kind::kXY;
            s = r * std::cos(std::atan2(dy, dx));
        } else if (dx != 0.0f) {
            kind = Kind::kXZ;
            s = r * std::cos(std::atan2(dz, dx));
        } else if (dy != 0.0f && dz != 0.0f) {
            kind = Kind::kZY;
            s = r * std::cos(std::atan2(dy, dz));
        } else if (dy != 0.0f) {
            kind = Kind::kY;
            s = r;
        } else {
            kind = Kind::kZ;
            s = r;
        }
        const bool onX = kind == Kind::kXY || kind == Kind::kXZ;
        const float fk = onX ? f.x : (kind == Kind::kY ? f.y : f.z);
        const float ak = onX ? a.x : (kind == Kind::kY ? a.y : a.z);
        const float dk = ak - fk;
        // A positive distance never takes the point farther from the at point
        // along the reference axis, a negative one never brings it closer.
        const float left = ak - (fk + s);
        if ((r > 0.0f && std::fabs(left) > std::fabs(dk)) || (r < 0.0f && std::fabs(left) < std::fabs(dk))) s = -s;

        const Vec3 oldA = a;
        auto follow = [&](Vec3& p) {
            switch (kind) {
                case Kind::kXY:
                    p.x += s;
                    p.y = oldA.y + (p.x - oldA.x) * (dy / dx);
                    if (dz != 0.0f) p.z = oldA.z + (p.x - oldA.x) * (dz / dx);
                    break;
                case Kind::kXZ:
                    p.x += s;
                    p.z = oldA.z + (p.x - oldA.x) * (dz / dx);
                    break;
                case Kind::kZY:
                    p.z += s;
                    p.y = oldA.y + (p.z - oldA.z) * (dy / dz);
                    break;
                case Kind::kY:
                    p.y += s;
                    break;
                case Kind::kZ:
                    p.z += s;
                    break;
            }
        };
        follow(f);
        if (mode == kSightBoth) follow(a);
    }
    ClampToLimit(f);
    ClampToLimit(a);
    track->camera = camera_;
    CountDown(track->manipulation);
    return 1;
}

std::int16_t TrackManipulator::MovePoint(Vec3 Camera::*point, bool countTick) {
    Track* track = CurrentTrack();
    if (track == nullptr) return 0;
    TrackCommand& command = track->manipulation;
    Vec3& p = camera_.*point;
    AddLimited(p.x, command.moveX);
    AddLimited(p.y, command.moveY);
    AddLimited(p.z, command.moveZ);
    track->camera = camera_;
    if (countTick) CountDown(command);
    return 1;
}

std::int16_t TrackManipulator::MoveAtPoint(bool countTick) { return MovePoint(&Camera::atPoint, countTick); }

std::int16_t TrackManipulator::MoveFromPoint(bool countTick) { return MovePoint(&Camera::fromPoint, countTick); }

void IssueInterruptingCommand(Track& track, const TrackCommand& command) {
    if (track.manipulation.code != kCommandNone) track.nextManipulation = track.manipulation;
    track.manipulation = command;
}

void IssueReplacingCommand(Track& track, const TrackCommand& command) { track.manipulation = command; }

}  // namespace vyr
