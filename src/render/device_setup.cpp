#include "render/device_setup.h"

#include <algorithm>
#include <new>
#include <string>

#include "app/log.h"

namespace vyr {

namespace {

constexpr float kWindowMin = -32767.0f;
constexpr float kWindowMax = 32766.0f;

void SetupFullRange(OutputDevice& device) {
    device.SetDeviceViewport(device.minCoord, device.maxCoord, device.minCoord, device.maxCoord);
    device.SetWindow(kWindowMin, kWindowMax, kWindowMin, kWindowMax);
    device.SetViewport(0.0f, 1.0f, 0.0f, 1.0f);
}

}  // namespace

Device_RIYA* AsRiya(OutputDevice* device) { return dynamic_cast<Device_RIYA*>(device); }

void CreateOutputDevices(DeviceSlots& devices, SharedLibraryLoader& loader) {
    devices.riyaCount = 0;
    // Devices are made without throwing so that a failed allocation is
    // reported and leaves its slot empty.
    auto* first = new (std::nothrow) Device_RIYA(0, loader);
    devices.slots[0].reset(first);
    if (first != nullptr) {
        if (first->RiyaInit(false) == 1) {
            devices.riyaCount = first->deviceCount;
        } else {
            LogMessage("OnInitialUpdate(): Unable to initialize first RIYA device.");
        }
    }
    for (int n = 1; n < DeviceSlots::kSlotCount; ++n) {
        if (devices.riyaCount > n) {
            devices.slots[n].reset(new (std::nothrow) Device_RIYA(static_cast<std::uint16_t>(n), loader));
        } else {
            devices.slots[n].reset(new (std::nothrow) Device_Screen());
        }
    }
    for (int n = 0; n < DeviceSlots::kSlotCount; ++n) {
        if (devices.slots[n] == nullptr) {
            LogMessage("OnInitialUpdate(): Unable to instantiate output device " + std::to_string(n) + " object.");
        }
    }
    devices.screen.reset(new (std::nothrow) Device_Screen());
    if (devices.screen == nullptr) LogMessage("OnInitialUpdate(): Unable to instantiate screen object.");
}

void SetupInitialTransforms(DeviceSlots& devices) {
    if (OutputDevice* selected = devices.slots[0].get()) SetupFullRange(*selected);
    if (devices.screen != nullptr) {
        devices.screen->SetWindow(kWindowMin, kWindowMax, kWindowMin, kWindowMax);
        devices.screen->SetViewport(0.0f, 1.0f, 0.0f, 1.0f);
    }
}

void ConfigureOutputDevices(DeviceSlots& devices, const Settings& settings) {
    // As many slots as DACs were found (one when none was), but never more
    // slots than there are: the library may report more DACs than that.
    const int configured = std::min(std::max(devices.riyaCount, 1), DeviceSlots::kSlotCount);
    int riyaSetUp = 0;
    for (int n = 0; n < configured; ++n) {
        OutputDevice* device = devices.slots[n].get();
        if (device == nullptr) continue;
        SetupFullRange(*device);
        if (Device_RIYA* riya = AsRiya(device); riya != nullptr && riyaSetUp < devices.riyaCount) {
            riya->SetPointPeriodFromPps(settings.OUTPUT_PPS);
            // The first device opened the library and the DACs already.
            if (riyaSetUp > 0 && riya->RiyaInit(true) != 1) {
                LogMessage("OnInitialUpdate(): Unable to initialize for RIYA card.");
            }
            ++riyaSetUp;
        }
        device->BlankOutput(settings.INVERT_BLANKING, settings.COLOR_MODE);
    }
}

void ReleaseOutputDevices(DeviceSlots& devices, const Settings& settings) {
    for (std::unique_ptr<OutputDevice>& slot : devices.slots) {
        if (slot == nullptr) continue;
        slot->BlankOutput(settings.INVERT_BLANKING, settings.COLOR_MODE);
        if (Device_RIYA* riya = AsRiya(slot.get()); riya != nullptr && riya->initialized == 1) {
            riya->RiStopShow(2);
        }
        slot.reset();
    }
}

}  // namespace vyr
