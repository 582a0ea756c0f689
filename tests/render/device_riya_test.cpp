#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/null/shared_library_null.h"
#include "platform/posix/shared_library_dlopen.h"
#include "render/device_riya.h"
#include "support/riya_trace.h"
#include "support/temp_home.h"

namespace vyr {
namespace {

using test::CallsOf;
using test::RiyaCall;

constexpr std::array<int, 6> kDarkCentre{2048, 2048, 0, 0, 0, 0};

int CountLines(const std::vector<std::string>& lines, const std::string& text) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), text));
}

// Every test goes through the real dlopen path to the simulated library.
class RiyaTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::RiyaSimEnvironment::Available()) GTEST_SKIP() << "simulated RIYA library not built";
    }

    // An initialized device 0 (or `number`) with its trace so far discarded.
    std::unique_ptr<Device_RIYA> InitializedDevice(std::uint16_t number = 0) {
        auto device = std::make_unique<Device_RIYA>(number, *loader);
        EXPECT_EQ(device->RiyaInit(false), 1);
        device->SetDeviceViewport(0, 4095, 0, 4095);
        traceStart = sim.Trace().size();
        return device;
    }
    // Calls after InitializedDevice.
    std::vector<RiyaCall> NewCalls() const {
        const std::vector<RiyaCall> all = sim.Trace();
        return std::vector<RiyaCall>(all.begin() + static_cast<long>(std::min(traceStart, all.size())), all.end());
    }

    test::TempHome home;
    test::RiyaSimEnvironment sim{home};
    std::unique_ptr<SharedLibraryLoader> loader = MakePlayerLibraryLoader();
    std::size_t traceStart = 0;
};

TEST_F(RiyaTest, ConstructionValues) {
    Device_RIYA device(3, *loader);
    EXPECT_EQ(device.minCoord, 0);
    EXPECT_EQ(device.maxCoord, 4095);
    EXPECT_EQ(device.lastX, 2048);
    EXPECT_EQ(device.lastY, 2048);
    EXPECT_EQ(device.deviceType, kDeviceRiya);
    EXPECT_EQ(device.basePort, 0);
    EXPECT_EQ(device.deviceNumber, 3);
    EXPECT_EQ(device.pointPeriod, 2500);
    EXPECT_EQ(device.pointCount, 0);
    EXPECT_EQ(device.initialized, 0);
    EXPECT_EQ(device.DeviceViewport().xmax, 4095);
}

TEST_F(RiyaTest, InitOpensTheDevicesAndStartsTwoDarkFramesThenDestructionStopsAndCloses) {
    {
        Device_RIYA device(0, *loader);
        ASSERT_EQ(device.RiyaInit(false), 1);
        EXPECT_EQ(device.initialized, 1);
        EXPECT_EQ(device.deviceCount, 1);
        const std::vector<RiyaCall> calls = sim.Trace();
        ASSERT_EQ(calls.size(), 4u);
        EXPECT_EQ(calls[0].Text(), "RiOpenDevices 1");
        EXPECT_EQ(calls[1].Text(), "Ri_InitChanal 0 16");
        for (int i : {2, 3}) {
            EXPECT_EQ(calls[i].Text(), "RiSetShowCadr 0 4096 2500 30");
            ASSERT_EQ(calls[i].points.size(), 4096u);
            EXPECT_TRUE(std::all_of(calls[i].points.begin(), calls[i].points.end(),
                                    [](const std::array<int, 6>& p) { return p == kDarkCentre; }));
        }
    }
    const std::vector<RiyaCall> calls = sim.Trace();
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[4].Text(), "RiStopShow 0");
    EXPECT_EQ(calls[5].Text(), "RiCloseDevices");
    EXPECT_EQ(home.LogLines(), std::vector<std::string>{"Device_RIYA::RiyaInit() - Device count = 1"});
}

TEST_F(RiyaTest, InitWithSkipOpenUsesTheDevicesTheFirstOneOpened) {
    sim.SetDevices(3);
    auto first = InitializedDevice(0);
    Device_RIYA third(2, *loader);
    ASSERT_EQ(third.RiyaInit(true), 1);
    EXPECT_EQ(third.deviceCount, 0) << "the count belongs to the device that opened";
    const std::vector<RiyaCall> calls = NewCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].Text(), "Ri_InitChanal 2 16");
    EXPECT_EQ(calls[1].Text(), "RiSetShowCadr 2 4096 2500 30");
    EXPECT_EQ(calls[2].Text(), "RiSetShowCadr 2 4096 2500 30");
}

