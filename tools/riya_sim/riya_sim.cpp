// A stand-in for the RIYA DAC vendor library: the same six routines, with no
// hardware behind them. It lets the player run without a DAC and lets tests
// see exactly what the player sent.
//
// Environment, read again by every RiOpenDevices (and once, lazily, by the
// first call of any other routine):
//   RIYA_SIM_DEVICES    device count RiOpenDevices reports (0..255, default 1)
//   RIYA_SIM_NOT_READY  polls of Ri_SetIntCh answered "not ready" before each
//                       "ready" (default 0); "never" for a DAC that never is
//   RIYA_SIM_OUT        file to which a text trace of every call is appended
//
// Trace lines: "RiOpenDevices <count>", "RiCloseDevices",
// "Ri_InitChanal <device> <channel>", "Ri_SetIntCh <device> <result>",
// "RiStopShow <device>", and "RiSetShowCadr <device> <count> <period>
// <constant>" followed by <count> lines "<x> <y> <red> <green> <blue> <shutter>".

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#define RIYA_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int kDevices = 256;

struct SimState {
    bool configured = false;
    unsigned char deviceCount = 1;
    bool neverReady = false;
    unsigned long notReadyPolls = 0;
    unsigned long pendingNotReady[kDevices] = {};
    std::FILE* trace = nullptr;

    SimState() = default;
    SimState(const SimState&) = delete;
    SimState& operator=(const SimState&) = delete;
    ~SimState() {
        if (trace != nullptr) std::fclose(trace);
    }
};

SimState g_sim;

// A whole decimal number, or false.
bool ParseNumber(const char* text, unsigned long& value) {
    if (text == nullptr || *text < '0' || *text > '9') return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long v = std::strtoul(text, &end, 10);
    if (errno != 0 || *end != '\0') return false;
    value = v;
    return true;
}

void Configure() {
    g_sim.configured = true;

    unsigned long count = 1;
    if (!ParseNumber(std::getenv("RIYA_SIM_DEVICES"), count)) count = 1;
    g_sim.deviceCount = static_cast<unsigned char>(count > 255 ? 255 : count);

    const char* notReady = std::getenv("RIYA_SIM_NOT_READY");
    g_sim.neverReady = notReady != nullptr && std::strcmp(notReady, "never") == 0;
    unsigned long polls = 0;
    if (g_sim.neverReady || !ParseNumber(notReady, polls)) polls = 0;
    g_sim.notReadyPolls = polls;
    for (unsigned long& pending : g_sim.pendingNotReady) pending = polls;

    if (g_sim.trace != nullptr) {
        std::fclose(g_sim.trace);
        g_sim.trace = nullptr;
    }
    const char* out = std::getenv("RIYA_SIM_OUT");
    if (out != nullptr && *out != '\0') g_sim.trace = std::fopen(out, "a");
}

inline void EnsureConfigured() {
    if (!g_sim.configured) Configure();
}

__attribute__((format(printf, 1, 2))) void TraceLine(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(g_sim.trace, format, args);
    va_end(args);
    std::fflush(g_sim.trace);
}

}  // namespace

RIYA_EXPORT unsigned char RiOpenDevices() {
    Configure();
    if (g_sim.trace != nullptr) TraceLine("RiOpenDevices %u\n", static_cast<unsigned>(g_sim.deviceCount));
    return g_sim.deviceCount;
}

RIYA_EXPORT void RiCloseDevices() {
    EnsureConfigured();
    if (g_sim.trace != nullptr) TraceLine("RiCloseDevices\n");
}

RIYA_EXPORT void Ri_InitChanal(unsigned char device, int channel) {
    EnsureConfigured();
    if (g_sim.trace != nullptr) TraceLine("Ri_InitChanal %u %d\n", static_cast<unsigned>(device), channel);
}

RIYA_EXPORT unsigned char Ri_SetIntCh(unsigned char device) {
    EnsureConfigured();
    unsigned char ready = 0;
    if (!g_sim.neverReady) {
        unsigned long& pending = g_sim.pendingNotReady[device];
        if (pending > 0) {
            --pending;
        } else {
            pending = g_sim.notReadyPolls;
            ready = 1;
        }
    }
    if (g_sim.trace != nullptr) {
        TraceLine("Ri_SetIntCh %u %u\n", static_cast<unsigned>(device), static_cast<unsigned>(ready));
    }
    return ready;
}

RIYA_EXPORT void RiStopShow(unsigned char device) {
    EnsureConfigured();
    if (g_sim.trace != nullptr) TraceLine("RiStopShow %u\n", static_cast<unsigned>(device));
}

RIYA_EXPORT void RiSetShowCadr(unsigned char device, const void* points, int count, int period, int constant) {
    EnsureConfigured();
    std::FILE* trace = g_sim.trace;
    if (trace == nullptr) return;
    std::fprintf(trace, "RiSetShowCadr %u %d %d %d\n", static_cast<unsigned>(device), count, period, constant);
    const auto* bytes = static_cast<const unsigned char*>(points);
    for (int i = 0; bytes != nullptr && i < count; ++i, bytes += 8) {
        const unsigned x = static_cast<unsigned>(bytes[0]) | (static_cast<unsigned>(bytes[1]) << 8);
        const unsigned y = static_cast<unsigned>(bytes[2]) | (static_cast<unsigned>(bytes[3]) << 8);
        std::fprintf(trace, "%u %u %u %u %u %u\n", x, y, static_cast<unsigned>(bytes[4]),
                     static_cast<unsigned>(bytes[5]), static_cast<unsigned>(bytes[6]),
                     static_cast<unsigned>(bytes[7]));
    }
    std::fflush(trace);
}
