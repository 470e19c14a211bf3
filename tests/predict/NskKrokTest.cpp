// Every variant of the least-squares arithmetic against the step written with Macierz operations,
// testing each intermediate in the step's order: bit for bit on states met on real speech, and the
// same verdict where an overflow and a division by zero compete.

#include "predict/NskKrok.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

float f32(double x) {
    return static_cast<float>(x);
}

bool finite(const Macierz& m) {
    for (std::int32_t i = 0; i < m.Wiersze(); ++i)
        for (std::int32_t j = 0; j < m.Kolumny(); ++j)
            if (!std::isfinite(m(i, j)))
                return false;
    return true;
}

using Vector = std::array<float, Macierz::kRozstep>; // u, zeros from K on

Macierz column(const Vector& u, int K) {
    Macierz c(K, 1);
    for (int i = 0; i < K; ++i)
        c(i, 0) = u[std::size_t(i)];
    return c;
}

NskWynik reference(const Macierz& P, const Vector& uv, float lambda, Macierz& Pn) {
    const int K = P.Wiersze();
    const Macierz u = column(uv, K);
    const Macierz Pu = P * u;
    if (!finite(Pu))
        return NskWynik::Przepelnienie;
    const Macierz M = Pu * Transponuj(u);
    if (!finite(M))
        return NskWynik::Przepelnienie;
    Macierz A = M * P;
    if (!finite(A))
        return NskWynik::Przepelnienie;
    const Macierz uP = Transponuj(u) * P;
    if (!finite(uP))
        return NskWynik::Przepelnienie;
    const float d = (uP * u)(0, 0);
    const float den = f32(double(d) + lambda);
    if (!std::isfinite(d) || !std::isfinite(den))
        return NskWynik::Przepelnienie;
    if (den == 0.0f)
        return NskWynik::DzieleniePrzezZero;
    const float g = f32(1.0 / den);
    if (!std::isfinite(g))
        return NskWynik::Przepelnienie;
    A = A * g;
    if (!finite(A))
        return NskWynik::Przepelnienie;
    const Macierz D = P - A;
    if (!finite(D))
        return NskWynik::Przepelnienie;
    if (lambda == 0.0f)
        return NskWynik::DzieleniePrzezZero;
    const float inverse = f32(1.0 / lambda);
    if (!std::isfinite(inverse))
        return NskWynik::Przepelnienie;
    Pn = inverse * D;
    return finite(Pn) ? NskWynik::Dobrze : NskWynik::Przepelnienie;
}

// W = w + ((P'·e)·u); false on an overflow.
bool referenceWeights(const Macierz& Pn, const Vector& uv, float e, const std::vector<float>& w,
                      std::vector<float>& W) {
    const int K = Pn.Wiersze();
    Macierz Wm(K, 1);
    for (int i = 0; i < K; ++i)
        Wm(i, 0) = w[std::size_t(i)];
    Wm = Wm + ((Pn * e) * column(uv, K));
    W.assign(std::size_t(K), 0.0f);
    for (int i = 0; i < K; ++i)
        W[std::size_t(i)] = Wm(i, 0);
    return finite(Wm);
}

std::vector<NskWariant> variants() {
    std::vector<NskWariant> out;
    for (NskWariant v : {NskWariant::Skalarny, NskWariant::Avx2, NskWariant::Avx512})
        if (nskWariantDostepny(v))
            out.push_back(v);
    return out;
}

} // namespace

TEST(NskKrok, ScalarVariantIsAlwaysAvailable) {
    EXPECT_TRUE(nskWariantDostepny(NskWariant::Skalarny));
    EXPECT_TRUE(nskWariantDostepny(nskNajlepszyWariant()));
}

