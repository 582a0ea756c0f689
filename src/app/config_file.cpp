#include "app/config_file.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>
#include <system_error>

#include "app/log.h"

namespace vyr {

namespace {

// ---------------------------------------------------------------------------
// The key table, in file order.

enum class Scan : std::uint8_t {
    kInt,     // "%d" and "%ld": both land in a 32-bit setting, so they read alike
    kFloat,   // "%f"
    kString,  // "%s"
};

enum class Kind : std::uint8_t {
    kPortBase,       // u16; echoed in hexadecimal
    kU16,            // u16: keeps the low 16 bits of the number read, written unsigned
    kI32,            // i32 taken as read
    kI32AsU16,       // i32 taken as read, written as u16
    kWorking,        // i32 read into the working value, written from the configured one
    kBlankingShift,  // i32 keeping the low 8 bits of the number read, signed
    kPercent,        // f32 fraction 0..1, held in the file as a whole percentage
    kF32,            // f32 written with six decimals
    kString,         // the content directory token
};

struct KeyInfo {
    const char* key;
    Scan scan;
    Kind kind;
    const char* label;      // echo label when writing
    const char* readLabel;  // echo label when reading
    std::uint16_t Settings::*u16 = nullptr;
    std::int32_t Settings::*i32 = nullptr;      // configured value
    std::int32_t Settings::*working = nullptr;  // where kWorking values are read to
    float Settings::*f32 = nullptr;
};

constexpr KeyInfo U16(const char* key, const char* label, std::uint16_t Settings::*m) {
    return {key, Scan::kInt, Kind::kU16, label, label, m};
}
constexpr KeyInfo I32(const char* key, const char* label, std::int32_t Settings::*m, Kind kind = Kind::kI32) {
    return {key, Scan::kInt, kind, label, label, nullptr, m};
}
constexpr KeyInfo Working(const char* key, const char* label, std::int32_t Settings::*configured,
                          std::int32_t Settings::*working) {
    return {key, Scan::kInt, Kind::kWorking, label, label, nullptr, configured, working};
}
constexpr KeyInfo Percent(const char* key, const char* label, float Settings::*m) {
    return {key, Scan::kInt, Kind::kPercent, label, label, nullptr, nullptr, nullptr, m};
}
constexpr KeyInfo F32(const char* key, const char* label, float Settings::*m) {
    return {key, Scan::kFloat, Kind::kF32, label, label, nullptr, nullptr, nullptr, m};
}

using S = Settings;

constexpr std::array<KeyInfo, kConfigurationKeyCount> kKeys = {{
    {"PORT_BASE_ADDRESS", Scan::kInt, Kind::kPortBase, "          BasePort: 0x", "          BasePort: 0x",
     &S::PORT_BASE_ADDRESS},
    U16("DISPLAY_LASER", "      DisplayLaser: ", &S::DISPLAY_LASER),
    U16("DISPLAY_SCREEN", "     DisplayScreen: ", &S::DISPLAY_SCREEN),
    U16("FLICKER_FREE", "       FlickerFree: ", &S::FLICKER_FREE),
    U16("INVERT_BLANKING", "    InvertBlanking: ", &S::INVERT_BLANKING),
    U16("SCRIPT_REPEAT", "      ScriptRepeat: ", &S::SCRIPT_REPEAT),
    I32("BLANK/CLIP_VIEW", "   Blank/Clip View: ", &S::BLANK_CLIP_VIEW),
    Working("GLOBAL_DELAY", "       GlobalDelay: ", &S::GLOBAL_DELAY, &S::currentGlobalDelay),
    Working("LASER_SCALE", "        LaserScale: ", &S::LASER_SCALE, &S::currentLaserScale),
    Working("VERTICAL_SCALE", "     VerticalScale: ", &S::VERTICAL_SCALE, &S::currentVerticalScale),
    I32("BLANKING_SHIFT", "     BlankingShift: ", &S::BLANKING_SHIFT, Kind::kBlankingShift),
    I32("FRAME_DISPLAY_TIMER_VALUE", "      DisplayTimer: ", &S::FRAME_DISPLAY_TIMER_VALUE),
    U16("COLOR_MODE", "         ColorMode: ", &S::COLOR_MODE),
    Percent("MASTER_RED_INTENSITY", "         MasterRed: ", &S::MASTER_RED_INTENSITY),
    Percent("MASTER_GREEN_INTENSITY", "       MasterGreen: ", &S::MASTER_GREEN_INTENSITY),
    Percent("MASTER_BLUE_INTENSITY", "        MasterBlue: ", &S::MASTER_BLUE_INTENSITY),
    Percent("TTL_THRESHOLD_RED", "   TTLThresholdRed: ", &S::TTL_THRESHOLD_RED),
    Percent("TTL_THRESHOLD_GREEN", " TTLThresholdGreen: ", &S::TTL_THRESHOLD_GREEN),
    Percent("TTL_THRESHOLD_BLUE", "  TTLThresholdBlue: ", &S::TTL_THRESHOLD_BLUE),
    U16("DISPLAY_INVERT", "      InvertBitmap: ", &S::DISPLAY_INVERT),
    U16("RECORD_FRAMES_TO_WRITE", "      Frames2Write: ", &S::RECORD_FRAMES_TO_WRITE),
    U16("RECORD_PALETTE_TYPE", "     RecordPalette: ", &S::RECORD_PALETTE_TYPE),
    U16("RECORD_VIEW_TYPE", "        RecordView: ", &S::RECORD_VIEW_TYPE),
    I32("NUMBER_FADE_IN_FRAMES", "      FadeInFrames: ", &S::NUMBER_FADE_IN_FRAMES),
    I32("NUMBER_FADE_OUT_FRAMES", "     FadeOutFrames: ", &S::NUMBER_FADE_OUT_FRAMES),
    U16("GLOBAL_FRAME_REPEAT", " GlobalFrameRepeat: ", &S::GLOBAL_FRAME_REPEAT),
    I32("MOVE_INCREMENT", "     MoveIncrement: ", &S::MOVE_INCREMENT),
    I32("ROTATE_INCREMENT", "   RotateIncrement: ", &S::ROTATE_INCREMENT),
    I32("ZOOM_INCREMENT", "     ZoomIncrement: ", &S::ZOOM_INCREMENT),
    I32("DRAG_SPEED", "        Drag Speed: ", &S::DRAG_SPEED),
    {"DRAG_INERTIA", Scan::kInt, Kind::kI32, "      Drag Inertia: ", "       DragInertia: ", nullptr,
     &S::DRAG_INERTIA},
    I32("OUTPUT_PPS", " Points Per Second: ", &S::OUTPUT_PPS),
    F32("BEAM_ORIGIN_X1", "    Beam X1 Origin: ", &S::BEAM_ORIGIN_X1),
    F32("BEAM_ORIGIN_Y1", "    Beam Y1 Origin: ", &S::BEAM_ORIGIN_Y1),
    F32("BEAM_ORIGIN_X2", "    Beam X2 Origin: ", &S::BEAM_ORIGIN_X2),
    F32("BEAM_ORIGIN_Y2", "    Beam Y2 Origin: ", &S::BEAM_ORIGIN_Y2),
    F32("BEAM_HEIGHT_1", "     Beam 1 Height: ", &S::BEAM_HEIGHT_1),
    F32("BEAM_HEIGHT_2", "     Beam 2 Height: ", &S::BEAM_HEIGHT_2),
    I32("BEAM_ON_1", "         Beam 1 On: ", &S::BEAM_ON_1),
    I32("BEAM_ON_2", "         Beam 2 On: ", &S::BEAM_ON_2),
    I32("BEAM_INVERT_X1", "   Beam 1 Invert X: ", &S::BEAM_INVERT_X1),
    I32("BEAM_INVERT_X2", "   Beam 2 Invert X: ", &S::BEAM_INVERT_X2),
    I32("BEAM_YAG_VIEW", "     Beam YAG View: ", &S::BEAM_YAG_VIEW, Kind::kI32AsU16),
    I32("BEAM_MODE", "         Beam Mode: ", &S::BEAM_MODE),
    {"CONTENT_DIRECTORY_NAME", Scan::kString, Kind::kString, " Content Directory: ", " Content Directory: "},
    I32("MAIN_WINDOW_LEFT", "  Main Window Left: ", &S::MAIN_WINDOW_LEFT),
    I32("MAIN_WINDOW_TOP", "   Main Window Top: ", &S::MAIN_WINDOW_TOP),
    I32("MAIN_WINDOW_RIGHT", " Main Window Right: ", &S::MAIN_WINDOW_RIGHT),
    I32("MAIN_WINDOW_BOTTOM", "Main Window Bottom: ", &S::MAIN_WINDOW_BOTTOM),
    I32("LEFT_PREVIEW_EDGE", " Left Preview Edge: ", &S::LEFT_PREVIEW_EDGE),
    I32("COM_PORT_INDEX", "    COM Port Index: ", &S::COM_PORT_INDEX),
    I32("BAUD_RATE_INDEX", "   Baud Rate Index: ", &S::BAUD_RATE_INDEX),
    I32("DATA_BITS_INDEX", "   Data Bits Index: ", &S::DATA_BITS_INDEX),
    I32("PARITY_INDEX", "      Parity Index: ", &S::PARITY_INDEX),
    I32("STOP_BITS_INDEX", "   Stop Bits Index: ", &S::STOP_BITS_INDEX),
    I32("HAND_SHAKE_INDEX", "  Hand Shake Index: ", &S::HAND_SHAKE_INDEX),
    U16("USE_SERIAL_PORT", "   Use Serial Port: ", &S::USE_SERIAL_PORT),
}};

constexpr std::size_t IndexOfKind(Kind kind) {
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (kKeys[i].kind == kind) return i;
    }
    return kKeys.size();
}
constexpr std::size_t kDirectoryIndex = IndexOfKind(Kind::kString);
static_assert(kDirectoryIndex < kKeys.size());

// Stands in the file for an empty content directory, which a token scan could not read back.
constexpr std::string_view kEmptyDirectoryPlaceholder = "___";

// A value as it stands in the file: the number of an integer key, the number
// of a real key, or the token of the directory key.
struct RawValue {
    std::int32_t number = 0;
    float real = 0.0f;
    std::string text;
};
using RawValues = std::array<RawValue, kConfigurationKeyCount>;

// ---------------------------------------------------------------------------
// Conversions between settings and file values.

// A fraction written as a whole percentage: value x 100 rounded to the
// nearest whole number and kept to 16 bits. Percentages are held as f32
// fractions, and most of them (0.29f, 0.9f ...) lie just below their percent:
// truncating would write 28 for 29 and lose one more percent at every save.
// A product that is not finite writes 0; one beyond the 64-bit range is
// saturated before its low 16 bits are kept.
std::int32_t PercentForFile(float fraction) {
    const double percent = std::round(static_cast<double>(fraction) * 100.0);
    if (!std::isfinite(percent)) return 0;
    constexpr double kLimit = 9223372036854775808.0;  // 2^63
    std::int64_t whole;
    if (percent >= kLimit) {
        whole = std::numeric_limits<std::int64_t>::max();
    } else if (percent < -kLimit) {
        whole = std::numeric_limits<std::int64_t>::min();
    } else {
        whole = static_cast<std::int64_t>(percent);
    }
    return static_cast<std::uint16_t>(static_cast<std::uint64_t>(whole));
}

RawValues RawFromSettings(const Settings& s) {
    RawValues raw;
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        const KeyInfo& k = kKeys[i];
        RawValue& v = raw[i];
        switch (k.kind) {
            case Kind::kPortBase:
            case Kind::kU16: v.number = s.*k.u16; break;
            case Kind::kI32:
            case Kind::kWorking:
            case Kind::kBlankingShift: v.number = s.*k.i32; break;
            case Kind::kI32AsU16: v.number = static_cast<std::uint16_t>(s.*k.i32); break;
            case Kind::kPercent: v.number = PercentForFile(s.*k.f32); break;
            case Kind::kF32: v.real = s.*k.f32; break;
            // The setting is a C-style name: it ends at a NUL.
            case Kind::kString: v.text = s.CONTENT_DIRECTORY_NAME.c_str(); break;
        }
    }
    return raw;
}