TEST_F(RiyaTest, DeviceCountsThatMeanNoDacFailTheInit) {
    struct Case {
        int count;
        std::vector<std::string> log;
    };
    const std::vector<Case> cases = {
        {0, {"Device_RIYA::RiyaInit() - Device count = 0", "Device_RIYA::RiyaInit() - No RIYA devices found!"}},
        {255, {"Device_RIYA::RiyaInit() - Device count = 255", "Device_RIYA::RiyaInit() - No RIYA Drivers found!"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        test::TempHome caseHome;
        test::RiyaSimEnvironment caseSim(caseHome);
        caseSim.SetDevices(c.count);
        {
            Device_RIYA device(0, *loader);
            EXPECT_EQ(device.RiyaInit(false), 0);
            EXPECT_EQ(device.initialized, 0);
            EXPECT_EQ(device.deviceCount, c.count);
            device.AddPoint(0.5f, 0.5f, ColourBytes{255, 255, 255, 255}, 0);
            device.Flush();
            EXPECT_EQ(device.pointCount, 0);
        }
        EXPECT_EQ(caseHome.LogLines(), c.log);
        std::vector<std::string> calls;
        for (const RiyaCall& call : caseSim.Trace()) calls.push_back(call.Text());
        // The library was opened, so it is closed again; nothing was shown.
        EXPECT_EQ(calls, (std::vector<std::string>{"RiOpenDevices " + std::to_string(c.count), "RiStopShow 0",
                                                    "RiCloseDevices"}));
    }
}

TEST_F(RiyaTest, MissingLibraryOrRoutineIsLoggedAndLeavesTheDeviceInert) {
    struct Case {
        std::string library;  // "" for a loader that finds nothing
        std::string message;
    };
    const std::vector<Case> cases = {
        {"/nonexistent/libRiyaNetServer.so", "Device_RIYA::RiyaInit() - Can't load library libRiyaNetServer.so!"},
        {"", "Device_RIYA::RiyaInit() - Can't load library libRiyaNetServer.so!"},
        {"libm.so.6", "Device_RIYA::RiyaInit() - Can't load library routine RiOpenDevice!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.library);
        test::TempHome caseHome;
        test::RiyaSimEnvironment caseSim(caseHome);
        NullLibraryLoader nothing;
        if (!c.library.empty()) setenv("VYR_RIYA_LIBRARY", c.library.c_str(), 1);
        {
            Device_RIYA device(0, c.library.empty() ? static_cast<SharedLibraryLoader&>(nothing) : *loader);
            EXPECT_EQ(device.RiyaInit(false), 0);
            EXPECT_EQ(device.initialized, 0);
            EXPECT_EQ(device.RiStopShow, nullptr);
            device.BlankOutput(1, 6);
        }  // destruction must not call into a library that is not there
        EXPECT_EQ(caseHome.LogLines(), std::vector<std::string>{c.message});
        EXPECT_TRUE(caseSim.Trace().empty());
    }
}

TEST_F(RiyaTest, AddPointWritesDeviceCoordinatesColourAndShutter) {
    auto device = InitializedDevice();
    device->AddPoint(0.25f, 0.75f, ColourBytes{10, 20, 30, 0xFF}, 0);
    EXPECT_EQ(device->lastX, 1023);
    EXPECT_EQ(device->lastY, 3071);
    device->AddPoint(0.5f, 0.5f, ColourBytes{1, 2, 3, 0}, 1);     // dark, inverted: shutter on
    device->AddPoint(1.0f, 0.0f, ColourBytes{4, 5, 6, 0xFF}, 1);  // lit, inverted: shutter off
    device->SetDeviceViewport(4095, 0, 0, 4095);                  // mirrored x
    device->AddPoint(0.25f, 0.0f, ColourBytes{7, 8, 9, 0xFF}, 0);
    ASSERT_EQ(device->pointCount, 4);

    // The record on the wire: x and y little-endian, then r, g, b, shutter.
    std::array<unsigned char, 8> bytes{};
    std::memcpy(bytes.data(), device->CurrentBuffer(), 8);
    EXPECT_EQ(bytes, (std::array<unsigned char, 8>{0xFF, 0x03, 0xFF, 0x0B, 10, 20, 30, 0xFF}));

    device->Flush();
    EXPECT_EQ(device->pointCount, 0);
    const std::vector<RiyaCall> calls = NewCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].Text(), "Ri_SetIntCh 0 1");
    EXPECT_EQ(calls[1].Text(), "RiSetShowCadr 0 4 2500 30");
    EXPECT_EQ(calls[1].points, (std::vector<std::array<int, 6>>{{1023, 3071, 10, 20, 30, 0xFF},
                                                                {2047, 2047, 1, 2, 3, 0xFF},
                                                                {4095, 0, 4, 5, 6, 0},
                                                                {3071, 0, 7, 8, 9, 0xFF}}));

    device->Flush();  // nothing collected: nothing sent
    EXPECT_EQ(NewCalls().size(), 2u);
}

TEST_F(RiyaTest, PointsBeyondTheDacRangeStayAtTheEdge) {
    auto device = InitializedDevice();
    device->SetDeviceViewport(-1000, 6000, 0, 4095);  // a scale beyond 100 %
    device->AddPoint(0.0f, 1.0f, ColourBytes{1, 1, 1, 0xFF}, 0);
    device->AddPoint(1.0f, 0.0f, ColourBytes{1, 1, 1, 0xFF}, 0);
    EXPECT_EQ(device->lastX, 6000) << "the position itself is kept";
    device->Flush();
    const std::vector<RiyaCall> shows = CallsOf(NewCalls(), "RiSetShowCadr");
    ASSERT_EQ(shows.size(), 1u);
    EXPECT_EQ(shows[0].points, (std::vector<std::array<int, 6>>{{0, 4095, 1, 1, 1, 0xFF}, {4095, 0, 1, 1, 1, 0xFF}}));
}

TEST_F(RiyaTest, AFrameHoldsExactly4096Points) {
    auto device = InitializedDevice();
    // Each point carries its number in red (low byte) and green (high byte).
    for (int i = 0; i < 4097; ++i) {
        const ColourBytes colour{static_cast<std::uint8_t>(i & 0xFF), static_cast<std::uint8_t>(i >> 8), 0, 0xFF};
        device->AddPoint(0.5f, 0.5f, colour, 0);
    }
    device->BlankAtCurrent(0, 0);
    EXPECT_EQ(device->pointCount, 4096);
    device->Flush();
    const std::vector<RiyaCall> shows = CallsOf(NewCalls(), "RiSetShowCadr");
    ASSERT_EQ(shows.size(), 1u);
    ASSERT_EQ(shows[0].args[1], 4096);
    ASSERT_EQ(shows[0].points.size(), 4096u);
    EXPECT_EQ(shows[0].points.back(), (std::array<int, 6>{2047, 2047, 4095 & 0xFF, 4095 >> 8, 0, 0xFF}))
        << "the 4096th point is the last one kept";
}

TEST_F(RiyaTest, BlankOutputSendsOneDarkCentrePoint) {
    struct Case {
        std::uint16_t invert, colorMode;
        std::array<int, 6> point;
    };
    const std::vector<Case> cases = {
        {0, 0, {2048, 2048, 0, 0, 0, 0}},
        {1, 0, {2048, 2048, 0, 0, 0, 0xFF}},
        {0, 6, {2048, 2048, 255, 255, 255, 0}},
        {1, 6, {2048, 2048, 255, 255, 255, 0xFF}},
    };
    auto device = InitializedDevice();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.invert) + " " + std::to_string(c.colorMode));
        device->AddPoint(0.1f, 0.1f, ColourBytes{9, 9, 9, 0xFF}, 0);  // discarded by the blank
        traceStart = sim.Trace().size();
        device->BlankOutput(c.invert, c.colorMode);
        EXPECT_EQ(device->pointCount, 0);
        const std::vector<RiyaCall> shows = CallsOf(NewCalls(), "RiSetShowCadr");
        ASSERT_EQ(shows.size(), 1u);
        EXPECT_EQ(shows[0].Text(), "RiSetShowCadr 0 1 2500 30");
        EXPECT_EQ(shows[0].points, (std::vector<std::array<int, 6>>{c.point}));
    }
}

