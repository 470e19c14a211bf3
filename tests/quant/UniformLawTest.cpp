#include "quant/Kwantyzery.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

// Quantisers that read no file and draw nothing still need the shared inputs.
struct Inputs {
    Mnozniki table = Mnozniki::defaults();
    std::minstd_rand random;
    QuantiserInputs get() { return {table, "", random}; }
};

Kwantyzery make(const std::string& kind, int levels, float range = 1.0f) {
    Inputs in;
    return Kwantyzery(kind, levels, range, 0, in.get());
}

std::vector<float> levelsOf(const Kwantyzery& q) {
    std::vector<float> levels;
    for (const Przedzial& c : q.przedzialy())
        levels.push_back(c.Poziom);
    return levels;
}

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

} // namespace

TEST(UniformLaw, ThreeLevelsShareBoundsAndClip) {
    Kwantyzery q = make("ROW", 3);
    const std::vector<Przedzial> expected = {{-1.5f, -0.5f, -1}, {-0.5f, 0.5f, 0}, {0.5f, 1.5f, 1}};
    ASSERT_EQ(q.przedzialy().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(q.przedzialy()[i].Dolny, expected[i].Dolny);
        EXPECT_EQ(q.przedzialy()[i].Gorny, expected[i].Gorny);
        EXPECT_EQ(q.przedzialy()[i].Poziom, expected[i].Poziom);
    }
    struct Case {
        float x, y;
    };
    // A value on a shared bound takes the lower cell; values beyond the grid take the outer levels.
    for (const Case c : std::vector<Case>{{0.5f, 0},
                                          {-0.5f, -1},
                                          {0.50000006f, 1},
                                          {3, 1},
                                          {-3, -1},
                                          {1.5f, 1},
                                          {-1.5f, -1},
                                          {kInf, 1},
                                          {-kInf, -1},
                                          {0, 0}}) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(q.Kwantyzuj(c.x), c.y);
    }
}

TEST(UniformLaw, FourLevelsHaveNoZeroLevel) {
    Kwantyzery q = make("ROW", 4);
    const float d = 2.0f / 3.0f; // the step as float
    // The inner levels come from the float step: d - 1 and 2d - 1, not +-f32(1/3).
    EXPECT_EQ(levelsOf(q), (std::vector<float>{-1.0f, d - 1.0f, 2 * d - 1.0f, 1.0f}));
    EXPECT_NE(d - 1.0f, -1.0f / 3.0f);
    // The bound shared by cells 1 and 2 lies just above 0, so 0 belongs to cell 1.
    const float shared = q.przedzialy()[1].Gorny;
    EXPECT_EQ(shared, q.przedzialy()[2].Dolny);
    EXPECT_GT(shared, 0.0f);
    EXPECT_LT(shared, 1e-7f);
    EXPECT_EQ(q.Kwantyzuj(0.0f), d - 1.0f);
}

TEST(UniformLaw, EightLevelsTopLevelIsAboveOne) {
    Kwantyzery q = make("ROW", 8);
    const std::vector<float> levels = levelsOf(q);
    ASSERT_EQ(levels.size(), 8u);
    EXPECT_EQ(levels[0], -1.0f);
    EXPECT_EQ(levels[7], 1.0000001f);
    EXPECT_EQ(q.Kwantyzuj(1.0f), 1.0000001f);
}

TEST(UniformLaw, AdjacentCellsShareTheirBoundExactly) {
    // Rounded from the exact centre, no value falls between two cells, for any range and count.
    struct Case {
        const char* kind;
        int levels;
        float range;
    };
    for (const Case c : std::vector<Case>{{"ROW", 7, 1.0f},
                                          {"ROW", 256, 1.0f},
                                          {"ROW", 100, 0.3f},
                                          {"LOG", 255, 0.7f},
                                          {"LOG", 65536, 1.0f}}) {
        SCOPED_TRACE(std::string(c.kind) + " " + std::to_string(c.levels));
        Kwantyzery q = make(c.kind, c.levels, c.range);
        const auto& cells = q.przedzialy();
        ASSERT_EQ(cells.size(), std::size_t(c.levels));
        for (std::size_t i = 1; i < cells.size(); ++i)
            ASSERT_EQ(cells[i].Dolny, cells[i - 1].Gorny) << "cell " << i;
    }
}