void ApplyRaw(const RawValues& raw, Settings& s) {
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        const KeyInfo& k = kKeys[i];
        const RawValue& v = raw[i];
        const auto bits = static_cast<std::uint32_t>(v.number);
        switch (k.kind) {
            case Kind::kPortBase:
            case Kind::kU16: s.*k.u16 = static_cast<std::uint16_t>(bits); break;
            case Kind::kI32:
            case Kind::kI32AsU16: s.*k.i32 = v.number; break;
            case Kind::kWorking: s.*k.working = v.number; break;
            case Kind::kBlankingShift: s.*k.i32 = static_cast<std::int8_t>(static_cast<std::uint8_t>(bits)); break;
            case Kind::kPercent: s.*k.f32 = static_cast<float>(bits) / 100.0f; break;
            case Kind::kF32: s.*k.f32 = v.real; break;
            case Kind::kString:
                s.CONTENT_DIRECTORY_NAME = v.text == kEmptyDirectoryPlaceholder ? std::string() : v.text;
                break;
        }
    }
}

// ---------------------------------------------------------------------------
// Formatting, independent of the process locale (the desktop toolkit sets it
// from the environment, which would put commas into "%f").

std::string Decimal(std::int64_t n) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, n);
    return std::string(buf, r.ptr);
}

