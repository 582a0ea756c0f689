#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "abstract/abstract.h"
#include "support/temp_home.h"

namespace vyr::test {
namespace {

constexpr double kHalfPi = 1.570796326795;  // half of the generator's pi

// What one call hands out.
struct Out {
    int x, y, z, status, r, g, b;
    bool operator==(const Out&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Out& o) {
    return os << "(" << o.x << ", " << o.y << ", " << o.z << ", status " << o.status << ", colour " << o.r << " "
              << o.g << " " << o.b << ")";
}

class Generator : public ::testing::Test {
protected:
    void SetUp() override { Abstract::programFlags = {}; }

    // One call, which must succeed; checks that the segment starts where the
    // last one ended.
    static Out Next(Abstract& a) {
        const AbstractPoint before = a.current;
        Point from, to;
        std::uint8_t r = 0, g = 0, b = 0;
        std::int16_t usePalette = -1;
        EXPECT_EQ(a.GetNextSegment(from, to, r, g, b, usePalette), 1);
        EXPECT_EQ(usePalette, a.usePalette);
        EXPECT_EQ(from.x, before.x);
        EXPECT_EQ(from.y, before.y);
        return {to.x, to.y, to.z, to.status, r, g, b};
    }

    // Runs until `count` points of the figure itself have been handed out,
    // leaving out the points inserted on the way to them.
    static std::vector<Out> FigurePoints(Abstract& a, int count) {
        std::vector<Out> points;
        for (int calls = 0; static_cast<int>(points.size()) < count && calls < 100000; ++calls) {
            const Out o = Next(a);
            if (a.jumpStepX == 0) points.push_back(o);
        }
        return points;
    }