TEST(ALawLaw, ThreeLevels) {
    Kwantyzery q = make("LOG", 3);
    EXPECT_EQ(q.progiLog(), (std::vector<float>{-1.5f, -0.5f, -0.5f, 0.5f, 0.5f, 1.5f}));
    const auto& cells = q.przedzialy();
    ASSERT_EQ(cells.size(), 3u);
    // The outer edge of the grid maps onto itself; the inner bounds fall on the linear segment.
    EXPECT_EQ(cells[0].Dolny, -1.5f);
    EXPECT_EQ(cells[2].Gorny, 1.5f);
    EXPECT_NEAR(cells[1].Dolny, -0.039044, 1e-6);
    EXPECT_EQ(cells[1].Gorny, -cells[1].Dolny);
    EXPECT_NEAR(cells[0].Poziom, -0.76952, 1e-5);
    EXPECT_EQ(cells[1].Poziom, 0.0f);
    EXPECT_EQ(cells[2].Poziom, -cells[0].Poziom);
    // A level is the midpoint of its expanded bounds, not the expansion of the grid centre (1).
    EXPECT_EQ(q.Kwantyzuj(1.0f), cells[2].Poziom);
    EXPECT_EQ(q.Kwantyzuj(0.039f), 0.0f);
    EXPECT_EQ(q.Kwantyzuj(0.0391f), cells[2].Poziom);
}

TEST(ALawLaw, EightLevels) {
    Kwantyzery q = make("LOG", 8);
    // The float step makes the grid, and so the levels, symmetric only to a few units of the
    // last place.
    const std::vector<double> upper = {0.0094268, 0.046458, 0.18250, 0.71689};
    const std::vector<float> levels = levelsOf(q);
    ASSERT_EQ(levels.size(), 8u);
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const double tolerance = upper[i] * 5e-5;
        EXPECT_NEAR(levels[4 + i], upper[i], tolerance);
        EXPECT_NEAR(levels[3 - i], -upper[i], tolerance);
    }
    // Both outer bounds round from exact centres to the same magnitude W + d/2.
    EXPECT_EQ(q.przedzialy().front().Dolny, -1.1428571939468384f);
    EXPECT_EQ(q.przedzialy().back().Gorny, 1.1428571939468384f);
}

TEST(UniformLaw, SameArgumentsGiveIdenticalTables) {
    for (const char* kind : {"ROW", "LOG"}) {
        SCOPED_TRACE(kind);
        Kwantyzery a = make(kind, 37, 0.83f);
        Kwantyzery b = make(kind, 37, 0.83f);
        ASSERT_EQ(a.przedzialy().size(), b.przedzialy().size());
        for (std::size_t i = 0; i < a.przedzialy().size(); ++i) {
            EXPECT_EQ(a.przedzialy()[i].Dolny, b.przedzialy()[i].Dolny);
            EXPECT_EQ(a.przedzialy()[i].Gorny, b.przedzialy()[i].Gorny);
            EXPECT_EQ(a.przedzialy()[i].Poziom, b.przedzialy()[i].Poziom);
        }
    }
}

TEST(Quantiser, OtherKindsAndValuesOutsideTheCells) {
    Kwantyzery none = make("BRAK", 4);
    for (float x : {0.25f, -7.5f, 3e38f, -kInf})
        EXPECT_EQ(none.Kwantyzuj(x), x);
    EXPECT_TRUE(std::isnan(none.Kwantyzuj(kNaN)));

    // Codes are compared exactly: anything else, including lower case, quantises to 0.
    for (const char* kind : {"", "row", "XYZ", "ROW "}) {
        SCOPED_TRACE(kind);
        Kwantyzery q = make(kind, 4);
        EXPECT_TRUE(q.przedzialy().empty());
        EXPECT_EQ(q.Kwantyzuj(0.7f), 0.0f);
    }

    // NaN finds no cell and gives 0 for every cell kind.
    for (const char* kind : {"ROW", "LOG"}) {
        SCOPED_TRACE(kind);
        EXPECT_EQ(make(kind, 4).Kwantyzuj(kNaN), 0.0f);
    }
}

TEST(Quantiser, CountsTheRunsRefuseBuildNothing) {
    // The runs refuse these before building; built anyway, they neither divide by zero nor
    // allocate without bound, and quantise to 0.
    struct Case {
        const char* kind;
        int levels;
        float range;
    };
    for (const Case c : std::vector<Case>{{"ROW", 1, 1.0f},
                                          {"ROW", 0, 1.0f},
                                          {"LOG", -3, 1.0f},
                                          {"LOG", 65537, 1.0f},
                                          {"ROW", std::numeric_limits<int>::max(), 1.0f},
                                          {"ADAP", 5, 1.0f},
                                          {"ADAP", 2, 1.0f},
                                          {"ADAP", -4, 1.0f}}) {
        SCOPED_TRACE(std::string(c.kind) + " " + std::to_string(c.levels));
        Kwantyzery q = make(c.kind, c.levels, c.range);
        EXPECT_TRUE(q.przedzialy().empty());
        EXPECT_EQ(q.Kwantyzuj(0.3f), 0.0f);
        EXPECT_EQ(q.Kwantyzuj(-0.3f), 0.0f);
    }
    // A zero range is served without a division: every cell is the point 0.
    Kwantyzery flat = make("LOG", 4, 0.0f);
    EXPECT_EQ(flat.Kwantyzuj(0.5f), 0.0f);
    EXPECT_EQ(flat.Kwantyzuj(-0.5f), 0.0f);
}