std::string Hex(std::uint32_t n) {
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, n, 16);
    return std::string(buf, r.ptr);
}

// "%f" of a float, which printf receives as a double.
std::string Fixed6(float f) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(f), std::chars_format::fixed, 6);
    return std::string(buf, r.ptr);
}

// "%g": shortest general form with six significant digits.
std::string General6(float f) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(f), std::chars_format::general, 6);
    return std::string(buf, r.ptr);
}

std::string EchoValue(const KeyInfo& k, const RawValue& v) {
    switch (k.scan) {
        case Scan::kInt:
            return k.kind == Kind::kPortBase ? Hex(static_cast<std::uint32_t>(v.number)) : Decimal(v.number);
        case Scan::kFloat: return General6(v.real);
        case Scan::kString: return v.text;
    }
    return {};
}

std::string Echo(std::string_view title, const RawValues& raw, bool reading) {
    std::string text(title);
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        text += '\n';
        text += reading ? kKeys[i].readLabel : kKeys[i].label;
        text += EchoValue(kKeys[i], raw[i]);
    }
    return text;
}

// ---------------------------------------------------------------------------
// Reading: the input behaves like a stream that scanf would read, but with a
// few bytes of look-ahead and no undefined behaviour for any input.

class Input {
public:
    static constexpr int kEnd = -1;