    TempHome home;
};

TEST_F(Generator, AllGainsZeroStaysAtTheCentre) {
    Abstract a;
    a.channelOffset = {1000, 2000, 3000};
    for (int i = 0; i < 50; ++i) {
        const Out o = Next(a);
        EXPECT_EQ(o.x, 0);
        EXPECT_EQ(o.y, 0);
    }
}

TEST_F(Generator, FixedColourWhenTheColourDoesNotMove) {
    Abstract a;
    a.colorOffset = {300, 45, 90};
    const Out first = Next(a);
    EXPECT_EQ(first.status, Point::kBlankBit) << "the first point of a figure is blanked";
    EXPECT_EQ((std::array{first.r, first.g, first.b}), (std::array{0, 0, 0}));
    for (int i = 0; i < 10; ++i) {
        const Out o = Next(a);
        EXPECT_EQ(o.status, 0);
        EXPECT_EQ((std::array{o.r, o.g, o.b}), (std::array{255, 45, 90}));
    }
}

TEST_F(Generator, EnvelopeAtSpeedZeroHoldsItsPhaseAtOne) {
    Abstract a;
    a.channelGain = {0, 100, 0};
    a.channelPhase = {0.0, kHalfPi, 0.0};  // channel 2 stays at its peak along x
    a.envelopeDepth = 100;
    const std::vector<Out> points = FigurePoints(a, 4);
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[0].x, 10000) << "the phase starts at 0, where the envelope is 1";
    EXPECT_EQ(a.envelopePhase, 1.0);
    // From then on the modulated term is scaled by 1 - sin(1.0) = 0.15853.
    for (int i = 1; i < 4; ++i) EXPECT_EQ(points[static_cast<std::size_t>(i)].x, 1585);
}

TEST_F(Generator, SquareEnvelopeBlanksItsEdges) {
    Abstract a;
    a.channelGain = {0, 100, 0};
    a.channelPhase = {0.0, kHalfPi, 0.0};
    a.envelopeType = 1;
    a.envelopeDepth = 50;   // low level 0.5, high while sin(phase) > 0.5
    a.envelopeSpeed = 3600; // 0.018 per point
    int blanked = 0;
    const std::vector<Out> points = FigurePoints(a, 600);
    ASSERT_EQ(points.size(), 600u);
    EXPECT_EQ(points[0].x, 5000) << "the phase starts at 0: low";
    bool high = false;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const bool nowHigh = points[i].x == 10000;
        EXPECT_TRUE(nowHigh || points[i].x == 5000) << points[i];
        if (points[i].status != 0) ++blanked;
        EXPECT_EQ(points[i].status != 0, nowHigh != high) << "blanked exactly at the edges, point " << i;
        high = nowHigh;
    }
    EXPECT_GE(blanked, 4) << "the envelope went up and down at least twice";
}

TEST_F(Generator, BlankingSpot) {
    struct Case {
        std::uint16_t blankSpot;
        std::int16_t shift;
        const char* name;
    };
    const Case cases[] = {
        {0, 1, "0 never blanks"},
        {100, 1, "100 blanks the negative half"},
        {200, 1, "200 blanks wherever sin < 1"},
        {200, 0, "shift 0 turns the spot off"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Abstract::programFlags = {};
        Abstract a;
        a.channelGain = {10, 0, 0};  // a small circle: no jump is ever bridged
        a.channelOffset = {100, 0, 0};
        a.colorSpeed = 100;
        a.blankSpeed = 1000;
        a.blankSpot = c.blankSpot;
        a.shift = c.shift;
        a.zAxisGain = 0;
        Next(a);  // the blanked first point
        double blankPhase = 1000 * 0.0005555555555555556;
        for (int i = 0; i < 60; ++i) {
            const Out o = Next(a);
            blankPhase += 1000 * 0.0005555555555555556;
            const bool want = c.shift != 0 && std::sin(blankPhase) < (c.blankSpot - 100) * 0.01;
            EXPECT_EQ(o.status, want ? Point::kBlankBit : 0) << "point " << i;
            if (want) {
                EXPECT_EQ(o.r + o.g + o.b, 0);
            }
        }
    }
}

// Gains 100, 0, 0 at a quarter turn per point: the square (10000, 0),
// (0, -10000), (-10000, 0), (0, 10000), each edge drawn as five pieces of
// 2000 units (four inserted points and the corner).
TEST_F(Generator, FourPointCycleWithItsBridges) {
    Abstract a;
    a.channelGain = {100, 0, 0};
    a.channelOffset = {3600, 0, 0};
    const std::array<std::array<int, 2>, 5> corners{{{0, 0}, {10000, 0}, {0, -10000}, {-10000, 0}, {0, 10000}}};
    std::vector<Out> want;
    for (int lap = 0; lap < 3; ++lap) {
        for (std::size_t edge = 0; edge < 4; ++edge) {
            const auto& from = corners[lap == 0 || edge != 0 ? edge : 4];
            const auto& to = corners[edge + 1];
            for (int piece = 1; piece <= 5; ++piece) {
                const int status = lap == 0 && edge == 0 ? Point::kBlankBit : 0;
                const int lit = status == 0 ? 1 : 0;
                want.push_back({from[0] + piece * (to[0] - from[0]) / 5, from[1] + piece * (to[1] - from[1]) / 5, 0,
                                status, 0, 45 * lit, 90 * lit});
            }
        }
    }
    std::vector<Out> got;
    for (std::size_t i = 0; i < want.size(); ++i) got.push_back(Next(a));
    EXPECT_EQ(got, want);
}

TEST_F(Generator, FormulaSevenSweepsUpAndWrapsWithABlankedPoint) {
    Abstract a;
    a.formula = 7;
    a.channelGain = {0, 0, 100};  // 3000 units per point
    const std::vector<Out> points = FigurePoints(a, 45);
    ASSERT_EQ(points.size(), 45u);
    int expect = -30000;
    for (std::size_t i = 0; i < points.size(); ++i) {
        expect = expect + 3000 > 30000 ? -30000 : expect + 3000;
        EXPECT_EQ(points[i].x, expect) << i;
        EXPECT_EQ(points[i].y, 0);
        EXPECT_EQ(points[i].status != 0, i == 0 || expect == -30000) << i;
    }
}

TEST_F(Generator, TheWrapOfFormulaSevenIsBridgedInTheDark) {
    Abstract a;
    a.formula = 7;
    a.channelGain = {0, 0, 100};
    FigurePoints(a, 20);  // up to 30000
    ASSERT_EQ(a.current.x, 30000);
    std::vector<Out> bridge;
    for (int i = 0; i < 30; ++i) bridge.push_back(Next(a));
    // 60000 units: 29 inserted points 2000 apart, then the target; all dark.
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(bridge[static_cast<std::size_t>(i)].x, 30000 - 2000 * (i + 1)) << i;
        EXPECT_EQ(bridge[static_cast<std::size_t>(i)].status, Point::kBlankBit) << i;
    }
    EXPECT_EQ(bridge.back().x, -30000);
    EXPECT_EQ(Next(a).x, -27000);
}

// A figure that climbs 10000 units per point while creeping one unit along x
// now and then: such a jump cannot be stepped along x, so it is taken as it
// is, and drawing goes on.
TEST_F(Generator, AJumpThatCannotBeSteppedAlongXIsTakenDirectly) {
    Abstract a;
    a.formula = 7;
    a.channelGain = {0, 100, 0};
    a.channelOffset = {0, 3600, 1};  // y turns a quarter per point; x creeps 1 unit per 120 points
    FigurePoints(a, 2);
    int direct = 0;
    for (int i = 0; i < 600; ++i) {
        const AbstractPoint from = a.current;
        const Out o = Next(a);
        if (std::abs(o.x - from.x) == 1) {
            EXPECT_EQ(std::abs(o.y - from.y), 10000) << "the whole jump in one piece";
            EXPECT_EQ(a.jumpSteps, 0);
            EXPECT_EQ(a.jumpStepX, 0);
            ++direct;
        }
    }
    EXPECT_GE(direct, 4);
    EXPECT_EQ(a.current.x, -29994);
}

TEST_F(Generator, DeepFormulasWrapInSixteenBitsBeforeTheGain) {
    struct Case {
        std::uint16_t formula;
        std::int16_t gain;
        int z;
    };
    // At the centre both formulas give -50000, held as 15536.
    const Case cases[] = {{2, 100, 15536}, {3, 100, 15536}, {3, 50, 7768}, {2, 0, 0}};
    for (const Case& c : cases) {
        Abstract a;
        a.zAxisFormula = c.formula;
        a.zAxisGain = c.gain;
        Next(a);
        EXPECT_EQ(Next(a).z, c.z) << "formula " << c.formula << " gain " << c.gain;
    }
}

TEST_F(Generator, AnInvalidFormulaIsReportedAndLeavesTheCurrentPointAlone) {
    for (const std::int16_t formula : {std::int16_t{0}, std::int16_t{9}}) {
        Abstract a;
        a.formula = formula;
        a.current = {11, 22, 33, 0};
        a.channelOffset = {3600, 0, 0};
        Point from, to(-1, -2, -3, 7);
        std::uint8_t r = 1, g = 2, b = 3;
        std::int16_t usePalette = -1;
        EXPECT_EQ(a.GetNextSegment(from, to, r, g, b, usePalette), 0);
        EXPECT_EQ(to.x, -1);
        EXPECT_EQ(to.status, 7);
        EXPECT_EQ(from.x, 11) << "the segment start is handed out before the formula is looked at";
        EXPECT_EQ(a.restart, 0);
        EXPECT_NE(a.channelPhase[0], 0.0) << "the phases have moved on";
    }
    EXPECT_EQ(home.LogLines(), (std::vector<std::string>{
                                   "Abstract::GetNextSegment(): Invalid formula number 0 specified.",
                                   "Abstract::GetNextSegment(): Invalid formula number 9 specified.",
                               }));
}

// ---------------------------------------------------------------------------
// Reference runs: points worked out by make_abstract_reference.py, a separate
// implementation of the same formulas.

struct ReferenceCase {
    std::string name;
    std::map<std::string, std::vector<double>> params;
    std::vector<Out> points;
};

std::vector<ReferenceCase> LoadReference() {
    const auto path = std::filesystem::path(__FILE__).parent_path() / "abstract_reference.txt";
    std::ifstream in(path);
    std::vector<ReferenceCase> cases;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "case") {
            cases.emplace_back();
            words >> cases.back().name;
        } else if (key == "points") {
            int n = 0;
            words >> n;
            for (int i = 0; i < n && std::getline(in, line); ++i) {
                std::istringstream p(line);
                Out o{};
                p >> o.x >> o.y >> o.z >> o.status >> o.r >> o.g >> o.b;
                cases.back().points.push_back(o);
            }
        } else if (key != "end" && !cases.empty()) {
            std::string word;
            while (words >> word) {
                double v = 0.0;
                std::from_chars(word.data(), word.data() + word.size(), v);
                cases.back().params[key].push_back(v);
            }
        }
    }
    return cases;
}

