#include "predict/Predyktory.h"

#include "RecordingSink.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using Message = std::pair<std::string, std::string>;
const Message kOverflow{"Sprawdź ustawienia układu.", "Przekroczono zakres"};

std::vector<float> coefficients(const Predyktory& p) {
    std::vector<float> out(std::size_t(p.liczbaWsp()), -1.0f);
    p.PobierzWspolczynniki(out.data());
    return out;
}

// One predictor with its sink; the input stream is a short signal in a fresh directory.
struct Fixture {
    Fixture(const std::string& code, std::int32_t K, float parameter)
        : input(writeInput()), p(code, K, parameter, PredictorInputs{input, sink}) {}

    std::string writeInput() {
        const std::string path = dir.tmp("001.tmp");
        writeStream(path, {3.0f, 0.25f, -0.5f, 1.0f});
        return path;
    }

    TempDir dir;
    RecordingSink sink;
    std::string input;
    Predyktory p;
};

} // namespace

TEST(Predyktory, NewPredictorOfAnyCodePredictsZeroWithZeroCoefficients) {
    for (const char* code : {"SG", "SGN", "NSK", "XYZ"}) {
        for (std::int32_t K : {1, 4, 11}) {
            SCOPED_TRACE(testing::Message() << code << " K=" << K);
            Fixture f(code, K, 0.5f);
            EXPECT_EQ(f.p.Przewiduj(), 0.0f);
            EXPECT_EQ(coefficients(f.p), std::vector<float>(std::size_t(K), 0.0f));
            EXPECT_EQ(f.p.probki(), std::vector<float>(std::size_t(K), 0.0f));
            EXPECT_FALSE(f.p.fault());
        }
    }
}

TEST(Predyktory, SgFirstAdaptSeesAZeroHistoryThenLearns) {
    Fixture f("SG", 1, 0.5f);
    f.p.Adaptuj(1.0f);
    EXPECT_EQ(f.p.Przewiduj(), 0.0f);
    EXPECT_EQ(f.p.probki(), std::vector<float>{1.0f});
    EXPECT_EQ(coefficients(f.p), std::vector<float>{0.0f});
    f.p.Adaptuj(1.0f);
    EXPECT_EQ(coefficients(f.p), std::vector<float>{0.5f});
    EXPECT_EQ(f.p.Przewiduj(), 0.5f);
    f.p.Adaptuj(1.0f);
    EXPECT_EQ(coefficients(f.p), std::vector<float>{0.75f});
    EXPECT_TRUE(f.sink.messages.empty());
}

TEST(Predyktory, SgAndSgnKeepTheNewestValueLast) {
    for (const char* code : {"SG", "SGN"}) {
        SCOPED_TRACE(code);
        Fixture f(code, 3, 0.0f);
        for (float v : {1.0f, 2.0f, 3.0f})
            f.p.Adaptuj(v);
        EXPECT_EQ(f.p.probki(), (std::vector<float>{1.0f, 2.0f, 3.0f}));
        EXPECT_EQ(coefficients(f.p), (std::vector<float>{0.0f, 0.0f, 0.0f}));
        f.p.Adaptuj(4.0f);
        EXPECT_EQ(f.p.probki(), (std::vector<float>{2.0f, 3.0f, 4.0f}));
    }
}

// The history takes e + ŷ, which differs from v when e was rounded: with ŷ = 2^25 and v = 1,
// e = f32(1 − 2^25) = −2^25 (a tie, to even), so the newest history value is 0, not 1.
TEST(Predyktory, SgHistoryTakesTheErrorPlusThePrediction) {
    Fixture f("SG", 1, 0.5f);
    f.p.Adaptuj(1.0f);
    f.p.Adaptuj(8192.0f); // w = 0.5 · 8192 · 1 = 4096, history 8192
    ASSERT_EQ(f.p.Przewiduj(), 0x1p25f);
    f.p.Adaptuj(1.0f);
    EXPECT_EQ(f.p.probki(), std::vector<float>{0.0f});
}

// Expected values worked out independently in float32/double (Python struct rounding):
// m1 = f32((1 − f32(0.95))·1·1) = 0x1.9999ap-5, m2 = f32((1 − β)·1 + β·m1) = 0x1.8f5c3p-4,
// μ = f32(1 / (m2 + f32(0.0001))) = 0x1.47de68p+3 ≈ 10.2458992.
TEST(Predyktory, SgnNormalisesTheStepByThePowerOfTheSignal) {
    Fixture f("SGN", 1, 1.0f);
    f.p.Adaptuj(1.0f);
    EXPECT_EQ(f.p.moc(), 0x1.9999ap-5f);
    EXPECT_EQ(coefficients(f.p), std::vector<float>{0.0f});
    f.p.Adaptuj(1.0f);
    EXPECT_EQ(f.p.moc(), 0x1.8f5c3p-4f);
    EXPECT_EQ(coefficients(f.p), std::vector<float>{0x1.47de68p+3f});
    EXPECT_EQ(f.p.Przewiduj(), 0x1.47de68p+3f);
}