TEST_F(RiyaTest, BlankAtCurrentParksTheBeamAtTheLastPosition) {
    auto device = InitializedDevice();
    device->AddPoint(0.25f, 0.75f, ColourBytes{10, 20, 30, 0xFF}, 0);
    device->BlankAtCurrent(0, 0);
    device->BlankAtCurrent(1, 6);
    device->Flush();
    const std::vector<RiyaCall> shows = CallsOf(NewCalls(), "RiSetShowCadr");
    ASSERT_EQ(shows.size(), 1u);
    EXPECT_EQ(shows[0].points, (std::vector<std::array<int, 6>>{{1023, 3071, 10, 20, 30, 0xFF},
                                                                {1023, 3071, 0, 0, 0, 0},
                                                                {1023, 3071, 255, 255, 255, 0xFF}}));
}

TEST_F(RiyaTest, UninitializedDeviceDropsPointsButFollowsThePosition) {
    NullLibraryLoader nothing;
    Device_RIYA device(0, nothing);
    device.AddPoint(0.25f, 0.75f, ColourBytes{1, 2, 3, 0xFF}, 0);
    device.BlankAtCurrent(0, 0);
    EXPECT_EQ(device.pointCount, 0);
    EXPECT_EQ(device.lastX, 1023);
    EXPECT_EQ(device.lastY, 3071);
    device.Flush();
    EXPECT_EQ(device.pointCount, 0);
}