// The states of a least-squares run on speech, with the input itself as the value adapted to and
// a forgetting factor below 1, so that P grows and shrinks over a wide range.
TEST(NskKrok, VariantsMatchTheMatrixOperationsOnSpeech) {
    const std::vector<float> x = speechFixture("3_jackson_12.wav");
    ASSERT_GT(x.size(), 2000u);
    for (int K = 1; K <= Macierz::kMaxWymiar; ++K) {
        Macierz P(K, K);
        P.jednostkowa();
        std::vector<float> w(std::size_t(K), 0.0f), W;
        std::vector<float> Wv(std::size_t(K), 0.0f);
        Vector u{};
        for (std::size_t n = 1; n < 2000; ++n) {
            for (int i = K - 1; i > 0; --i)
                u[std::size_t(i)] = u[std::size_t(i - 1)];
            u[0] = x[n - 1];
            Macierz expected(K, K);
            ASSERT_EQ(reference(P, u, 0.98f, expected), NskWynik::Dobrze);
            float prediction = 0.0f;
            for (int i = 0; i < K; ++i)
                prediction = f32(double(u[std::size_t(i)]) * w[std::size_t(i)] + prediction);
            const float e = f32(double(x[n]) - prediction);
            ASSERT_TRUE(referenceWeights(expected, u, e, w, W));
            for (NskWariant v : variants()) {
                SCOPED_TRACE(testing::Message()
                             << "K=" << K << " n=" << n << " variant " << int(v));
                Macierz Pn(K, K), Ptn(K, K);
                ASSERT_EQ(nskMacierzP(v, P, Transponuj(P), u.data(), 0.98f, Pn, Ptn),
                          NskWynik::Dobrze);
                for (int i = 0; i < K; ++i)
                    for (int j = 0; j < K; ++j) {
                        ASSERT_EQ(Pn(i, j), expected(i, j)) << i << "," << j;
                        ASSERT_EQ(Ptn(j, i), expected(i, j)) << i << "," << j;
                    }
                ASSERT_TRUE(nskWagi(v, Pn, Ptn, u.data(), e, w.data(), Wv.data()));
                ASSERT_EQ(Wv, W);
            }
            P = expected;
            w = W;
        }
    }
}

// An overflow that comes before a division by zero in the step's order wins, and vice versa.
TEST(NskKrok, OverflowAndDivisionByZeroInTheStepsOrder) {
    struct Case {
        const char* name;
        float p;  // P = p·I
        float u0; // u = (u0, 0, …)
        float lambda;
        NskWynik expected;
    };
    const Case cases[] = {
        {"ordinary step", 1.0f, 0.5f, 0.99f, NskWynik::Dobrze},
        {"lambda 0", 1.0f, 1.0f, 0.0f, NskWynik::DzieleniePrzezZero},
        {"den 0", 1.0f, 1.0f, -1.0f, NskWynik::DzieleniePrzezZero},
        {"1/lambda beyond float32", 1.0f, 1.0f, 1e-39f, NskWynik::Przepelnienie},
        {"A = p^3 u0^2 overflows before den = 0", 1e30f, 1.0f, -1e30f, NskWynik::Przepelnienie},
        {"A overflows before 1/0", 1e30f, 1.0f, 0.0f, NskWynik::Przepelnienie},
        {"P u overflows", 1e30f, 1e10f, 1.0f, NskWynik::Przepelnienie},
        {"(P u) uT overflows", 1e20f, 1e10f, 1.0f, NskWynik::Przepelnienie},
    };
    for (const Case& c : cases) {
        for (int K : {1, 5, 11}) {
            Macierz P(K, K);
            for (int i = 0; i < K; ++i)
                P(i, i) = c.p;
            Vector u{};
            u[0] = c.u0;
            Macierz expected(K, K);
            ASSERT_EQ(reference(P, u, c.lambda, expected), c.expected) << c.name;
            for (NskWariant v : variants()) {
                SCOPED_TRACE(testing::Message() << c.name << " K=" << K << " variant " << int(v));
                Macierz Pn(K, K), Ptn(K, K);
                EXPECT_EQ(nskMacierzP(v, P, Transponuj(P), u.data(), c.lambda, Pn, Ptn),
                          c.expected);
            }
        }
    }
}

TEST(NskKrok, OverflowingWeightsAreReported) {
    for (NskWariant v : variants()) {
        SCOPED_TRACE(int(v));
        Macierz Pn(2, 2);
        Pn.jednostkowa();
        Pn(1, 1) = 3e38f;
        Vector u{};
        u[0] = 1.0f;
        u[1] = 2.0f;
        const float w[2] = {0.0f, 0.0f};
        float W[2];
        const Macierz Ptn = Transponuj(Pn);
        EXPECT_TRUE(nskWagi(v, Pn, Ptn, u.data(), 0.5f, w, W));
        EXPECT_EQ(W[0], 0.5f);
        EXPECT_FALSE(nskWagi(v, Pn, Ptn, u.data(), 2.0f, w, W)) << "3e38 · 2 · 2";
    }
}