    explicit Input(std::FILE* file) : file_(file) {}

    // The byte `ahead` places on (ahead < 16), or kEnd past the end of the file.
    int Peek(std::size_t ahead = 0) {
        while (pos_ + ahead >= len_ && !atEnd_) Fill();
        return pos_ + ahead < len_ ? buf_[pos_ + ahead] : kEnd;
    }
    int Get() {
        const int c = Peek();
        if (c != kEnd) ++pos_;
        return c;
    }
    void Skip(std::size_t n) {
        while (n-- > 0) Get();
    }
    bool Failed() const { return failed_; }

private:
    void Fill() {
        if (pos_ > 0) {
            std::memmove(buf_.data(), buf_.data() + pos_, len_ - pos_);
            len_ -= pos_;
            pos_ = 0;
        }
        const std::size_t got = std::fread(buf_.data() + len_, 1, buf_.size() - len_, file_);
        len_ += got;
        if (got == 0) {
            atEnd_ = true;
            failed_ = std::ferror(file_) != 0;
        }
    }

    std::FILE* file_;
    std::array<unsigned char, 4096> buf_{};
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
};

// White space as scanf sees it in the "C" locale.
bool IsSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }
int Lower(int c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }
int HexDigit(int c) {
    if (IsDigit(c)) return c - '0';
    c = Lower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

void SkipSpace(Input& in) {
    while (IsSpace(in.Peek())) in.Get();
}

// Consumes up to and including the next "="; false at the end of the file.
bool SkipToEquals(Input& in) {
    for (int c = in.Get(); c != Input::kEnd; c = in.Get()) {
        if (c == '=') return true;
    }
    return false;
}

// "%d": leading white space, an optional sign and at least one decimal digit.
// A number too large is handled the way the C library's scanf does: the digits
// are converted as by strtol to a 64-bit long, saturating at its limits, and
// the int that receives it keeps the low 32 bits (so 4294967296 reads as 0 and
// anything beyond the 64-bit range as -1 or 0).
bool ScanInt(Input& in, std::int32_t& out) {
    SkipSpace(in);
    bool negative = false;
    if (in.Peek() == '+' || in.Peek() == '-') negative = in.Get() == '-';
    if (!IsDigit(in.Peek())) return false;
    constexpr std::uint64_t kMagnitudeLimit = std::uint64_t{1} << 63;  // |INT64_MIN|
    std::uint64_t magnitude = 0;
    bool saturated = false;
    while (IsDigit(in.Peek())) {
        const auto digit = static_cast<std::uint64_t>(in.Get() - '0');
        if (saturated) continue;
        if (magnitude > (kMagnitudeLimit - digit) / 10) {
            saturated = true;
        } else {
            magnitude = magnitude * 10 + digit;  // at most 2^63
        }
    }
    std::uint64_t bits;
    if (negative) {
        bits = saturated ? kMagnitudeLimit : ~magnitude + 1;  // two's complement of -magnitude
    } else {
        bits = (saturated || magnitude >= kMagnitudeLimit) ? kMagnitudeLimit - 1 : magnitude;
    }
    out = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
    return true;
}

bool MatchesWord(Input& in, std::string_view word) {
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (Lower(in.Peek(i)) != word[i]) return false;
    }
    return true;
}