TEST_F(RiyaTest, PointPeriodFromTheOutputRate) {
    struct Case {
        std::int32_t pps, period;
    };
    // A rate of 0 or less has no period: the one before stays.
    const std::vector<Case> cases = {{12000, 2777}, {30000, 1111}, {1000, 33333}, {0, 33333}, {-20000, 33333},
                                     {50000, 666}, {1, 33333333}};
    NullLibraryLoader nothing;
    Device_RIYA device(0, nothing);
    for (const Case& c : cases) {
        device.SetPointPeriodFromPps(c.pps);
        EXPECT_EQ(device.pointPeriod, c.period) << c.pps;
    }

    auto live = InitializedDevice();
    live->SetPointPeriodFromPps(12000);
    live->AddPoint(0.5f, 0.5f, ColourBytes{1, 1, 1, 0xFF}, 0);
    live->Flush();
    const std::vector<RiyaCall> shows = CallsOf(NewCalls(), "RiSetShowCadr");
    ASSERT_EQ(shows.size(), 1u);
    EXPECT_EQ(shows[0].Text(), "RiSetShowCadr 0 1 2777 30");
}

TEST_F(RiyaTest, FlushWaitsForASlowDac) {
    sim.SetNotReady("3");
    auto device = InitializedDevice();
    device->AddPoint(0.5f, 0.5f, ColourBytes{1, 1, 1, 0xFF}, 0);
    device->Flush();
    std::vector<std::string> calls;
    for (const RiyaCall& call : NewCalls()) calls.push_back(call.Text());
    EXPECT_EQ(calls, (std::vector<std::string>{"Ri_SetIntCh 0 0", "Ri_SetIntCh 0 0", "Ri_SetIntCh 0 0",
                                                "Ri_SetIntCh 0 1", "RiSetShowCadr 0 1 2500 30"}));
    EXPECT_FALSE(device->WaitingForDac());
}

TEST_F(RiyaTest, ADacThatIsNeverReadyCostsFramesNotTheShow) {
    sim.SetNotReady("never");
    auto device = InitializedDevice();
    const std::string notReady = "Device_RIYA::Flush() - Device 0 not ready, dropping frames!";
    for (int frame = 0; frame < 3; ++frame) {
        device->AddPoint(0.1f * static_cast<float>(frame), 0.5f, ColourBytes{1, 1, 1, 0xFF}, 0);
        device->Flush();
        EXPECT_EQ(device->pointCount, 0) << "the frame is dropped";
    }
    EXPECT_TRUE(device->WaitingForDac());
    EXPECT_TRUE(CallsOf(NewCalls(), "RiSetShowCadr").empty());
    EXPECT_FALSE(CallsOf(NewCalls(), "Ri_SetIntCh").empty());
    EXPECT_EQ(CountLines(home.LogLines(), notReady), 1) << "one line for the whole stretch";

    // The DAC comes back: the next frame goes out, with only its own points.
    sim.SetNotReady("0");
    device->RiOpenDevices();  // makes the simulation read its environment again
    traceStart = sim.Trace().size();
    device->AddPoint(0.5f, 0.25f, ColourBytes{7, 7, 7, 0xFF}, 0);
    device->Flush();
    const std::vector<RiyaCall> shows = CallsOf(NewCalls(), "RiSetShowCadr");
    ASSERT_EQ(shows.size(), 1u);
    EXPECT_EQ(shows[0].points, (std::vector<std::array<int, 6>>{{2047, 1023, 7, 7, 7, 0xFF}}));
    EXPECT_FALSE(device->WaitingForDac());

    // A new stretch of unreadiness is reported again.
    sim.SetNotReady("never");
    device->RiOpenDevices();
    device->AddPoint(0.5f, 0.5f, ColourBytes{1, 1, 1, 0xFF}, 0);
    device->Flush();
    EXPECT_EQ(CountLines(home.LogLines(), notReady), 2);
}

}  // namespace
}  // namespace vyr
