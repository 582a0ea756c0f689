#include "render/device_riya.h"

#include <algorithm>
#include <bit>
#include <string>
#include <thread>

#include "app/log.h"

namespace vyr {

namespace {

constexpr std::int32_t kCentre = 2048;
// The channel value and the trailing constant the library expects with every call.
constexpr int kChannel = 16;
constexpr int kShowConstant = 30;
constexpr std::uint8_t kColorModeRgInvertTtl = 6;
constexpr std::chrono::microseconds kPollPause{50};

// The record's x and y are little-endian whatever the host is.
std::uint16_t LittleEndian16(std::uint16_t v) {
    if constexpr (std::endian::native == std::endian::big) {
        return static_cast<std::uint16_t>((v >> 8) | (v << 8));
    } else {
        return v;
    }
}

std::uint8_t DarkLevel(std::uint16_t colorMode) { return colorMode == kColorModeRgInvertTtl ? 0xFF : 0; }
std::uint8_t DarkShutter(std::uint16_t invertBlanking) { return invertBlanking == 1 ? 0xFF : 0; }

}  // namespace

Device_RIYA::Device_RIYA(std::uint16_t number, SharedLibraryLoader& loader)
    : OutputDevice(0, 4095, kDeviceRiya, 0), deviceNumber(number), loader_(loader) {
    currentBuffer_ = buffers_[0].data();
}

Device_RIYA::~Device_RIYA() {
    // Set only when every routine was found, so the library is still loaded.
    if (RiStopShow != nullptr && RiCloseDevices != nullptr) {
        RiStopShow(Device());
        RiCloseDevices();
    }
}

std::int16_t Device_RIYA::RiyaInit(bool skipOpen) {
    if (library_ == nullptr) library_ = loader_.Load(kRiyaLibraryName);
    if (library_ == nullptr) {
        LogMessage(std::string("Device_RIYA::RiyaInit() - Can't load library ") + kRiyaLibraryName + "!");
        return 0;
    }

    auto missing = [this](const char* reportedName) -> std::int16_t {
        LogMessage(std::string("Device_RIYA::RiyaInit() - Can't load library routine ") + reportedName + "!");
        RiOpenDevices = nullptr;
        RiCloseDevices = nullptr;
        Ri_InitChanal = nullptr;
        Ri_SetIntCh = nullptr;
        RiSetShowCadr = nullptr;
        RiStopShow = nullptr;
        library_.reset();
        return 0;
    };
    SharedLibrary& lib = *library_;
    if ((RiOpenDevices = SymbolAs<RiOpenDevicesFn>(lib, "RiOpenDevices")) == nullptr) return missing("RiOpenDevice");
    if ((RiCloseDevices = SymbolAs<RiCloseDevicesFn>(lib, "RiCloseDevices")) == nullptr) {
        return missing("RiCloseDevices");
    }
    if ((Ri_InitChanal = SymbolAs<Ri_InitChanalFn>(lib, "Ri_InitChanal")) == nullptr) return missing("Ri_InitChanal");
    if ((Ri_SetIntCh = SymbolAs<Ri_SetIntChFn>(lib, "Ri_SetIntCh")) == nullptr) return missing("Ri_SetIntCh");
    if ((RiStopShow = SymbolAs<RiStopShowFn>(lib, "RiStopShow")) == nullptr) return missing("RiStopShow");
    if ((RiSetShowCadr = SymbolAs<RiSetShowCadrFn>(lib, "RiSetShowCadr")) == nullptr) return missing("RiSetShowCadr");

    if (!skipOpen) {
        deviceCount = RiOpenDevices();
        LogMessage("Device_RIYA::RiyaInit() - Device count = " + std::to_string(deviceCount));
        if (deviceCount == 0) {
            LogMessage("Device_RIYA::RiyaInit() - No RIYA devices found!");
            return 0;
        }
        if (deviceCount == 255) {
            LogMessage("Device_RIYA::RiyaInit() - No RIYA Drivers found!");
            return 0;
        }
    }

    Ri_InitChanal(Device(), kChannel);
    FillBoth(DacPoint{LittleEndian16(kCentre), LittleEndian16(kCentre), 0, 0, 0, 0});
    RiSetShowCadr(Device(), buffers_[0].data(), kMaxPoints, pointPeriod, kShowConstant);
    RiSetShowCadr(Device(), buffers_[1].data(), kMaxPoints, pointPeriod, kShowConstant);
    // The buffers were just overwritten; nothing collected before counts.
    pointCount = 0;
    initialized = 1;
    return 1;
}

std::uint16_t Device_RIYA::Wire(std::int32_t v) const {
    // A scale beyond 100 % can put a point past the DAC's range; it stays at the
    // edge instead of wrapping around to the other side.
    return LittleEndian16(static_cast<std::uint16_t>(std::clamp(v, minCoord, maxCoord)));
}

void Device_RIYA::Append(std::int32_t x, std::int32_t y, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                         std::uint8_t shutter) {
    if (initialized == 0 || pointCount >= kMaxPoints) return;
    currentBuffer_[pointCount] = DacPoint{Wire(x), Wire(y), red, green, blue, shutter};
    ++pointCount;
}

void Device_RIYA::AddPoint(float x, float y, const ColourBytes& colour, std::uint16_t invertBlanking) {
    AddPoints(x, y, colour, invertBlanking, 1);
}

void Device_RIYA::AddPoints(float x, float y, const ColourBytes& colour, std::uint16_t invertBlanking, int count) {
    if (count <= 0) return;
    const std::uint8_t shutter = invertBlanking == 1 ? static_cast<std::uint8_t>(~colour[3]) : colour[3];
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    ToDevice(x, y, dx, dy);
    lastX = dx;
    lastY = dy;
    if (initialized == 0 || pointCount >= kMaxPoints) return;
    const int room = kMaxPoints - pointCount;
    const int n = count < room ? count : room;
    const DacPoint point{Wire(dx), Wire(dy), colour[0], colour[1], colour[2], shutter};
    std::fill_n(currentBuffer_ + pointCount, n, point);
    pointCount = static_cast<std::uint16_t>(pointCount + n);
}

void Device_RIYA::BlankAtCurrent(std::uint16_t invertBlanking, std::uint16_t colorMode) {
    const std::uint8_t c = DarkLevel(colorMode);
    Append(lastX, lastY, c, c, c, DarkShutter(invertBlanking));
}

void Device_RIYA::FillBoth(const DacPoint& point) {
    for (Buffer& buffer : buffers_) buffer.fill(point);
}

void Device_RIYA::BlankOutput(std::uint16_t invertBlanking, std::uint16_t colorMode) {
    const std::uint8_t c = DarkLevel(colorMode);
    FillBoth(DacPoint{LittleEndian16(kCentre), LittleEndian16(kCentre), c, c, c, DarkShutter(invertBlanking)});
    pointCount = 1;
    Flush();
}

bool Device_RIYA::WaitUntilReady() {
    if (Ri_SetIntCh(Device()) != 0) return true;
    const auto deadline = std::chrono::steady_clock::now() + kReadyTimeout;
    while (true) {
        std::this_thread::sleep_for(kPollPause);
        if (Ri_SetIntCh(Device()) != 0) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
    }
}

void Device_RIYA::Flush() {
    if (initialized == 0 || pointCount == 0) return;
    if (!WaitUntilReady()) {
        // The display tick must go on: this frame is lost, the next one tries
        // again. One line per stretch of unreadiness, not one per frame.
        if (!notReadyLogged_) {
            LogMessage("Device_RIYA::Flush() - Device " + std::to_string(deviceNumber) +
                       " not ready, dropping frames!");
            notReadyLogged_ = true;
        }
        pointCount = 0;
        return;
    }
    notReadyLogged_ = false;
    RiSetShowCadr(Device(), currentBuffer_, pointCount, pointPeriod, kShowConstant);
    currentBuffer_ = currentBuffer_ == buffers_[0].data() ? buffers_[1].data() : buffers_[0].data();
    pointCount = 0;
}

void Device_RIYA::SetPointPeriodFromPps(std::int32_t outputPps) {
    // A rate of 0 or less has no period; the DAC keeps the last good one.
    if (outputPps <= 0) return;
    pointPeriod = static_cast<std::int32_t>((1.0 / outputPps) / 3e-08);
}

}  // namespace vyr
