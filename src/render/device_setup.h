#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "app/settings.h"
#include "platform/shared_library.h"
#include "render/device_riya.h"
#include "render/output_device.h"

namespace vyr {

// The view's output devices: four laser slots (slot 0 is the selected output
// device) and the screen object that carries the preview's transform state.
struct DeviceSlots {
    static constexpr int kSlotCount = 4;
    std::array<std::unique_ptr<OutputDevice>, kSlotCount> slots;
    std::unique_ptr<Device_Screen> screen;
    // RIYA DACs reported by the library; 0 when the first device failed.
    std::int32_t riyaCount = 0;
};

// Start-up, before the configuration is read: slot 0 always gets a RIYA
// device that opens the library and the DACs; slots 1..3 get a RIYA device
// when that many DACs exist, else a screen device; then the screen object.
void CreateOutputDevices(DeviceSlots& devices, SharedLibraryLoader& loader);

// Start-up: the first transform set-up of the selected device and the screen object.
void SetupInitialTransforms(DeviceSlots& devices);

// Start-up, after the configuration and the command line: the transforms,
// point periods and remaining RIYA initialisations of the first slots (as many
// as there are DACs, at least one), and a dark frame on each.
void ConfigureOutputDevices(DeviceSlots& devices, const Settings& settings);

// Shutdown: blanks, stops and deletes the device of every slot.
void ReleaseOutputDevices(DeviceSlots& devices, const Settings& settings);

// The RIYA device in a slot, or nullptr for any other kind.
Device_RIYA* AsRiya(OutputDevice* device);

}  // namespace vyr