TEST(Predyktory, UnknownCodeOrOrderBelowOneNeverChanges) {
    struct Case {
        const char* code;
        std::int32_t K;
    };
    for (const Case& c : {Case{"XYZ", 2}, Case{"", 2}, Case{"sg", 2}, Case{"NSK ", 2},
                          Case{"SG", 0}, Case{"NSK", 12}}) {
        SCOPED_TRACE(testing::Message() << '"' << c.code << "\" K=" << c.K);
        Fixture f(c.code, c.K, 0.5f);
        for (std::int32_t n = 0; n < 3; ++n) {
            EXPECT_EQ(f.p.Przewiduj(), 0.0f);
            f.p.NumerProbki = n;
            f.p.Adaptuj(float(n + 1));
        }
        EXPECT_EQ(f.p.Przewiduj(), 0.0f);
        EXPECT_EQ(coefficients(f.p), std::vector<float>(std::size_t(std::max(c.K, 0)), 0.0f));
        EXPECT_EQ(f.p.probki(), std::vector<float>(std::size_t(std::max(c.K, 0)), 0.0f));
        EXPECT_TRUE(f.sink.messages.empty());
        EXPECT_FALSE(f.p.fault());
    }
}

// Squares beyond float32: the message goes out once per overflowing call, the step stops before
// the history and Moc, and the predictor keeps working afterwards.
TEST(Predyktory, SgnOverflowOfThePowerKeepsMocAndReportsEveryTime) {
    Fixture f("SGN", 1, 1.0f);
    f.p.Adaptuj(1.0f);
    const float moc = f.p.moc();
    f.p.Adaptuj(1e20f);
    EXPECT_EQ(f.sink.messages, std::vector<Message>{kOverflow});
    EXPECT_EQ(f.p.moc(), moc);
    EXPECT_EQ(f.p.probki(), std::vector<float>{1.0f});
    EXPECT_EQ(coefficients(f.p), std::vector<float>{0.0f});
    f.p.Adaptuj(1e20f);
    EXPECT_EQ(f.sink.messages, (std::vector<Message>{kOverflow, kOverflow}));
    f.p.Adaptuj(1.0f);
    EXPECT_EQ(f.sink.messages.size(), 2u);
    EXPECT_NE(f.p.moc(), moc);
    EXPECT_FALSE(f.p.fault());
}

// A prediction of 2^70 · 2^70 overflows: Przewiduj yields 0 with one message, and Adaptuj stops
// at its own prediction, changing nothing.
TEST(Predyktory, OverflowingPredictionYieldsZero) {
    Fixture f("SG", 1, 1.0f);
    f.p.Adaptuj(1.0f);
    f.p.Adaptuj(0x1p70f); // w = 2^70, history 2^70
    ASSERT_TRUE(f.sink.messages.empty());
    EXPECT_EQ(f.p.Przewiduj(), 0.0f);
    EXPECT_EQ(f.sink.messages, std::vector<Message>{kOverflow});
    f.p.Adaptuj(1.0f);
    EXPECT_EQ(f.sink.messages.size(), 2u);
    EXPECT_EQ(coefficients(f.p), std::vector<float>{0x1p70f});
    EXPECT_EQ(f.p.probki(), std::vector<float>{0x1p70f});
}

// With history (1e-30, 1) and w = (0, 1), the value 1e10 moves w0 to about 1e10 and would move w1
// to about 1e40: the step stops there, w0 keeps its new value, w1 and the history their old ones.
TEST(Predyktory, SgOverflowStopsTheStepAtTheCoefficientItReached) {
    Fixture f("SG", 2, 1e30f);
    f.p.Adaptuj(1e-30f);
    f.p.Adaptuj(1.0f);
    ASSERT_EQ(coefficients(f.p), (std::vector<float>{0.0f, 1.0f}));
    ASSERT_EQ(f.p.probki(), (std::vector<float>{1e-30f, 1.0f}));
    f.p.Adaptuj(1e10f);
    EXPECT_EQ(f.sink.messages, std::vector<Message>{kOverflow});
    EXPECT_EQ(coefficients(f.p), (std::vector<float>{1e10f, 1.0f}));
    EXPECT_EQ(f.p.probki(), (std::vector<float>{1e-30f, 1.0f}));
}

TEST(Predyktory, NotANumberIsAFaultThatStopsAdaptation) {
    for (const char* code : {"SG", "SGN"}) {
        SCOPED_TRACE(code);
        Fixture f(code, 2, 0.5f);
        f.p.Adaptuj(1.0f);
        f.p.Adaptuj(std::numeric_limits<float>::quiet_NaN());
        EXPECT_TRUE(f.p.fault());
        EXPECT_EQ(f.p.faultKind(), PredictorFault::InvalidOperation);
        EXPECT_EQ(f.p.probki(), (std::vector<float>{0.0f, 1.0f}));
        f.p.Adaptuj(1.0f);
        EXPECT_EQ(f.p.probki(), (std::vector<float>{0.0f, 1.0f})) << "no step after a fault";
        EXPECT_TRUE(f.sink.messages.empty());
    }
}
