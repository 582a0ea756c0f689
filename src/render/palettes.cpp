#include "render/palettes.h"

#include <array>
#include <cstddef>

namespace vyr {

namespace {

using Table = std::array<std::uint32_t, kPaletteEntries>;

struct Rgb {
    int r, g, b;
};

constexpr void Set(Table& t, int index, Rgb c) {
    t[static_cast<std::size_t>(index)] = PackPaletteEntry(index, c.r, c.g, c.b);
}

constexpr Table MakePangolin() {
    Table t{};
    for (int i = 0; i <= 16; ++i) Set(t, i, {255, i == 16 ? 255 : 16 * i, 0});
    for (int i = 17; i <= 23; ++i) Set(t, i, {256 - 32 * (i - 16), 255, 0});
    for (int i = 24; i <= 31; ++i) Set(t, i, {0, 255, 32 * (i - 24)});
    constexpr Rgb blues[] = {{0, 130, 255}, {0, 114, 255}, {0, 104, 255}, {10, 96, 255},
                             {0, 82, 255},  {0, 74, 255},  {0, 64, 255},  {0, 32, 255}};
    for (int i = 0; i < 8; ++i) Set(t, 32 + i, blues[i]);
    constexpr Rgb violets[] = {{0, 0, 255},   {32, 0, 255},  {64, 0, 255}, {96, 0, 255},
                               {128, 0, 255}, {160, 0, 255}, {224, 0, 255}};
    for (int i = 0; i < 7; ++i) Set(t, 40 + i, violets[i]);
    Set(t, 47, {255, 0, 255});
    for (int k = 1; k <= 7; ++k) Set(t, 47 + k, {255, 32 * k, 255});
    Set(t, 55, {255, 255, 255});
    constexpr Rgb pinks[] = {{255, 224, 224}, {255, 255, 255}, {255, 160, 160}, {255, 128, 128},
                             {255, 96, 96},   {255, 64, 64},   {255, 32, 32}};
    for (int i = 0; i < 7; ++i) Set(t, 56 + i, pinks[i]);
    for (int i = 63; i <= 254; ++i) Set(t, i, {255, 32, 32});
    // The table proper ends at 254; index 255 is black.
    Set(t, 255, {0, 0, 0});
    return t;
}

// One hue wheel of 66 entries starting at `start`, walked in six legs from a
// 12-value ramp whose last value is the top (H) and first the bottom (F).
constexpr void AddWheel(Table& t, int start, const std::array<int, 12>& L) {
    const int H = L[11];
    const int F = L[0];
    int i = start;
    for (int k = 0; k <= 11; ++k) Set(t, i++, {H, L[k], F});
    for (int j = 1; j <= 11; ++j) Set(t, i++, {L[11 - j], H, F});
    for (int j = 1; j <= 11; ++j) Set(t, i++, {F, H, L[j]});
    for (int j = 1; j <= 11; ++j) Set(t, i++, {F, L[11 - j], H});
    for (int j = 1; j <= 11; ++j) Set(t, i++, {L[j], F, H});
    for (int j = 1; j <= 10; ++j) Set(t, i++, {H, F, L[11 - j]});
}

constexpr Table MakeIlda() {
    Table t{};
    constexpr Rgb basics[] = {{0, 0, 0},   {255, 255, 255}, {255, 0, 0},   {255, 255, 0},
                              {0, 255, 0}, {0, 255, 255},   {0, 0, 255},   {255, 0, 255}};
    for (int i = 0; i < 8; ++i) Set(t, i, basics[i]);
    AddWheel(t, 8, {128, 140, 151, 163, 174, 186, 197, 209, 220, 232, 243, 255});
    AddWheel(t, 74, {0, 23, 46, 70, 93, 116, 139, 162, 185, 209, 232, 255});
    AddWheel(t, 140, {0, 12, 23, 35, 47, 58, 70, 81, 93, 105, 116, 128});
    // Red, yellow, green, cyan, blue, magenta: light tint, strong tint, dark, darker.
    constexpr Rgb tints[] = {
        {255, 192, 192}, {255, 64, 64},   {192, 0, 0},   {64, 0, 0},    //
        {255, 255, 192}, {255, 255, 64},  {192, 192, 0}, {64, 64, 0},   //
        {192, 255, 192}, {64, 255, 64},   {0, 192, 0},   {0, 64, 0},    //
        {192, 255, 255}, {64, 255, 255},  {0, 192, 192}, {0, 64, 64},   //
        {192, 192, 255}, {64, 64, 255},   {0, 0, 192},   {0, 0, 64},    //
        {255, 192, 255}, {255, 64, 255},  {192, 0, 192}, {64, 0, 64}};
    for (int i = 0; i < 24; ++i) Set(t, 206 + i, tints[i]);
    Set(t, 230, {255, 96, 96});
    constexpr int greys[] = {255, 245, 235, 224, 213, 203, 192, 181, 171, 160, 149, 139, 128,
                             117, 107, 96,  85,  75,  64,  53,  43,  32,  21,  11,  0};
    for (int i = 0; i < 25; ++i) Set(t, 231 + i, {greys[i], greys[i], greys[i]});
    return t;
}

constexpr Table MakeLaserIllusions() {
    Table t = MakeIlda();
    Set(t, 3, {0, 255, 0});
    Set(t, 4, {0, 0, 255});
    Set(t, 5, {255, 255, 0});
    Set(t, 6, {0, 255, 255});
    return t;
}

constexpr Table MakeX29() {
    Table t{};
    for (int i = 0; i <= 255; ++i) {
        Rgb c{255, 0, 0};  // 20..255
        if (i <= 1) c = {0, 0, 0};
        else if (i <= 3) c = {255, 0, 0};
        else if (i <= 5) c = {255, 255, 0};
        else if (i <= 7) c = {0, 255, 0};
        else if (i <= 9) c = {128, 128, 0};
        else if (i <= 11) c = {0, 0, 255};
        else if (i <= 13) c = {255, 0, 255};
        else if (i <= 15) c = {255, 255, 255};
        else if (i <= 19) c = {0, 255, 255};
        Set(t, i, c);
    }
    return t;
}

constexpr Table kPangolin = MakePangolin();
constexpr Table kLaserIllusions = MakeLaserIllusions();
constexpr Table kIlda = MakeIlda();
constexpr Table kX29 = MakeX29();

constexpr const Table* kTables[kPaletteCount] = {&kPangolin, &kLaserIllusions, &kIlda, &kX29};

int Distance(std::uint8_t a, std::uint8_t b) { return a > b ? a - b : b - a; }

}  // namespace

const std::uint32_t* PaletteByNumber(int n) {
    if (n < 0 || n >= kPaletteCount) n = kPalettePangolin;
    return kTables[n]->data();
}

int PaletteNumberOf(const std::uint32_t* palette) {
    for (int n = 0; n < kPaletteCount; ++n) {
        if (kTables[n]->data() == palette) return n;
    }
    return kPalettePangolin;
}

std::uint8_t NearestPaletteIndex(const std::uint32_t* palette, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    if (palette == nullptr) return 0;
    int best = 0;
    int bestR = 255, bestG = 255, bestB = 255;
    for (int i = 0; i < kPaletteEntries; ++i) {
        const std::uint32_t e = palette[i];
        const int dR = Distance(PaletteRed(e), r);
        const int dG = Distance(PaletteGreen(e), g);
        const int dB = Distance(PaletteBlue(e), b);
        if ((dR <= bestR && dG <= bestG && dB <= bestB) || (dR + dG + dB < bestR + bestG + bestB)) {
            best = i;
            bestR = dR;
            bestG = dG;
            bestB = dB;
        }
    }
    return static_cast<std::uint8_t>(best);
}

}  // namespace vyr
