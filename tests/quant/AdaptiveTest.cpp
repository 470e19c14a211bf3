#include "quant/Kwantyzery.h"

#include "engine/NumberText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

Kwantyzery adaptive(const Mnozniki& table, int levels) {
    std::minstd_rand random;
    return Kwantyzery("ADAP", levels, 1.0f, 0, QuantiserInputs{table, "", random});
}

} // namespace

TEST(Multipliers, DefaultsAndTheirDisplay) {
    const Mnozniki m = Mnozniki::defaults();
    EXPECT_EQ(m.Mnozniki4, (std::array<float, 4>{1.6f, 0.8f, 0.8f, 1.6f}));
    EXPECT_EQ(m.Mnozniki8,
              (std::array<float, 8>{1.75f, 1.75f, 0.9f, 0.9f, 0.9f, 0.9f, 1.75f, 1.75f}));
    EXPECT_EQ(m.Mnozniki16,
              (std::array<float, 16>{2.4f, 2.0f, 1.6f, 1.2f, 0.8f, 0.8f, 0.8f, 0.8f, 0.8f, 0.8f,
                                     0.8f, 0.8f, 1.2f, 1.6f, 2.0f, 2.4f}));
    EXPECT_EQ(m.row(4), m.Mnozniki4.data());
    EXPECT_EQ(m.row(8), m.Mnozniki8.data());
    EXPECT_EQ(m.row(16), m.Mnozniki16.data());
    for (int n : {0, 2, 5, 32, -4})
        EXPECT_EQ(m.row(n), nullptr) << n;

    std::vector<std::string> shown;
    for (float v : m.Mnozniki16)
        shown.push_back(formatMultiplier(v));
    EXPECT_EQ(shown,
              (std::vector<std::string>{"2,4", "2", "1,6", "1,2", "0,8", "0,8", "0,8", "0,8", "0,8",
                                        "0,8", "0,8", "0,8", "1,2", "1,6", "2", "2,4"}));
    EXPECT_EQ(formatMultiplier(m.Mnozniki8[0]), "1,75");
    EXPECT_EQ(formatMultiplier(m.Mnozniki8[2]), "0,9");
}

TEST(Adaptive, NormalisedLevelsSpanPlusMinusOneTenth) {
    const Mnozniki table = Mnozniki::defaults();
    struct Case {
        int levels;
        std::vector<float> upperHalf; // levels N/2 ... N-1
    };
    for (const Case& c : std::vector<Case>{
             {4, {0.033333335f, 0.1f}},
             {8, {0.014285714f, 0.042857144f, 0.071428575f, 0.1f}},
         }) {
        SCOPED_TRACE(c.levels);
        Kwantyzery q = adaptive(table, c.levels);
        const auto& w = q.poziomyWzorcowe();
        ASSERT_EQ(w.size(), std::size_t(c.levels));
        for (std::size_t i = 0; i < c.upperHalf.size(); ++i) {
            EXPECT_EQ(w[c.upperHalf.size() + i], c.upperHalf[i]);
            EXPECT_EQ(w[c.upperHalf.size() - 1 - i], -c.upperHalf[i]);
        }
        EXPECT_EQ(q.krok(), 0.1f);
    }
    Kwantyzery q16 = adaptive(table, 16);
    const auto& w = q16.poziomyWzorcowe();
    EXPECT_EQ(w.front(), -0.1f);
    EXPECT_EQ(w.back(), 0.1f);
    EXPECT_EQ(w[7], -0.0066666668f);
    EXPECT_EQ(w[8], 0.0066666668f);
}

TEST(Adaptive, StepFollowsTheChosenLevels) {
    Kwantyzery q = adaptive(Mnozniki::defaults(), 4);
    const std::vector<float> inputs = {0.5f, 0.5f, 0.5f, 0.0f, 0.0f};
    const std::vector<float> outputs = {0.010000001f, 0.016000001f, 0.025600001f, 0.013653334f,
                                        0.010922668f};
    const std::vector<float> steps = {0.16000001f, 0.256f, 0.40960002f, 0.32768002f, 0.26214403f};
    for (std::size_t n = 0; n < inputs.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(q.Kwantyzuj(inputs[n]), outputs[n]);
        EXPECT_EQ(q.krok(), steps[n]);
    }
}

TEST(Adaptive, TiesAtZeroDependOnTheRoundedBest) {
    // At the start, 0 is equally far from the two middle levels. The later level wins only when
    // rounding the kept best to float did not lower it below the candidate's exact distance.
    struct Case {
        int levels;
        float output;
        std::size_t multiplierOfLevel;
    };
    const Mnozniki table = Mnozniki::defaults();
    for (const Case c : std::vector<Case>{
             {4, -0.0033333336f, 1}, {8, 0.0014285714f, 4}, {16, -0.00066666672f, 7}}) {
        SCOPED_TRACE(c.levels);
        Kwantyzery q = adaptive(table, c.levels);
        EXPECT_EQ(q.Kwantyzuj(0.0f), c.output);
        EXPECT_EQ(q.krok(), 0.1f * table.row(c.levels)[c.multiplierOfLevel]);
    }
}

TEST(Adaptive, StepFloorIsReachedOnThe52ndZero) {
    Kwantyzery q = adaptive(Mnozniki::defaults(), 4);
    const float floor = 9.99999997e-7f;
    for (int call = 1; call <= 51; ++call)
        q.Kwantyzuj(0.0f);
    EXPECT_GT(q.krok(), floor);
    q.Kwantyzuj(0.0f);
    EXPECT_EQ(q.krok(), floor);
    for (int call = 53; call <= 60; ++call) {
        q.Kwantyzuj(0.0f);
        EXPECT_EQ(q.krok(), floor) << call;
    }
}

TEST(Adaptive, ConstantInputGrowsThenAlternates) {
    Kwantyzery q = adaptive(Mnozniki::defaults(), 4);
    float y = 0;
    for (int call = 1; call <= 10; ++call) {
        y = q.Kwantyzuj(1.0f);
        EXPECT_LT(y, 1.0f) << call;
    }
    y = q.Kwantyzuj(1.0f);
    EXPECT_NEAR(y, 1.09951, 1e-5);
    // Past 1 the output moves between the outer and the inner positive level: the step rises
    // (x 1.6) after the outer one and falls (x 0.8) after the inner one.
    for (int call = 12; call <= 40; ++call) {
        const float before = q.krok();
        y = q.Kwantyzuj(1.0f);
        const bool outer = y == 0.1f * before;
        EXPECT_TRUE(outer || y == 0.033333335f * before) << call;
        EXPECT_EQ(q.krok(), before * (outer ? 1.6f : 0.8f)) << call;
    }
}

TEST(Adaptive, MultipliersAreCopiedWhenBuilt) {
    Mnozniki table = Mnozniki::defaults();
    Kwantyzery first = adaptive(table, 4);
    // Element k belongs to level k: an asymmetric row.
    table.Mnozniki4 = {1.5f, 0.5f, 0.25f, 3.0f};
    Kwantyzery second = adaptive(table, 4);

    first.Kwantyzuj(0.0f);
    second.Kwantyzuj(0.0f); // lower middle level (index 1)
    EXPECT_EQ(first.krok(), 0.1f * 0.8f);
    EXPECT_EQ(second.krok(), 0.1f * 0.5f);
    second.Kwantyzuj(5.0f); // top level
    EXPECT_EQ(second.krok(), 0.1f * 0.5f * 3.0f);
    second.Kwantyzuj(-5.0f); // bottom level
    EXPECT_EQ(second.krok(), 0.1f * 0.5f * 3.0f * 1.5f);
}
