// The abstract definition file: three blocks, each a count followed by that
// many values separated by white space. The first and third hold integers,
// the second reals:
//
//   13, then formula (bits 0..3) and the palette bit (15), the three channel
//       deltas, envelope speed, shift, colour speed, blank speed, blank spot,
//       red, blue, green, envelope depth (bits 0..11) and type (bits 12..15);
//   12, then the three channel rates, the envelope phase, the three channel
//       phases, the extra phase, the blank and colour phases, two unused;
//   13, then the red, green and blue colour offsets, the three channel gains,
//       the three channel offsets, the depth formula, gain, points per frame
//       and the depth offset.

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <type_traits>

#include "abstract/abstract.h"
#include "app/log.h"

namespace vyr {

namespace {

// Keeps the process's working directory while a file is opened relative to
// another directory, and puts it back.
class WorkingDirectory {
public:
    enum class Entered { kYes, kNoCurrent, kNoChange };

    Entered Enter(const std::string& dir) {
        std::error_code ec;
        previous_ = std::filesystem::current_path(ec);
        if (ec) return Entered::kNoCurrent;
        std::filesystem::current_path(dir, ec);
        return ec ? Entered::kNoChange : Entered::kYes;
    }
    // False when the directory from before can no longer be made current.
    bool Return() const {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
        return !ec;
    }
    std::string Previous() const { return previous_.string(); }

private:
    std::filesystem::path previous_;
};

// Reads white-space separated words. A word longer than any number the file
// can sensibly hold is not a number, and is skipped whole.
class WordReader {
public:
    explicit WordReader(std::FILE* file) : file_(file) {}

    bool ReadInt(std::int32_t& out) {
        std::string_view word;
        if (!Next(word)) return false;
        word = WithoutPlus(word);
        const char* end = word.data() + word.size();
        const auto r = std::from_chars(word.data(), end, out);
        return r.ec == std::errc() && r.ptr == end;
    }

    // A real in the forms "%f" reads; only finite values are taken. Values
    // too small for single precision become 0 (or a denormal), as strtof
    // gives them.
    bool ReadReal(float& out) {
        std::string_view word;
        if (!Next(word)) return false;
        word = WithoutPlus(word);
        const char* end = word.data() + word.size();
        const auto r = std::from_chars(word.data(), end, out);
        if (r.ptr != end) return false;
        if (r.ec == std::errc::result_out_of_range) {
            double wide = 0.0;
            const auto w = std::from_chars(word.data(), end, wide);
            if (w.ec != std::errc() || w.ptr != end || !(std::fabs(wide) < 1.0)) return false;
            out = static_cast<float>(wide);
        } else if (r.ec != std::errc()) {
            return false;
        }
        return std::isfinite(out);
    }

private:
    static constexpr std::size_t kMaxWord = 512;

    static bool IsSpace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

    // A leading '+' that a signed decimal may carry; "+-1" stays invalid.
    static std::string_view WithoutPlus(std::string_view word) {
        if (word.size() > 1 && word[0] == '+' && word[1] != '-' && word[1] != '+') word.remove_prefix(1);
        return word;
    }

    bool Next(std::string_view& word) {
        int c = std::fgetc(file_);
        while (c != EOF && IsSpace(c)) c = std::fgetc(file_);
        if (c == EOF) return false;
        std::size_t n = 0;
        bool tooLong = false;
        for (; c != EOF && !IsSpace(c); c = std::fgetc(file_)) {
            if (n < buffer_.size()) {
                buffer_[n++] = static_cast<char>(c);
            } else {
                tooLong = true;
            }
        }
        word = std::string_view(buffer_.data(), n);
        return !tooLong;
    }

    std::FILE* file_;
    std::array<char, kMaxWord> buffer_{};
};

// Reads `count` then that many values into `block`. Writes the count read to
// `count`; returns false after logging when an entry is unreadable or the
// count does not fit.
enum class Block { kRead, kNoCount, kFailed };

template <typename T, std::size_t N, typename ReadValue>
Block ReadBlock(WordReader& in, std::array<T, N>& block, std::uint16_t& count, const char* name,
                const std::string& path, ReadValue readValue) {
    std::int32_t n = 0;
    if (!in.ReadInt(n)) return Block::kNoCount;
    if (n < 0 || n > static_cast<std::int32_t>(N)) {
        LogMessage("Abstract::Abstract(): Invalid " + std::string(name) + " entry count " + std::to_string(n) +
                   " (at most " + std::to_string(N) + ") in file " + path);
        return Block::kFailed;
    }
    count = static_cast<std::uint16_t>(n);
    for (std::int32_t i = 0; i < n; ++i) {
        if (!readValue(in, block[static_cast<std::size_t>(i)])) {
            LogMessage("Abstract::Abstract(): Can't read next entry from file " + path);
            return Block::kFailed;
        }
    }
    return Block::kRead;
}

std::uint16_t U16(std::int32_t v) { return static_cast<std::uint16_t>(v); }
std::int16_t I16(std::int32_t v) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(v)); }

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f != nullptr) std::fclose(f);
    }
};

}  // namespace