// The significant digits of a number (at most kMaxDigits kept, the rest only
// noted as non-zero so rounding stays right) and the power of the base that
// scales them.
struct Mantissa {
    static constexpr std::size_t kMaxDigits = 200;
    std::string digits;
    std::int64_t exponent = 0;  // in digits of the base
    bool droppedNonZero = false;
    bool any = false;           // at least one digit seen

    void Add(int value, bool fraction) {
        any = true;
        if (digits.empty() && value == 0) {
            if (fraction) --exponent;  // a leading zero after the point
            return;
        }
        if (digits.size() < kMaxDigits) {
            digits.push_back(static_cast<char>(value < 10 ? '0' + value : 'a' + value - 10));
            if (fraction) --exponent;
        } else {
            if (value != 0) droppedNonZero = true;
            if (!fraction) ++exponent;
        }
    }
};

// Digits of `base` (10 or 16) with an optional point.
void ScanMantissa(Input& in, int base, Mantissa& m) {
    const auto digitOf = [base](int c) { return base == 10 ? (IsDigit(c) ? c - '0' : -1) : HexDigit(c); };
    bool fraction = false;
    for (;;) {
        const int c = in.Peek();
        const int d = digitOf(c);
        if (d >= 0) {
            m.Add(d, fraction);
            in.Get();
        } else if (c == '.' && !fraction) {
            fraction = true;
            in.Get();
        } else {
            break;
        }
    }
}

