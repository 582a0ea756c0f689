#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/settings.h"
#include "platform/posix/shared_library_dlopen.h"
#include "render/device_setup.h"
#include "support/riya_trace.h"
#include "support/temp_home.h"

namespace vyr {
namespace {

using test::RiyaCall;

// Hands out the real library a limited number of times, then finds nothing.
class RationedLoader final : public SharedLibraryLoader {
public:
    RationedLoader(SharedLibraryLoader& real, int loads) : real_(real), left_(loads) {}
    std::unique_ptr<SharedLibrary> Load(const std::string& name) override {
        if (left_ <= 0) return nullptr;
        --left_;
        return real_.Load(name);
    }

private:
    SharedLibraryLoader& real_;
    int left_;
};

class DeviceSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::RiyaSimEnvironment::Available()) GTEST_SKIP() << "simulated RIYA library not built";
        settings.OUTPUT_PPS = 20000;  // point period 1666
        settings.INVERT_BLANKING = 1;
        settings.COLOR_MODE = 6;
    }

    static std::vector<std::string> CallsSince(const test::RiyaSimEnvironment& env, std::size_t start) {
        std::vector<std::string> out;
        const std::vector<RiyaCall> calls = env.Trace();
        for (std::size_t i = start; i < calls.size(); ++i) out.push_back(calls[i].Text());
        return out;
    }

    test::TempHome home;
    test::RiyaSimEnvironment sim{home};
    std::unique_ptr<SharedLibraryLoader> loader = MakePlayerLibraryLoader();
    Settings settings;
};

TEST_F(DeviceSetupTest, SlotsFollowTheNumberOfDacsFromStartToShutdown) {
    const std::string noFirst = "OnInitialUpdate(): Unable to initialize first RIYA device.";
    struct Case {
        int dacs;
        int riyaCount;
        std::array<bool, 4> riya;  // slot kinds
        std::vector<std::string> log;
    };
    const std::vector<Case> cases = {
        {0, 0, {true, false, false, false},
         {"Device_RIYA::RiyaInit() - Device count = 0", "Device_RIYA::RiyaInit() - No RIYA devices found!", noFirst}},
        {1, 1, {true, false, false, false}, {"Device_RIYA::RiyaInit() - Device count = 1"}},
        {3, 3, {true, true, true, false}, {"Device_RIYA::RiyaInit() - Device count = 3"}},
        {7, 7, {true, true, true, true}, {"Device_RIYA::RiyaInit() - Device count = 7"}},
        {255, 0, {true, false, false, false},
         {"Device_RIYA::RiyaInit() - Device count = 255", "Device_RIYA::RiyaInit() - No RIYA Drivers found!",
          noFirst}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.dacs) + " DACs");
        test::TempHome caseHome;
        test::RiyaSimEnvironment caseSim(caseHome);
        caseSim.SetDevices(c.dacs);

        DeviceSlots devices;
        CreateOutputDevices(devices, *loader);
        SetupInitialTransforms(devices);
        ConfigureOutputDevices(devices, settings);

        EXPECT_EQ(devices.riyaCount, c.riyaCount);
        EXPECT_EQ(caseHome.LogLines(), c.log);
        ASSERT_NE(devices.screen, nullptr);
        EXPECT_EQ(devices.screen->maxCoord, 65535);
        EXPECT_EQ(devices.screen->lastX, 32768);
        EXPECT_EQ(devices.screen->basePort, 0x300);
        EXPECT_EQ(devices.screen->Window().xmin, -32767.0f);

        const bool working = c.riyaCount > 0;
        std::vector<std::string> expectedBlanks;
        for (int n = 0; n < 4; ++n) {
            SCOPED_TRACE("slot " + std::to_string(n));
            ASSERT_NE(devices.slots[n], nullptr);
            Device_RIYA* riya = AsRiya(devices.slots[n].get());
            ASSERT_EQ(riya != nullptr, c.riya[n]);
            if (riya == nullptr) {
                EXPECT_EQ(devices.slots[n]->deviceType, kDeviceScreen);
                continue;
            }
            EXPECT_EQ(riya->deviceNumber, n);
            EXPECT_EQ(riya->initialized, working ? 1 : 0);
            EXPECT_EQ(riya->pointPeriod, working ? 1666 : 2500);
            EXPECT_EQ(riya->DeviceViewport().xmin, 0);
            EXPECT_EQ(riya->DeviceViewport().ymax, 4095);
            if (working) {
                expectedBlanks.push_back("RiSetShowCadr " + std::to_string(n) + " 1 1666 30");
            }
        }

        // Each working DAC got its channel and one dark frame: centre, white for
        // colour mode 6, shutter on for inverted blanking.
        const std::vector<RiyaCall> trace = caseSim.Trace();
        std::vector<std::string> blanks;
        for (const RiyaCall& call : test::CallsOf(trace, "RiSetShowCadr")) {
            if (call.args[1] != 1) continue;
            blanks.push_back(call.Text());
            EXPECT_EQ(call.points, (std::vector<std::array<int, 6>>{{2048, 2048, 255, 255, 255, 255}}));
        }
        EXPECT_EQ(blanks, expectedBlanks);
        EXPECT_EQ(test::CallsOf(trace, "Ri_InitChanal").size(), static_cast<std::size_t>(working ? std::min(c.dacs, 4) : 0));
        EXPECT_EQ(test::CallsOf(trace, "RiOpenDevices").size(), 1u) << "only the first device opens";

        // Shutdown: a dark frame and the stop with argument 2 for every working
        // DAC, then each device stops its own show and closes.
        const std::size_t before = trace.size();
        ReleaseOutputDevices(devices, settings);
        std::vector<std::string> expected;
        for (int n = 0; n < 4; ++n) {
            if (!c.riya[n]) continue;
            const std::string d = std::to_string(n);
            if (working) {
                expected.insert(expected.end(), {"Ri_SetIntCh " + d + " 1", "RiSetShowCadr " + d + " 1 1666 30",
                                                 "RiStopShow 2"});
            }
            expected.insert(expected.end(), {"RiStopShow " + d, "RiCloseDevices"});
        }
        EXPECT_EQ(CallsSince(caseSim, before), expected);
        for (const auto& slot : devices.slots) EXPECT_EQ(slot, nullptr);
    }
}

