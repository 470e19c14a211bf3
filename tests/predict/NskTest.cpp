#include "predict/Predyktory.h"

#include "RecordingSink.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

using Message = std::pair<std::string, std::string>;
const Message kOverflow{"Sprawdź ustawienia układu.", "Przekroczono zakres"};

// An input stream (header N, then the samples) in a fresh start-up directory.
struct Input {
    explicit Input(const std::vector<float>& samples) : path(dir.tmp("001.tmp")) {
        std::vector<float> words{float(samples.size())};
        words.insert(words.end(), samples.begin(), samples.end());
        writeStream(path, words);
    }
    TempDir dir;
    std::string path;
};

std::vector<float> coefficients(const Predyktory& p) {
    std::vector<float> out(std::size_t(p.liczbaWsp()));
    p.PobierzWspolczynniki(out.data());
    return out;
}

std::vector<float> elements(const Macierz& m) {
    std::vector<float> out;
    for (std::int32_t i = 0; i < m.Wiersze(); ++i)
        for (std::int32_t j = 0; j < m.Kolumny(); ++j)
            out.push_back(m(i, j));
    return out;
}

std::vector<float> identity(int K) {
    std::vector<float> out(std::size_t(K * K), 0.0f);
    for (int i = 0; i < K; ++i)
        out[std::size_t(i * K + i)] = 1.0f;
    return out;
}

} // namespace

TEST(Nsk, ProbkaWeReadsTheInputStreamAndZeroBeforeItsStart) {
    Input in({0.25f, -0.5f, 0.75f});
    RecordingSink sink;
    Predyktory p("NSK", 2, 1.0f, PredictorInputs{in.path, sink});
    EXPECT_TRUE(p.strumienOtwarty());
    EXPECT_EQ(p.ProbkaWe(-1), 0.0f);
    EXPECT_EQ(p.ProbkaWe(0), 0.25f);
    EXPECT_EQ(p.ProbkaWe(2), 0.75f);
    EXPECT_EQ(p.ProbkaWe(1), -0.5f);
    EXPECT_EQ(p.ProbkaWe(3), 0.0f) << "past the last sample";
    EXPECT_EQ(p.ProbkaWe(0), 0.25f);
}

TEST(Nsk, FirstSampleChangesNothing) {
    Input in({1.0f, 1.0f});
    RecordingSink sink;
    Predyktory p("NSK", 2, 1.0f, PredictorInputs{in.path, sink});
    p.NumerProbki = 0;
    p.Adaptuj(1.0f);
    EXPECT_EQ(coefficients(p), (std::vector<float>{0.0f, 0.0f}));
    EXPECT_EQ(p.probki(), (std::vector<float>{0.0f, 0.0f}));
    ASSERT_NE(p.macierzP(), nullptr);
    EXPECT_EQ(elements(*p.macierzP()), identity(2));
}

// u = (1), d = 1, den = 2, g = 0.5, A = 0.5, P' = 0.5, e = 1, w = 0.5.
TEST(Nsk, OneCoefficientStepWithUnitForgetting) {
    Input in({1.0f, 1.0f});
    RecordingSink sink;
    Predyktory p("NSK", 1, 1.0f, PredictorInputs{in.path, sink});
    p.NumerProbki = 0;
    p.Adaptuj(1.0f);
    EXPECT_EQ(p.Przewiduj(), 0.0f);
    p.NumerProbki = 1;
    p.Adaptuj(1.0f);
    EXPECT_EQ(coefficients(p), std::vector<float>{0.5f});
    EXPECT_EQ(elements(*p.macierzP()), std::vector<float>{0.5f});
    EXPECT_EQ(p.probki(), std::vector<float>{1.0f});
    EXPECT_EQ(p.Przewiduj(), 0.5f);
    EXPECT_TRUE(sink.messages.empty());
}

