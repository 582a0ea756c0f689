// Loading a large ILDA file: throughput and the heap a loaded point costs.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "app/log.h"
#include "content/ilda_reader.h"

namespace {

constexpr std::size_t kTargetBytes = std::size_t{64} << 20;

void PutWord(std::string& out, std::uint16_t word) {
    out.push_back(static_cast<char>(word >> 8));
    out.push_back(static_cast<char>(word & 0xFF));
}

void PutHeader(std::string& out, std::uint16_t points, std::uint16_t number, std::uint16_t total) {
    out += "ILDA";
    out.append(4, '\0');  // unused bytes, format 0
    out += "benchfrmbenchco.";
    PutWord(out, points);
    PutWord(out, number);
    PutWord(out, total);
    out.append(2, '\0');
}

// A 64 MB format-0 file of frames of 500 to 1500 points, written once into a
// temporary directory that is removed when the program ends.
class SyntheticFile {
public:
    SyntheticFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vyr-bench-ilda-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) return;
        dir_ = pattern;
        path_ = (dir_ / "large.ild").string();

        std::string out;
        out.reserve(kTargetBytes + 65536);
        std::uint32_t seed = 12345;
        auto next = [&seed]() {
            seed = seed * 1664525u + 1013904223u;
            return seed >> 8;
        };
        std::uint16_t frames = 0;
        while (out.size() < kTargetBytes) {
            const auto points = static_cast<std::uint16_t>(500 + next() % 1001);
            PutHeader(out, points, frames, 0);
            for (std::uint16_t i = 0; i < points; ++i) {
                PutWord(out, static_cast<std::uint16_t>(next()));
                PutWord(out, static_cast<std::uint16_t>(next()));
                PutWord(out, static_cast<std::uint16_t>(next()));
                PutWord(out, static_cast<std::uint16_t>((next() & 0x40FF) | (i + 1 == points ? 0x8000 : 0)));
            }
            ++frames;
        }
        PutHeader(out, 0, frames, frames);
        // The total-frames fields were left 0 above; 0 never equals a frame
        // number past the first, and the first frame has points.
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        if (f == nullptr) return;
        bytes_ = std::fwrite(out.data(), 1, out.size(), f);
        if (std::fclose(f) != 0 || bytes_ != out.size()) bytes_ = 0;
    }
    ~SyntheticFile() {
        std::error_code ec;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
    }
    const std::string& Path() const { return path_; }
    std::size_t Bytes() const { return bytes_; }

private:
    std::filesystem::path dir_;
    std::string path_;
    std::size_t bytes_ = 0;
};

const SyntheticFile& File() {
    static const SyntheticFile file;
    return file;
}

// Heap in use as the C library sees it: small blocks plus mapped large ones,
// their bookkeeping included.
std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void BM_LoadIlda(benchmark::State& state) {
    const SyntheticFile& file = File();
    if (file.Bytes() == 0) {
        state.SkipWithError("could not write the synthetic file");
        return;
    }

    // Memory held per loaded point, measured once outside the timed loop.
    std::unique_ptr<vyr::FrameSequence> sequence;
    malloc_trim(0);
    const std::size_t before = HeapInUse();
    if (vyr::DoReadILDAFile(file.Path(), sequence) == 0) {
        state.SkipWithError("load failed");
        return;
    }
    const std::size_t after = HeapInUse();
    std::size_t points = 0;
    for (const vyr::Frame& frame : sequence->Frames()) points += frame.Size();
    sequence.reset();

    for (auto _ : state) {
        vyr::DoReadILDAFile(file.Path(), sequence);
        benchmark::DoNotOptimize(sequence.get());
        state.PauseTiming();
        sequence.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(file.Bytes()));
    state.counters["bytes_per_point"] =
        benchmark::Counter(static_cast<double>(after - before) / static_cast<double>(points));
    state.counters["points"] = benchmark::Counter(static_cast<double>(points));
}
BENCHMARK(BM_LoadIlda)->Unit(benchmark::kMillisecond);

}  // namespace