TEST_F(DeviceSetupTest, AFurtherDacThatFailsStaysInItsSlot) {
    sim.SetDevices(3);
    RationedLoader onlyOnce(*loader, 1);
    DeviceSlots devices;
    CreateOutputDevices(devices, onlyOnce);
    ConfigureOutputDevices(devices, settings);

    const std::string cantLoad = "Device_RIYA::RiyaInit() - Can't load library libRiyaNetServer.so!";
    const std::string failed = "OnInitialUpdate(): Unable to initialize for RIYA card.";
    EXPECT_EQ(home.LogLines(), (std::vector<std::string>{"Device_RIYA::RiyaInit() - Device count = 3", cantLoad,
                                                         failed, cantLoad, failed}));
    for (int n = 1; n <= 2; ++n) {
        Device_RIYA* riya = AsRiya(devices.slots[n].get());
        ASSERT_NE(riya, nullptr);
        EXPECT_EQ(riya->initialized, 0);
        EXPECT_EQ(riya->pointPeriod, 1666);
    }
    EXPECT_EQ(AsRiya(devices.slots[0].get())->initialized, 1);
    ReleaseOutputDevices(devices, settings);
}

TEST_F(DeviceSetupTest, InitialTransformsConcernTheSelectedDeviceAndTheScreen) {
    DeviceSlots devices;
    CreateOutputDevices(devices, *loader);
    ASSERT_NE(devices.slots[0], nullptr);
    devices.slots[0]->SetDeviceViewport(1, 2, 3, 4);
    devices.slots[0]->SetViewport(0.0f, 2.0f, 0.0f, 2.0f);
    devices.screen->SetViewport(0.0f, 3.0f, 0.0f, 3.0f);
    devices.screen->SetWindow(0.0f, 1.0f, 0.0f, 1.0f);
    SetupInitialTransforms(devices);

    const OutputDevice& selected = *devices.slots[0];
    EXPECT_EQ(selected.DeviceViewport().xmin, 0);
    EXPECT_EQ(selected.DeviceViewport().xmax, 4095);
    EXPECT_EQ(selected.DeviceViewport().ymin, 0);
    EXPECT_EQ(selected.DeviceViewport().ymax, 4095);
    EXPECT_EQ(selected.Viewport().xmax, 1.0f);
    EXPECT_EQ(devices.screen->Viewport().xmax, 1.0f);
    EXPECT_EQ(devices.screen->Window().xmin, -32767.0f);
    EXPECT_EQ(devices.screen->Window().ymax, 32766.0f);
    ReleaseOutputDevices(devices, settings);
}

}  // namespace
}  // namespace vyr