// An exponent after its letter: optional sign and digits, saturated well
// beyond any float's range. Only taken when digits follow, as strtod does.
bool ScanExponent(Input& in, std::int64_t& exponent) {
    std::size_t ahead = 1;
    if (in.Peek(ahead) == '+' || in.Peek(ahead) == '-') ++ahead;
    if (!IsDigit(in.Peek(ahead))) return false;
    in.Get();
    const bool negative = in.Peek() == '-';
    if (in.Peek() == '+' || in.Peek() == '-') in.Get();
    std::int64_t value = 0;
    while (IsDigit(in.Peek())) {
        const int digit = in.Get() - '0';
        if (value < 1'000'000'000) value = value * 10 + digit;
    }
    exponent = negative ? -value : value;
    return true;
}

float ComposeFloat(const Mantissa& m, int base, std::int64_t exponent) {
    if (m.digits.empty()) return 0.0f;
    std::string digits = m.digits;
    // Positions are counted in base digits; a hexadecimal digit is four binary places.
    const std::int64_t scale = base == 10 ? 1 : 4;
    std::int64_t power = m.exponent * scale + exponent;
    if (m.droppedNonZero) {
        digits.push_back('1');
        power -= scale;
    }
    // Magnitude of the leading digit, as a power of ten (or two).
    const std::int64_t magnitude = static_cast<std::int64_t>(digits.size() - 1) * scale + power;
    const std::int64_t limit = base == 10 ? 400 : 1200;
    if (magnitude > limit) return std::numeric_limits<float>::infinity();
    if (magnitude < -limit) return 0.0f;
    std::string text = digits;
    text += base == 10 ? 'e' : 'p';
    text += Decimal(power);
    float value = 0.0f;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value,
                                   base == 10 ? std::chars_format::scientific : std::chars_format::hex);
    if (r.ec == std::errc::result_out_of_range) {
        return magnitude >= 0 ? std::numeric_limits<float>::infinity() : 0.0f;
    }
    return value;
}

// "%f": leading white space, an optional sign, then a decimal or hexadecimal
// floating number, "inf", "infinity" or "nan" (case ignored). What follows a
// number is left for the next search of "=", so only the value matters; the
// number is the longest prefix strtod would take, and values too large become
// infinity and too small zero, as strtof gives them.
bool ScanFloat(Input& in, float& out) {
    SkipSpace(in);
    bool negative = false;
    if (in.Peek() == '+' || in.Peek() == '-') negative = in.Get() == '-';
    float value;
    if (MatchesWord(in, "inf")) {
        in.Skip(MatchesWord(in, "infinity") ? 8 : 3);
        value = std::numeric_limits<float>::infinity();
    } else if (MatchesWord(in, "nan")) {
        in.Skip(3);
        value = std::numeric_limits<float>::quiet_NaN();
    } else {
        const bool hex = in.Peek() == '0' && Lower(in.Peek(1)) == 'x' &&
                         (HexDigit(in.Peek(2)) >= 0 || (in.Peek(2) == '.' && HexDigit(in.Peek(3)) >= 0));
        const int base = hex ? 16 : 10;
        if (hex) in.Skip(2);
        Mantissa m;
        ScanMantissa(in, base, m);
        if (!m.any) return false;
        std::int64_t exponent = 0;
        if (Lower(in.Peek()) == (hex ? 'p' : 'e')) ScanExponent(in, exponent);
        value = ComposeFloat(m, base, exponent);
    }
    out = negative ? -value : value;
    return true;
}

// "%s": leading white space, then a token up to the next white space. The
// setting holds at most 199 characters: a longer token is cut there and the
// rest of it skipped, so that nothing inside it is taken for the next "=".
// The token ends at a NUL, as the C string it stands for would.
bool ScanToken(Input& in, std::string& out) {
    SkipSpace(in);
    if (in.Peek() == Input::kEnd) return false;
    out.clear();
    bool cut = false;
    for (int c = in.Peek(); c != Input::kEnd && !IsSpace(c); c = in.Peek()) {
        in.Get();
        if (c == 0) cut = true;
        if (!cut && out.size() < Settings::kContentDirectoryMax) out.push_back(static_cast<char>(c));
    }
    return true;
}