Abstract::Abstract(const std::string& path, const std::string& programDirectory) : Abstract() {
    ReadDefinitionFile(path, programDirectory);
    previous = AbstractPoint{};
    current = AbstractPoint{};
}

void Abstract::ReadDefinitionFile(const std::string& path, const std::string& programDirectory) {
    WorkingDirectory wd;
    switch (wd.Enter(programDirectory)) {
        case WorkingDirectory::Entered::kNoCurrent:
            LogMessage("Abstract::Abstract(): Unable to get current directory name.");
            valid = 0;
            return;
        case WorkingDirectory::Entered::kNoChange:
            LogMessage("Abstract::Abstract(): Unable to change to app directory\n" + programDirectory);
            valid = 0;
            return;
        case WorkingDirectory::Entered::kYes: break;
    }

    if (std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb")); file == nullptr) {
        LogMessage("Abstract::Abstract(): Unable to open file " + path);
        valid = 0;
    } else {
        WordReader in(file.get());
        const auto readInt = [](WordReader& r, std::int32_t& v) { return r.ReadInt(v); };
        const auto readReal = [](WordReader& r, float& v) { return r.ReadReal(v); };
        Block b = ReadBlock(in, intBlock, intBlockCount, "INT", path, readInt);
        if (b == Block::kNoCount) LogMessage("Abstract::Abstract(): Unable to read INT header info.");
        if (b == Block::kRead) {
            b = ReadBlock(in, realBlock, realBlockCount, "REAL", path, readReal);
            if (b == Block::kNoCount) LogMessage("Abstract::Abstract(): Unable to read REAL header info.");
        }
        if (b == Block::kRead) {
            b = ReadBlock(in, intBlock2, intBlock2Count, "INT2", path, readInt);
            // A file of the first two blocks only is still a pattern.
            if (b == Block::kNoCount) {
                LogMessage("Abstract::Abstract(): Unable to read INT2 header info.");
                b = Block::kRead;
            }
        }
        if (b != Block::kRead) valid = 0;
    }

    if (!wd.Return()) {
        LogMessage("Abstract::Abstract(): Unable to return to working directory\n" + wd.Previous());
        valid = 0;
    }
}

std::int16_t Abstract::SetPattern(int /*ignored*/) {
    channelPhase = {0.0, 0.0, 0.0};
    extraPhase = 0.0;
    blankPhase = 0.0;
    colorPhase = 0.0;

    const auto& a = intBlock;
    formula = static_cast<std::int16_t>(a[0] & 0x0F);
    usePalette = (a[0] & 0x8000) != 0 ? 1 : 0;
    for (int k = 0; k < 3; ++k) channelDelta[k] = U16(a[1 + k]);
    envelopeSpeed = U16(a[4]);
    shift = I16(a[5]);
    if (shift == 0) shift = 1;
    colorSpeed = U16(a[6]);
    blankSpeed = U16(a[7]);
    blankSpot = U16(a[8]);
    red = I16(a[9]);
    blue = I16(a[10]);
    green = I16(a[11]);
    envelopeDepth = U16(a[12] & 0x0FFF);
    envelopeType = (a[12] & 0xF000) >> 12;

    const auto& f = realBlock;
    for (int k = 0; k < 3; ++k) channelRate[k] = f[k];
    envelopePhase = f[3];
    // A short real block carries the rates only; the running phases start at 0.
    if (realBlockCount == kRealBlockSize) {
        for (int k = 0; k < 3; ++k) channelPhase[k] = f[4 + k];
        extraPhase = f[7];
        blankPhase = f[8];
        colorPhase = f[9];
    }

    const auto& b = intBlock2;
    for (int k = 0; k < 3; ++k) {
        colorOffset[k] = U16(b[k]);
        channelGain[k] = U16(b[3 + k]);
        channelOffset[k] = U16(b[6 + k]);
    }
    zAxisFormula = U16(b[9]);
    zAxisGain = I16(b[10]);
    pointsPerFrame = U16(b[11]);
    if (pointsPerFrame == 0) pointsPerFrame = kDefaultPointsPerFrame;
    zAxisOffset = U16(b[12]);
    return 1;
}

