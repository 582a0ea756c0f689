// Feeds arbitrary bytes to the abstract definition-file reader as a file,
// then draws a few points of what it read and saves it back: a save of a
// valid pattern must read back to the same integer parameters.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "abstract/abstract.h"

namespace {

const std::string& WorkDir() {
    static const std::string dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "vyr-fuzz-abs-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        return pattern;
    }();
    return dir;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

bool SameIntegers(const vyr::Abstract& a, const vyr::Abstract& b) {
    return a.formula == b.formula && a.usePalette == b.usePalette && a.shift == b.shift && a.red == b.red &&
           a.green == b.green && a.blue == b.blue && a.channelGain == b.channelGain &&
           a.channelOffset == b.channelOffset && a.channelDelta == b.channelDelta &&
           a.pointsPerFrame == b.pointsPerFrame && a.colorOffset == b.colorOffset && a.colorSpeed == b.colorSpeed &&
           a.blankSpeed == b.blankSpeed && a.blankSpot == b.blankSpot && a.envelopeType == b.envelopeType &&
           a.envelopeDepth == b.envelopeDepth && a.envelopeSpeed == b.envelopeSpeed &&
           a.zAxisFormula == b.zAxisFormula && a.zAxisGain == b.zAxisGain && a.zAxisOffset == b.zAxisOffset;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& dir = WorkDir();
    const std::string input = dir + "/in.abs";
    const std::string output = dir + "/out.abs";
    std::FILE* f = std::fopen(input.c_str(), "wb");
    if (f == nullptr) return 0;
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);

    const std::filesystem::path before = std::filesystem::current_path();
    vyr::Abstract a(input, dir);
    Check(std::filesystem::current_path() == before);
    if (a.valid != 1) return 0;
    Check(a.intBlockCount <= vyr::Abstract::kIntBlockSize);
    Check(a.realBlockCount <= vyr::Abstract::kRealBlockSize);
    Check(a.intBlock2Count <= vyr::Abstract::kIntBlock2Size);
    Check(a.SetPattern(1) == 1);
    Check(a.formula >= 0 && a.formula <= 15);
    Check(a.pointsPerFrame != 0);

    // Whatever the parameters, drawing is defined (the sanitizers watch).
    vyr::Abstract drawn = a;
    vyr::Point from, to;
    std::uint8_t r = 0, g = 0, b = 0;
    std::int16_t usePalette = 0;
    const bool drawable = a.formula >= 1 && a.formula <= 8;
    for (int i = 0; i < 64; ++i) {
        Check(drawn.GetNextSegment(from, to, r, g, b, usePalette) == (drawable ? 1 : 0));
        if (!drawable) break;
    }

    Check(a.WriteDefinitionFile(output, dir, a.usePalette == 1) == 1);
    Check(std::filesystem::current_path() == before);
    vyr::Abstract back(output, dir);
    Check(back.valid == 1);
    back.SetPattern(1);
    Check(SameIntegers(a, back));
    return 0;
}