bool HeaderMatches(Input& in) {
    constexpr std::size_t kHeaderBuffer = 80;
    std::string taken;
    while (taken.size() < kHeaderBuffer) {
        const int c = in.Get();
        if (c == Input::kEnd) {
            taken.push_back('\xFF');  // the end-of-file marker is taken as one character
            break;
        }
        taken.push_back(static_cast<char>(c));
        if (c == '\n') break;
    }
    return taken == kConfigurationHeader;
}

bool ReadValues(Input& in, RawValues& raw) {
    if (!HeaderMatches(in)) return false;
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (!SkipToEquals(in)) return false;
        bool converted = false;
        switch (kKeys[i].scan) {
            case Scan::kInt: converted = ScanInt(in, raw[i].number); break;
            case Scan::kFloat: converted = ScanFloat(in, raw[i].real); break;
            case Scan::kString: converted = ScanToken(in, raw[i].text); break;
        }
        if (!converted) return false;
    }
    return !in.Failed();
}

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f != nullptr) std::fclose(f);
    }
};

}  // namespace

std::string ConfigurationTempPath(const std::string& path) { return path + ".tmp"; }

bool ReadConfiguration(const std::string& path, Settings& settings) {
    bool restored = false;
    if (std::FILE* file = std::fopen(path.c_str(), "rb"); file == nullptr) {
        LogMessage("OnInitialUpdate(): Unable to open VYR_Player.ini, using defaults.");
    } else {
        std::unique_ptr<std::FILE, FileCloser> closer(file);
        Input in(file);
        RawValues raw;
        if (!ReadValues(in, raw)) {
            LogMessage("OnInitialUpdate(): Unable to read VYR_Player.ini, using defaults.");
        } else {
            LogMessage(Echo("Read the following values from VYR_Player.ini:", raw, true));
            ApplyRaw(raw, settings);
            LogMessage("OnInitialUpdate(): Initial values restored.");
            restored = true;
        }
    }
    settings.GLOBAL_DELAY = settings.currentGlobalDelay;
    settings.LASER_SCALE = settings.currentLaserScale;
    settings.VERTICAL_SCALE = settings.currentVerticalScale;
    return restored;
}

bool WriteConfiguration(const std::string& path, const Settings& settings, SyncFileFunction syncFile) {
    const std::string tempPath = ConfigurationTempPath(path);
    std::FILE* file = std::fopen(tempPath.c_str(), "wb");

    const RawValues raw = RawFromSettings(settings);
    LogMessage(Echo("Writing the following values to VYR_Player.ini:", raw, false));

    const bool placeholder = raw[kDirectoryIndex].text.empty();
    if (placeholder) LogMessage("Content directory name is empty, storing placeholder...");

    if (file == nullptr) {
        LogMessage("~COrbit3DView(): Unable to open VYR_Player.ini for write.");
        return false;
    }

    bool ok = std::fputs(kConfigurationHeader, file) >= 0;
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        const KeyInfo& k = kKeys[i];
        std::string line = k.key;
        line += '=';
        switch (k.scan) {
            case Scan::kInt: line += Decimal(raw[i].number); break;
            case Scan::kFloat: line += Fixed6(raw[i].real); break;
            case Scan::kString: line += placeholder ? std::string(kEmptyDirectoryPlaceholder) : raw[i].text; break;
        }
        line += "\r\n";
        // Every line is attempted, even after one has failed.
        if (std::fwrite(line.data(), 1, line.size(), file) != line.size()) ok = false;
    }
    if (std::fflush(file) != 0) ok = false;
    if (ok && syncFile != nullptr && !syncFile(file)) ok = false;
    if (std::fclose(file) != 0) ok = false;
    // Only a complete file replaces the old one; rename does that in one step.
    if (ok && std::rename(tempPath.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) {
        std::remove(tempPath.c_str());
        LogMessage("~COrbit3DView(): Unable to write VYR_Player.ini.");
    }
    return ok;
}

}  // namespace vyr