void Abstract::FillBlocks(bool usePaletteChecked) {
    auto& a = intBlock;
    a[0] = formula | (usePaletteChecked ? 0x8000 : 0);
    for (int k = 0; k < 3; ++k) a[1 + k] = channelDelta[k];
    a[4] = envelopeSpeed;
    a[5] = shift;
    a[6] = colorSpeed;
    a[7] = blankSpeed;
    a[8] = blankSpot;
    a[9] = red;
    a[10] = blue;
    a[11] = green;
    // Worked out unsigned: only the low four bits of the type fit the file anyway.
    a[12] = static_cast<std::int32_t>((static_cast<std::uint32_t>(envelopeType) << 12) | envelopeDepth);
    intBlockCount = kIntBlockSize;

    auto& f = realBlock;
    for (int k = 0; k < 3; ++k) f[k] = static_cast<float>(channelRate[k]);
    f[3] = static_cast<float>(envelopePhase);
    for (int k = 0; k < 3; ++k) f[4 + k] = static_cast<float>(channelPhase[k]);
    f[7] = static_cast<float>(extraPhase);
    f[8] = static_cast<float>(blankPhase);
    f[9] = static_cast<float>(colorPhase);
    f[10] = 0.0f;
    f[11] = 0.0f;
    realBlockCount = kRealBlockSize;

    auto& b = intBlock2;
    for (int k = 0; k < 3; ++k) {
        b[k] = colorOffset[k];
        b[3 + k] = channelGain[k];
        b[6 + k] = channelOffset[k];
    }
    b[9] = zAxisFormula;
    b[10] = zAxisGain;
    b[11] = pointsPerFrame;
    b[12] = zAxisOffset;
    intBlock2Count = kIntBlock2Size;
}

namespace {

// Writes one block: its count, an empty line, one value per line, an empty
// line. Every piece is written on its own so a failure is reported where it
// happened.
template <typename T, std::size_t N>
bool WriteBlock(std::FILE* file, const std::array<T, N>& block, const char* name, const std::string& path) {
    if (std::fprintf(file, "%d\r\n\r\n", static_cast<int>(N)) < 0) {
        LogMessage("CAbstractControl::OnButtonAbsSave(): Unable to write " + std::string(name) + " header info.");
        return false;
    }
    for (const T& v : block) {
        const int written = std::is_same_v<T, float> ? std::fprintf(file, "%lf\r\n", static_cast<double>(v))
                                                      : std::fprintf(file, "%d\r\n", static_cast<int>(v));
        if (written < 0) {
            LogMessage("CAbstractControl::OnButtonAbsSave(): Can't write next entry to file " + path);
            return false;
        }
    }
    if (std::fputs("\r\n", file) < 0) {
        LogMessage("CAbstractControl::OnButtonAbsSave(): Can't write next entry to file " + path);
        return false;
    }
    return true;
}

}  // namespace

std::int16_t Abstract::WriteDefinitionFile(const std::string& path, const std::string& programDirectory,
                                           bool usePaletteChecked) {
    LogMessage("Saving abstract file: " + path);
    FillBlocks(usePaletteChecked);

    WorkingDirectory wd;
    switch (wd.Enter(programDirectory)) {
        case WorkingDirectory::Entered::kNoCurrent:
            LogMessage("CAbstractControl::OnButtonAbsSave(): Unable to get current directory name.");
            return 0;
        case WorkingDirectory::Entered::kNoChange:
            LogMessage("CAbstractControl::OnButtonAbsSave(): Unable to change to app directory\n" + programDirectory);
            return 0;
        case WorkingDirectory::Entered::kYes: break;
    }

    // The pattern goes to a file beside the target, which replaces the
    // target only once it is complete: a failed save leaves the old file.
    const std::string tempPath = path + ".tmp";
    bool ok = false;
    if (std::FILE* file = std::fopen(tempPath.c_str(), "wb"); file == nullptr) {
        LogMessage("CAbstractControl::OnButtonAbsSave(): Unable to open file " + path);
    } else {
        // Unbuffered, so that a failing write shows at the value it hit.
        std::setvbuf(file, nullptr, _IONBF, 0);
        ok = WriteBlock(file, intBlock, "INT", path) && WriteBlock(file, realBlock, "REAL", path) &&
             WriteBlock(file, intBlock2, "INT2", path);
        if (std::fclose(file) != 0 && ok) {
            LogMessage("CAbstractControl::OnButtonAbsSave(): Can't write next entry to file " + path);
            ok = false;
        }
        if (ok && std::rename(tempPath.c_str(), path.c_str()) != 0) {
            LogMessage("CAbstractControl::OnButtonAbsSave(): Unable to open file " + path);
            ok = false;
        }
        if (!ok) std::remove(tempPath.c_str());
    }

    if (!wd.Return()) {
        LogMessage("Abstract::Abstract(): Unable to return to working directory\n" + wd.Previous());
        valid = 0;
    }
    return ok ? 1 : 0;
}

}  // namespace vyr