// At n = 1 with K = 2, u = (s0, 0): with s0 = 2, λ = 1, v = 1 the step forms A(0,0) = f32(4 · 0.2),
// P'(0,0) = 1 − f32(0.8) = 0x1.999998p-3 and w0 = 2 · P'(0,0); every element that involves the
// sample before the start stays as in the identity / zero. Worked out by hand.
TEST(Nsk, SampleBeforeTheStartCountsAsZero) {
    Input in({2.0f, 5.0f});
    RecordingSink sink;
    Predyktory p("NSK", 2, 1.0f, PredictorInputs{in.path, sink});
    p.NumerProbki = 1;
    p.Adaptuj(1.0f);
    EXPECT_EQ(coefficients(p), (std::vector<float>{0x1.999998p-2f, 0.0f}));
    EXPECT_EQ(elements(*p.macierzP()), (std::vector<float>{0x1.999998p-3f, 0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(p.probki(), (std::vector<float>{1.0f, 0.0f})) << "newest first, v itself";
}

// λ = 0 divides by zero at 1/λ; λ = −1 with uᵀPu = 1 makes the denominator itself 0. Either is a
// fault for the run, not a message, and nothing changes.
TEST(Nsk, ZeroDenominatorIsAFault) {
    for (float lambda : {0.0f, -1.0f}) {
        SCOPED_TRACE(lambda);
        Input in({1.0f, 1.0f, 1.0f});
        RecordingSink sink;
        Predyktory p("NSK", 1, lambda, PredictorInputs{in.path, sink});
        p.NumerProbki = 0;
        p.Adaptuj(1.0f);
        EXPECT_FALSE(p.fault());
        p.NumerProbki = 1;
        p.Adaptuj(1.0f);
        EXPECT_TRUE(p.fault());
        EXPECT_EQ(p.faultKind(), PredictorFault::DivisionByZero);
        EXPECT_EQ(coefficients(p), std::vector<float>{0.0f});
        EXPECT_EQ(elements(*p.macierzP()), std::vector<float>{1.0f});
        EXPECT_EQ(p.probki(), std::vector<float>{0.0f});
        EXPECT_TRUE(sink.messages.empty());
    }
}

// 1/λ beyond float32 (λ subnormal) overflows in every step: one message per step, P, w and the
// history unchanged, and the run may go on.
TEST(Nsk, OverflowInTheStepLeavesTheStateAndReportsEachTime) {
    Input in({1.0f, 1.0f, 1.0f});
    RecordingSink sink;
    Predyktory p("NSK", 2, 1e-39f, PredictorInputs{in.path, sink});
    for (std::int32_t n = 1; n <= 2; ++n) {
        p.NumerProbki = n;
        p.Adaptuj(1.0f);
        EXPECT_EQ(sink.messages.size(), std::size_t(n));
    }
    EXPECT_EQ(sink.messages.front(), kOverflow);
    EXPECT_FALSE(p.fault());
    EXPECT_EQ(coefficients(p), (std::vector<float>{0.0f, 0.0f}));
    EXPECT_EQ(elements(*p.macierzP()), identity(2));
    EXPECT_EQ(p.probki(), (std::vector<float>{0.0f, 0.0f}));
}

// A step's P' may be formed before the step is called (at the end of the step before it); a fault
// or overflow in it still belongs to its own step, and a step called out of order forms its own.
//   λ = 1e-20 on silence: P = 1e20 after step 1, 1e40 overflows in step 2 (and again in step 3).
//   λ = −1 on 0, 0, 1: P = −1, then 1, then uᵀPu + λ = 0 in step 3.
TEST(Nsk, AStepFaultsInItsOwnTurn) {
    struct Case {
        const char* name;
        float lambda;
        std::vector<float> input;
        std::vector<std::int32_t> steps;
        int failing; // index in steps of the first step that fails
        bool division;
    };
    const Case cases[] = {
        {"overflow", 1e-20f, {0.0f, 0.0f, 0.0f, 0.0f}, {1, 2, 3}, 1, false},
        {"overflow, steps apart", 1e-20f, {0.0f, 0.0f, 0.0f, 0.0f}, {1, 3, 2}, 1, false},
        {"division by zero", -1.0f, {0.0f, 0.0f, 1.0f, 1.0f}, {1, 2, 3}, 2, true},
        {"division by zero, a step repeated", -1.0f, {0.0f, 0.0f, 1.0f, 1.0f}, {1, 1, 3}, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Input in(c.input);
        RecordingSink sink;
        Predyktory p("NSK", 1, c.lambda, PredictorInputs{in.path, sink});
        std::vector<float> P{1.0f};
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            SCOPED_TRACE(i);
            p.NumerProbki = c.steps[i];
            p.Adaptuj(0.0f);
            const bool failed = int(i) >= c.failing;
            EXPECT_EQ(p.fault(), failed && c.division);
            EXPECT_EQ(sink.messages.size(), failed && !c.division ? i + 1 - c.failing : 0u);
            if (!failed)
                P = elements(*p.macierzP());
            EXPECT_EQ(elements(*p.macierzP()), P) << "a failing step leaves P";
        }
        EXPECT_EQ(P, std::vector<float>{c.division ? 1.0f : 1e20f});
    }
}

TEST(Nsk, MissingInputStreamIsNeverReadAndFailsTheFirstStep) {
    TempDir dir;
    RecordingSink sink;
    Predyktory p("NSK", 2, 1.0f, PredictorInputs{dir.tmp("001.tmp"), sink});
    EXPECT_FALSE(p.strumienOtwarty());
    EXPECT_EQ(p.ProbkaWe(0), 0.0f);
    p.NumerProbki = 0;
    p.Adaptuj(1.0f);
    EXPECT_FALSE(p.fault());
    p.NumerProbki = 1;
    p.Adaptuj(1.0f);
    EXPECT_EQ(p.faultKind(), PredictorFault::InputUnreadable);
    EXPECT_EQ(coefficients(p), (std::vector<float>{0.0f, 0.0f}));
}
