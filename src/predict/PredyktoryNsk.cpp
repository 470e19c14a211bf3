// The "NSK" step of Predyktory: exponentially weighted recursive least squares.
//
// The step is written out on plain arrays rather than through Macierz temporaries, but every
// float32 intermediate is formed exactly as the matrix operations form it: each element in double
// from its float32 operands, rounded once when stored, products summed over k ascending in a
// float32 accumulator that starts at 0 and is rounded after every term. The test suite checks this
// against a step built from the Macierz operations themselves.
//
// Overflow: every intermediate array is computed from finite arrays, so a non-finite element in it
// can only be an overflow (±∞, never NaN); testing each array before it is used finds the first
// overflow in the step's order. Nothing outside the step changes before its last stage, so a step
// that stops on an overflow leaves w, P and the history as they were.

#include "predict/Predyktory.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace {

constexpr int S = Macierz::kMaxWymiar; // row stride of every local matrix

using Wektor = float[S];
using Tablica = float[S * S];

inline float f32(double x) {
    return static_cast<float>(x);
}

// True when none of the n values is ±∞ or NaN.
bool skonczone(const float* x, int n) {
    std::uint32_t niezgodne = 0;
    for (int i = 0; i < n; ++i)
        niezgodne |= static_cast<std::uint32_t>(
            (std::bit_cast<std::uint32_t>(x[i]) & 0x7f800000u) == 0x7f800000u);
    return niezgodne == 0;
}

bool skonczone(const Tablica& x, int K) {
    for (int i = 0; i < K; ++i)
        if (!skonczone(&x[i * S], K))
            return false;
    return true;
}

} // namespace

// u(i) = sample n − 1 − i, newest first, 0 before the start. When the previous step was n − 1, u
// moves one place and only sample n − 1 is read; the stream never changes during a run, so the
// kept samples are what a fresh read would give.
bool Predyktory::wektorU(std::int32_t n) {
    const int K = LiczbaWsp_;
    if (uNumer_ >= 0 && n == uNumer_ + 1) {
        for (int i = K - 1; i > 0; --i)
            u_[i] = u_[i - 1];
        if (!czytajProbke(n - 1, u_[0]) || !skonczone(&u_[0], 1)) {
            uNumer_ = -1;
            return false;
        }
    } else if (n != uNumer_) {
        for (int i = 0; i < K; ++i) {
            const std::int64_t k = static_cast<std::int64_t>(n) - 1 - i;
            u_[i] = 0.0f;
            if (k >= 0 && (!czytajProbke(k, u_[i]) || !skonczone(&u_[i], 1))) {
                uNumer_ = -1;
                return false;
            }
        }
    }
    uNumer_ = n;
    return true;
}

