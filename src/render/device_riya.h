#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/shared_library.h"
#include "render/output_device.h"

namespace vyr {

// One point as the RIYA library takes it: 8 bytes, x and y little-endian.
struct DacPoint {
    std::uint16_t x;
    std::uint16_t y;
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    std::uint8_t shutter;  // 0xFF beam on, 0 beam off (both inverted with INVERT_BLANKING)
};
static_assert(sizeof(DacPoint) == 8, "the DAC record is 8 bytes");
static_assert(offsetof(DacPoint, red) == 4 && offsetof(DacPoint, shutter) == 7, "DAC record layout");

// The entry points of the RIYA vendor library.
extern "C" {
using RiOpenDevicesFn = unsigned char (*)();
using RiCloseDevicesFn = void (*)();
using Ri_InitChanalFn = void (*)(unsigned char deviceNumber, int channel);
using Ri_SetIntChFn = unsigned char (*)(unsigned char deviceNumber);
using RiSetShowCadrFn = void (*)(unsigned char deviceNumber, const DacPoint* points, int count, int period,
                                 int constant);
using RiStopShowFn = void (*)(unsigned char deviceNumber);
}

inline constexpr const char* kRiyaLibraryName = "libRiyaNetServer.so";

// A laser output slot driven by a RIYA DAC through the vendor library, loaded
// at run time. Points are collected in one of two frame buffers and handed to
// the DAC a frame at a time.
class Device_RIYA final : public OutputDevice {
public:
    static constexpr std::uint16_t kMaxPoints = 4096;
    static constexpr std::int32_t kInitialPointPeriod = 2500;
    // How long Flush waits for the DAC to take the next frame before dropping it.
    static constexpr std::chrono::milliseconds kReadyTimeout{50};

    // The loader is kept to load the library in RiyaInit.
    Device_RIYA(std::uint16_t deviceNumber, SharedLibraryLoader& loader);
    // Stops the show and closes the devices when the library was loaded.
    ~Device_RIYA() override;

    // Loads the library and its routines, opens the devices unless skipOpen,
    // and starts the DAC on two dark frames. 1 on success, 0 on failure.
    std::int16_t RiyaInit(bool skipOpen);

    void AddPoint(float x, float y, const ColourBytes& colour, std::uint16_t invertBlanking) override;
    void AddPoints(float x, float y, const ColourBytes& colour, std::uint16_t invertBlanking, int count) override;
    void BlankOutput(std::uint16_t invertBlanking, std::uint16_t colorMode) override;
    void BlankAtCurrent(std::uint16_t invertBlanking, std::uint16_t colorMode) override;
    void Flush() override;

    // pointPeriod in units of 30 ns from a rate in points per second; a rate
    // of 0 or less leaves the period as it was.
    void SetPointPeriodFromPps(std::int32_t outputPps);

    // The frame being filled (pointCount points are valid).
    const DacPoint* CurrentBuffer() const { return currentBuffer_; }
    // True after a frame was dropped because the DAC was not ready, until a
    // frame goes out again.
    bool WaitingForDac() const { return notReadyLogged_; }

    std::uint16_t deviceNumber;
    RiOpenDevicesFn RiOpenDevices = nullptr;
    RiCloseDevicesFn RiCloseDevices = nullptr;
    Ri_InitChanalFn Ri_InitChanal = nullptr;
    Ri_SetIntChFn Ri_SetIntCh = nullptr;
    RiSetShowCadrFn RiSetShowCadr = nullptr;
    RiStopShowFn RiStopShow = nullptr;
    std::uint8_t deviceCount = 0;
    std::uint16_t pointCount = 0;
    std::int16_t initialized = 0;
    std::int32_t pointPeriod = kInitialPointPeriod;

private:
    using Buffer = std::array<DacPoint, kMaxPoints>;

    void Append(std::int32_t x, std::int32_t y, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                std::uint8_t shutter);
    void FillBoth(const DacPoint& point);
    // A device coordinate as the DAC record holds it.
    std::uint16_t Wire(std::int32_t v) const;
    unsigned char Device() const { return static_cast<unsigned char>(deviceNumber); }
    bool WaitUntilReady();

    SharedLibraryLoader& loader_;
    std::unique_ptr<SharedLibrary> library_;
    std::array<Buffer, 2> buffers_{};
    DacPoint* currentBuffer_ = nullptr;
    bool notReadyLogged_ = false;
};

}  // namespace vyr