template <typename T, std::size_t N>
void Set3(std::array<T, N>& field, const std::vector<double>& v) {
    for (std::size_t k = 0; k < N && k < v.size(); ++k) field[k] = static_cast<T>(v[k]);
}

Abstract FromReference(const ReferenceCase& c) {
    Abstract a;
    auto one = [&](const char* key) { return c.params.at(key).at(0); };
    a.formula = static_cast<std::int16_t>(one("formula"));
    a.shift = static_cast<std::int16_t>(one("shift"));
    Set3(a.channelGain, c.params.at("channelGain"));
    Set3(a.channelOffset, c.params.at("channelOffset"));
    Set3(a.channelDelta, c.params.at("channelDelta"));
    Set3(a.channelPhase, c.params.at("channelPhase"));
    Set3(a.channelRate, c.params.at("channelRate"));
    Set3(a.colorOffset, c.params.at("colorOffset"));
    a.colorSpeed = static_cast<std::uint16_t>(one("colorSpeed"));
    a.blankSpeed = static_cast<std::uint16_t>(one("blankSpeed"));
    a.blankSpot = static_cast<std::uint16_t>(one("blankSpot"));
    a.envelopeType = static_cast<std::int32_t>(one("envelopeType"));
    a.envelopeDepth = static_cast<std::uint16_t>(one("envelopeDepth"));
    a.envelopeSpeed = static_cast<std::uint16_t>(one("envelopeSpeed"));
    a.envelopePhase = one("envelopePhase");
    a.pointsPerFrame = static_cast<std::uint16_t>(one("pointsPerFrame"));
    a.zAxisFormula = static_cast<std::uint16_t>(one("zAxisFormula"));
    a.zAxisGain = static_cast<std::int16_t>(one("zAxisGain"));
    a.zAxisOffset = static_cast<std::uint16_t>(one("zAxisOffset"));
    return a;
}

TEST_F(Generator, MatchesTheReferenceForEveryPlaneAndDepthFormula) {
    const std::vector<ReferenceCase> cases = LoadReference();
    ASSERT_GE(cases.size(), 16u) << "abstract_reference.txt is missing or incomplete";
    std::set<int> planes, depths;
    for (const ReferenceCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.points.empty());
        Abstract::programFlags = {};
        Abstract a = FromReference(c);
        planes.insert(a.formula);
        depths.insert(a.zAxisFormula);
        int blanked = 0;
        for (std::size_t i = 0; i < c.points.size(); ++i) {
            const Out got = Next(a);
            ASSERT_EQ(got, c.points[i]) << "point " << i;
            blanked += got.status != 0 ? 1 : 0;
        }
        // A reference that were all dark or all lit would check little.
        EXPECT_GT(blanked, 0);
        EXPECT_LT(blanked, static_cast<int>(c.points.size()));
    }
    EXPECT_EQ(planes.size(), 8u);
    EXPECT_EQ(depths.size(), 8u);
}

}  // namespace
}  // namespace vyr::test
