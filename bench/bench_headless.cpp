// The headless player as a whole: start-up to the first drawn tick, and
// display ticks of four tracks of 4096-point frames on a 1 ms display timer.

#if defined(VYR_HAVE_HEADLESS) && defined(VYR_RIYA_SIM_PATH)

#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/config_file.h"
#include "app/log.h"
#include "headless/headless_host.h"
#include "platform/posix/shared_library_dlopen.h"
#include "playback/main_loop.h"
#include "support/ilda_bytes.h"

namespace {

using namespace vyr;

// A home directory of its own for the benchmark's runs, removed at the end.
class BenchHome {
public:
    BenchHome() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vyr-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
        setenv("VYR_RIYA_LIBRARY", VYR_RIYA_SIM_PATH, 1);
        unsetenv("RIYA_SIM_OUT");
        setenv("RIYA_SIM_DEVICES", "1", 1);
        setenv("RIYA_SIM_NOT_READY", "0", 1);
    }
    ~BenchHome() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    const std::string& Dir() const { return dir_; }
    std::string File(const std::string& name) const { return dir_ + "/" + name; }

private:
    std::string dir_;
};

// Four frames of 4096 points: strokes of 24 lit points joined by blanked jumps.
std::string ShowFile() {
    std::vector<std::vector<std::array<int, 4>>> frames(4);
    for (std::size_t f = 0; f < frames.size(); ++f) {
        for (int i = 0; i < 4096; ++i) {
            const int stroke = i / 24, step = i % 24;
            const int x = -20000 + (40000 * step) / 23;
            const int y = ((stroke * 977 + static_cast<int>(f) * 131) % 40000) - 20000;
            frames[f].push_back({x, y, 0, (step == 0 ? 0x4000 : 0) | (stroke % 16)});
        }
    }
    return test::IldaFile(frames);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

void HeadlessTicks(benchmark::State& state, bool preview) {
    BenchHome home;
    Settings configured;
    configured.FRAME_DISPLAY_TIMER_VALUE = 1;
    configured.DISPLAY_SCREEN = preview ? 1 : 0;
    configured.DISPLAY_LASER = 1;
    WriteConfiguration(home.File(kConfigurationFileName), configured);
    const std::string show = home.File("show.ild");
    WriteFile(show, ShowFile());

    HeadlessHost host(610, 435, false);
    const std::unique_ptr<SharedLibraryLoader> libraries = MakePlayerLibraryLoader();
    Application application(host, *libraries, nullptr, home.Dir());
    if (!application.Start({show})) {
        state.SkipWithError("start-up failed");
        return;
    }
    COrbit3DView& view = *application.View();
    for (int i = 0; i < 3; ++i) view.files().OnOpenIldaFile(show);
    host.onTimer = [&view](int id) { view.OnTimer(id); };
    const auto never = [] { return false; };

    // Every loaded track draws: the first fades in, the others are armed
    // but dark until an operator fades them in.
    std::int64_t ticks = 0;
    for (auto _ : state) {
        host.Run(host.NowMs() + 100, never);
        ticks += 100;
    }
    state.SetItemsProcessed(ticks);
    state.counters["tracks"] = view.tracks().count;
    application.Close();
    Log::Instance().Close();
}

void BM_HeadlessTicks_Preview(benchmark::State& state) { HeadlessTicks(state, true); }
void BM_HeadlessTicks_Laser(benchmark::State& state) { HeadlessTicks(state, false); }
BENCHMARK(BM_HeadlessTicks_Preview)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeadlessTicks_Laser)->Unit(benchmark::kMillisecond);

// From the application start to the end of the first display tick.
void BM_Startup(benchmark::State& state) {
    BenchHome home;
    const std::string show = home.File("show.ild");
    WriteFile(show, ShowFile());
    const std::unique_ptr<SharedLibraryLoader> libraries = MakePlayerLibraryLoader();
    for (auto _ : state) {
        HeadlessHost host(610, 435, false);
        Application application(host, *libraries, nullptr, home.Dir());
        if (!application.Start({show})) {
            state.SkipWithError("start-up failed");
            return;
        }
        COrbit3DView& view = *application.View();
        bool drawn = false;
        host.onTimer = [&view, &drawn](int id) {
            view.OnTimer(id);
            if (id == DISPLAY_TIMER) drawn = true;
        };
        host.Run(std::nullopt, [&drawn] { return drawn; });
        state.PauseTiming();
        application.Close();
        state.ResumeTiming();
    }
    Log::Instance().Close();
}
BENCHMARK(BM_Startup)->Unit(benchmark::kMillisecond);

}  // namespace

#endif