void Predyktory::krokNSK(float v) {
    const int K = LiczbaWsp_;
    const double lambda = Parametr_;
    if (!wektorU(NumerProbki)) {
        fault_ = PredictorFault::InputUnreadable;
        return;
    }
    const float* u = u_.data();
    Macierz& P = *MacierzP_;

    // Step 2: A = ((P·u)·uᵀ)·P. Pu is K × 1, M = Pu·uᵀ is K × K (a one-term sum: Pu(i)·u(j) + 0).
    Wektor Pu;
    for (int i = 0; i < K; ++i) {
        float acc = 0.0f;
        for (int k = 0; k < K; ++k)
            acc = f32(static_cast<double>(P(i, k)) * u[k] + acc);
        Pu[i] = acc;
    }
    if (!skonczone(Pu, K)) {
        przepelnienie();
        return;
    }
    Tablica M;
    for (int i = 0; i < K; ++i)
        for (int j = 0; j < K; ++j)
            M[i * S + j] = f32(static_cast<double>(Pu[i]) * u[j] + 0.0f);
    if (!skonczone(M, K)) {
        przepelnienie();
        return;
    }
    // A(i, j) = Σ_k M(i, k)·P(k, j): k outermost over whole rows, so each element still takes its
    // terms in k order while the j loop runs over independent accumulators.
    Tablica A;
    for (int i = 0; i < K; ++i) {
        float* a = &A[i * S];
        for (int j = 0; j < K; ++j)
            a[j] = 0.0f;
        for (int k = 0; k < K; ++k) {
            const double m = M[i * S + k];
            const float* p = P.wiersz(k);
            for (int j = 0; j < K; ++j)
                a[j] = f32(m * p[j] + a[j]);
        }
    }
    if (!skonczone(A, K)) {
        przepelnienie();
        return;
    }

    // Step 3: d = (uᵀ·P)·u, den = d + λ.
    Wektor uP;
    for (int j = 0; j < K; ++j)
        uP[j] = 0.0f;
    for (int k = 0; k < K; ++k) {
        const double uk = u[k];
        const float* p = P.wiersz(k);
        for (int j = 0; j < K; ++j)
            uP[j] = f32(uk * p[j] + uP[j]);
    }
    if (!skonczone(uP, K)) {
        przepelnienie();
        return;
    }
    float d = 0.0f;
    for (int j = 0; j < K; ++j)
        d = f32(static_cast<double>(uP[j]) * u[j] + d);
    const float den = f32(d + lambda);
    if (!std::isfinite(d) || !std::isfinite(den)) {
        przepelnienie();
        return;
    }

    // Step 4: g = 1 / den; A = A·g.
    if (den == 0.0f) {
        fault_ = PredictorFault::DivisionByZero;
        return;
    }
    const float g = f32(1.0 / den);
    if (!std::isfinite(g)) {
        przepelnienie();
        return;
    }
    for (int i = 0; i < K; ++i)
        for (int j = 0; j < K; ++j)
            A[i * S + j] = f32(static_cast<double>(A[i * S + j]) * g);
    if (!skonczone(A, K)) {
        przepelnienie();
        return;
    }

    // Step 5: P' = (1/λ)·(P − A), the difference first.
    Tablica Pn;
    for (int i = 0; i < K; ++i)
        for (int j = 0; j < K; ++j)
            Pn[i * S + j] = f32(static_cast<double>(P(i, j)) - A[i * S + j]);
    if (!skonczone(Pn, K)) {
        przepelnienie();
        return;
    }
    if (Parametr_ == 0.0f) {
        fault_ = PredictorFault::DivisionByZero;
        return;
    }
    const float odwrotnosc = f32(1.0 / lambda);
    if (!std::isfinite(odwrotnosc)) {
        przepelnienie();
        return;
    }
    for (int i = 0; i < K; ++i)
        for (int j = 0; j < K; ++j)
            Pn[i * S + j] = f32(static_cast<double>(Pn[i * S + j]) * odwrotnosc);
    if (!skonczone(Pn, K)) {
        przepelnienie();
        return;
    }

    // Step 7: e = v − ŷ; an overflowing prediction is reported by Przewiduj and counts as 0.
    const float e = f32(static_cast<double>(v) - Przewiduj());
    if (!sprawdzWynik(e))
        return;

    // Step 8: W = w + ((P'·e)·u).
    Tablica Pe;
    for (int i = 0; i < K; ++i)
        for (int j = 0; j < K; ++j)
            Pe[i * S + j] = f32(static_cast<double>(Pn[i * S + j]) * e);
    if (!skonczone(Pe, K)) {
        przepelnienie();
        return;
    }
    Wektor t;
    for (int i = 0; i < K; ++i) {
        float acc = 0.0f;
        for (int k = 0; k < K; ++k)
            acc = f32(static_cast<double>(Pe[i * S + k]) * u[k] + acc);
        t[i] = acc;
    }
    if (!skonczone(t, K)) {
        przepelnienie();
        return;
    }
    Wektor W;
    for (int i = 0; i < K; ++i)
        W[i] = f32(static_cast<double>(Wspolczynniki_[i]) + t[i]);
    if (!skonczone(W, K)) {
        przepelnienie();
        return;
    }

    // Steps 9 to 11: the new coefficients and P, then the history moves away from index 0 and
    // takes v itself.
    for (int i = 0; i < K; ++i) {
        Wspolczynniki_[i] = W[i];
        float* p = P.wiersz(i);
        for (int j = 0; j < K; ++j)
            p[j] = Pn[i * S + j];
    }
    for (int i = K - 1; i > 0; --i)
        Probki_[i] = Probki_[i - 1];
    Probki_[0] = v;
}
