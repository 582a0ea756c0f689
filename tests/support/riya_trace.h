#pragma once

#include <array>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_home.h"

namespace vyr::test {

// One call recorded by the simulated RIYA library.
struct RiyaCall {
    std::string name;
    std::vector<long> args;
    std::vector<std::array<int, 6>> points;  // RiSetShowCadr only: x y red green blue shutter

    std::string Text() const {
        std::string s = name;
        for (long a : args) s += " " + std::to_string(a);
        return s;
    }
};

// Parses the simulated library's trace file.
inline std::vector<RiyaCall> ReadRiyaTrace(const std::string& path) {
    std::vector<RiyaCall> calls;
    std::istringstream in(ReadFileBytes(path));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        RiyaCall call;
        words >> call.name;
        for (long v = 0; words >> v;) call.args.push_back(v);
        if (call.name == "RiSetShowCadr" && call.args.size() == 4) {
            for (long i = 0; i < call.args[1] && std::getline(in, line); ++i) {
                std::istringstream p(line);
                std::array<int, 6> point{};
                for (int& v : point) p >> v;
                call.points.push_back(point);
            }
        }
        calls.push_back(call);
    }
    return calls;
}

// The calls of one routine only.
inline std::vector<RiyaCall> CallsOf(const std::vector<RiyaCall>& calls, const std::string& name) {
    std::vector<RiyaCall> out;
    for (const RiyaCall& c : calls) {
        if (c.name == name) out.push_back(c);
    }
    return out;
}

// Points the player at the simulated RIYA library and its trace file for one
// test; the simulation reads its environment again at every RiOpenDevices.
class RiyaSimEnvironment {
public:
    explicit RiyaSimEnvironment(const TempHome& home) : trace_(home.File("riya_trace.txt")) {
#ifdef VYR_RIYA_SIM_PATH
        setenv("VYR_RIYA_LIBRARY", VYR_RIYA_SIM_PATH, 1);
#endif
        setenv("RIYA_SIM_OUT", trace_.c_str(), 1);
        SetDevices(1);
        SetNotReady("0");
    }
    ~RiyaSimEnvironment() {
        unsetenv("VYR_RIYA_LIBRARY");
        unsetenv("RIYA_SIM_OUT");
        unsetenv("RIYA_SIM_DEVICES");
        unsetenv("RIYA_SIM_NOT_READY");
    }
    RiyaSimEnvironment(const RiyaSimEnvironment&) = delete;
    RiyaSimEnvironment& operator=(const RiyaSimEnvironment&) = delete;

    static bool Available() {
#ifdef VYR_RIYA_SIM_PATH
        return true;
#else
        return false;
#endif
    }

    void SetDevices(int count) { setenv("RIYA_SIM_DEVICES", std::to_string(count).c_str(), 1); }
    void SetNotReady(const std::string& polls) { setenv("RIYA_SIM_NOT_READY", polls.c_str(), 1); }
    std::vector<RiyaCall> Trace() const { return ReadRiyaTrace(trace_); }
    const std::string& TracePath() const { return trace_; }

private:
    std::string trace_;
};

}  // namespace vyr::test
