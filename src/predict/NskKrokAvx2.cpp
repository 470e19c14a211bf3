// The AVX2 variant of the least-squares step (see NskKrok.h), four doubles at a time. A row of a
// Macierz holds 12 floats, the ones from K on being 0, so a row is three groups of four lanes;
// spare lanes and spare rows hold zeros that are computed with the rest and never read back. Every
// lane adds its terms in k order and is rounded to float32 after each one, as the scalar variant
// does.
//
// Only functions marked with a target carry AVX instructions; the file itself is built for the
// baseline, so no inline function shared with other files is ever compiled with them.

#include "predict/NskKrok.h"

#ifdef MODULACJE_NSK_AVX2

#include <cmath>
#include <immintrin.h>
#include <limits>

namespace {

constexpr int R = Macierz::kRozstep; // lanes per row, and rows of the padded local matrices
constexpr int G = R / 4;             // groups of four doubles per row
static_assert(G == 3, "the blocked loops below are written for three groups per row");
constexpr double kFloatMax = std::numeric_limits<float>::max();

#define AVX2 __attribute__((target("avx2"), always_inline)) inline

inline double f32(double x) {
    return static_cast<float>(x);
}
inline bool skonczona(double x) {
    return std::fabs(x) <= kFloatMax;
}

// The lanes rounded to float32 and widened back.
AVX2 __m256d zaokraglij(__m256d x) {
    return _mm256_cvtps_pd(_mm256_cvtpd_ps(x));
}
// f32(a·b + c) in every lane.
AVX2 __m256d krok(__m256d a, __m256d b, __m256d c) {
    return zaokraglij(_mm256_add_pd(_mm256_mul_pd(a, b), c));
}
AVX2 __m256d wczytaj(const float* p) {
    return _mm256_cvtps_pd(_mm_loadu_ps(p));
}
AVX2 void zapisz(float* p, __m256d x) {
    _mm_storeu_ps(p, _mm256_cvtpd_ps(x));
}

// Collects whether any lane seen was ±∞ or NaN.
struct Straznik {
    __m256d zle;
    AVX2 void zeruj() { zle = _mm256_setzero_pd(); }
    AVX2 void dodaj(__m256d x) {
        const __m256d modul = _mm256_andnot_pd(_mm256_set1_pd(-0.0), x);
        zle = _mm256_or_pd(zle, _mm256_cmp_pd(modul, _mm256_set1_pd(kFloatMax), _CMP_NLE_UQ));
    }
    AVX2 bool dobrze() const { return _mm256_movemask_pd(zle) == 0; }
};

// A matrix of up to 12 × 12 doubles held as rows of three groups; rows from K on are 0.
using Wiersze = __m256d[R][G];

// out(i) = Σ_k X(i, k)·u(k), k ascending, rounded after every term, for the 12 rows at once:
// each 4 × 4 block is transposed in registers so that four rows advance together in one vector.
AVX2 void wierszeRazyWektor(const Wiersze& X, const double* u, int K, double* out) {
    __m256d acc[G] = {_mm256_setzero_pd(), _mm256_setzero_pd(), _mm256_setzero_pd()};
    for (int g = 0; g < G && 4 * g < K; ++g) {
        __m256d kolumny[G][4];
#pragma GCC unroll 3
        for (int b = 0; b < G; ++b) {
            const __m256d t0 = _mm256_unpacklo_pd(X[4 * b][g], X[4 * b + 1][g]);
            const __m256d t1 = _mm256_unpackhi_pd(X[4 * b][g], X[4 * b + 1][g]);
            const __m256d t2 = _mm256_unpacklo_pd(X[4 * b + 2][g], X[4 * b + 3][g]);
            const __m256d t3 = _mm256_unpackhi_pd(X[4 * b + 2][g], X[4 * b + 3][g]);
            kolumny[b][0] = _mm256_permute2f128_pd(t0, t2, 0x20);
            kolumny[b][1] = _mm256_permute2f128_pd(t1, t3, 0x20);
            kolumny[b][2] = _mm256_permute2f128_pd(t0, t2, 0x31);
            kolumny[b][3] = _mm256_permute2f128_pd(t1, t3, 0x31);
        }
        for (int c = 0; c < 4 && 4 * g + c < K; ++c) {
            const __m256d uk = _mm256_set1_pd(u[4 * g + c]);
#pragma GCC unroll 3
            for (int b = 0; b < G; ++b)
                acc[b] = krok(kolumny[b][c], uk, acc[b]);
        }
    }
#pragma GCC unroll 3
    for (int b = 0; b < G; ++b)
        _mm256_storeu_pd(out + 4 * b, acc[b]);
}

// What the stages of one step share. Rows from K on are 0 in every matrix.
struct Stan {
    int K;
    double u[R];
    Wiersze Pd;                 // P
    double Pu[R];               // P·u
    alignas(64) double M[R][R]; // (P·u)·uᵀ: M(i, k) = f32(Pu(i)·u(k) + 0), a one-term sum
    alignas(64) double A[R][R]; // M·P
    // Step 3 and the two quotients: they depend on P, u and λ alone, so they are formed before
    // A and their chains of roundings overlap it; they are tested in the step's order later.
    double den, g, odwrotnosc; // d + λ, f32(1 / den), f32(1 / λ)
    bool skalaryOk;            // uᵀ·P, d and den finite
};

// u, P, step 3, P·u and M.
AVX2 void przygotuj(Stan& s, const Macierz& P, const float* uf, float lambdaf) {
    const int K = P.Wiersze();
    s.K = K;
    for (int i = 0; i < R; ++i)
        s.u[i] = uf[i];
    for (int k = 0; k < R; ++k)
        for (int g = 0; g < G; ++g)
            s.Pd[k][g] = k < K ? wczytaj(P.wiersz(k) + 4 * g) : _mm256_setzero_pd();

    // Step 3: d = (uᵀ·P)·u, den = d + λ; then g = 1 / den and 1/λ (a zero divisor gives ∞ here,
    // harmlessly: the tests below come first).
    const double lambda = lambdaf;
    __m256d uP[G] = {_mm256_setzero_pd(), _mm256_setzero_pd(), _mm256_setzero_pd()};
    for (int k = 0; k < K; ++k) {
        const __m256d uk = _mm256_set1_pd(s.u[k]);
#pragma GCC unroll 3
        for (int g = 0; g < G; ++g)
            uP[g] = krok(uk, s.Pd[k][g], uP[g]);
    }
    double uPd[R];
    for (int g = 0; g < G; ++g)
        _mm256_storeu_pd(uPd + 4 * g, uP[g]);
    bool skalaryOk = true;
    double d = 0.0;
    for (int j = 0; j < K; ++j) {
        skalaryOk &= skonczona(uPd[j]);
        d = f32(uPd[j] * s.u[j] + d);
    }
    s.den = f32(d + lambda);
    s.skalaryOk = skalaryOk && skonczona(d) && skonczona(s.den);
    s.g = f32(1.0 / s.den);
    s.odwrotnosc = f32(1.0 / lambda);

    wierszeRazyWektor(s.Pd, s.u, K, s.Pu);
    const __m256d zero = _mm256_setzero_pd();
    for (int i = 0; i < R; ++i) {
        const __m256d pu = _mm256_set1_pd(s.Pu[i]);
#pragma GCC unroll 3
        for (int g = 0; g < G; ++g)
            _mm256_store_pd(&s.M[i][4 * g], krok(pu, _mm256_loadu_pd(s.u + 4 * g), zero));
    }
}

// A(i, ·) = Σ_k M(i, k)·P(k, ·), three rows at a time: nine independent accumulators hide the
// latency of the rounding.
AVX2 void iloczynA(Stan& s) {
    const int K = s.K;
    for (int i = 0; i < K; i += 3) {
        __m256d acc[3][G];
#pragma GCC unroll 3
        for (int r = 0; r < 3; ++r)
#pragma GCC unroll 3
            for (int g = 0; g < G; ++g)
                acc[r][g] = _mm256_setzero_pd();
        for (int k = 0; k < K; ++k) {
#pragma GCC unroll 3
            for (int r = 0; r < 3; ++r) {
                const __m256d mm = _mm256_set1_pd(s.M[i + r][k]);
#pragma GCC unroll 3
                for (int g = 0; g < G; ++g)
                    acc[r][g] = krok(mm, s.Pd[k][g], acc[r][g]);
            }
        }
#pragma GCC unroll 3
        for (int r = 0; r < 3; ++r)
#pragma GCC unroll 3
            for (int g = 0; g < G; ++g)
                _mm256_store_pd(&s.A[i + r][4 * g], acc[r][g]);
    }
}

// Steps 3 to 5 once A is known: d, den, g, A·g, P − A·g and P' = (1/λ)·(P − A·g).
AVX2 bool skonczone(const Wiersze& X, int K) {
    Straznik straznik;
    straznik.zeruj();
    for (int i = 0; i < K; ++i)
        for (int g = 0; g < G; ++g)
            straznik.dodaj(X[i][g]);
    return straznik.dobrze();
}
AVX2 bool skonczone(const double (&X)[R][R], int K) {
    Straznik straznik;
    straznik.zeruj();
    for (int i = 0; i < K; ++i)
        for (int g = 0; g < G; ++g)
            straznik.dodaj(_mm256_load_pd(&X[i][4 * g]));
    return straznik.dobrze();
}

// Steps 4 and 5 once A is known: A·g, P − A·g and P' = (1/λ)·(P − A·g).
//
// Only the result is tested for ±∞ and NaN: every operation here and in the product is a sum,
// difference or product with finite nonzero scalars, so a non-finite element anywhere earlier
// leaves a non-finite element in P'. Where the first overflow was matters only against the two
// divisions by zero, and those rare cases test what came before them.
AVX2 NskWynik dokoncz(Stan& s, float lambda, Macierz& Pn) {
    const int K = s.K;
    if (!s.skalaryOk)
        return NskWynik::Przepelnienie;
    if (s.den == 0.0)
        return skonczone(s.A, K) ? NskWynik::DzieleniePrzezZero : NskWynik::Przepelnienie;
    if (!skonczona(s.g))
        return NskWynik::Przepelnienie;
    const __m256d gv = _mm256_set1_pd(s.g);
    Wiersze D;
    for (int i = 0; i < K; ++i)
        for (int g = 0; g < G; ++g)
            D[i][g] = zaokraglij(_mm256_sub_pd(
                s.Pd[i][g], zaokraglij(_mm256_mul_pd(_mm256_load_pd(&s.A[i][4 * g]), gv))));
    if (lambda == 0.0f)
        return skonczone(D, K) ? NskWynik::DzieleniePrzezZero : NskWynik::Przepelnienie;
    if (!skonczona(s.odwrotnosc))
        return NskWynik::Przepelnienie;
    const __m256d ov = _mm256_set1_pd(s.odwrotnosc);
    Straznik straznik;
    straznik.zeruj();
    for (int i = 0; i < K; ++i)
        for (int g = 0; g < G; ++g) {
            const __m256d pn = _mm256_mul_pd(D[i][g], ov);
            straznik.dodaj(zaokraglij(pn));
            zapisz(Pn.wiersz(i) + 4 * g, pn);
        }
    return straznik.dobrze() ? NskWynik::Dobrze : NskWynik::Przepelnienie;
}

} // namespace

__attribute__((target("avx2"))) NskWynik nskMacierzPAvx2(const Macierz& P, const float* u,
                                                         float lambda, Macierz& Pn) {
    Stan s;
    przygotuj(s, P, u, lambda);
    iloczynA(s);
    return dokoncz(s, lambda, Pn);
}

__attribute__((target("avx2"))) bool nskWagiAvx2(const Macierz& Pn, const float* uf, float e,
                                                 const float* w, float* W) {
    const int K = Pn.Wiersze();
    double u[R];
    for (int i = 0; i < R; ++i)
        u[i] = uf[i];
    // Pe = P'·e, then t(i) = Σ_k Pe(i, k)·u(k) and W = w + t.
    const __m256d ev = _mm256_set1_pd(e);
    // Only W is tested: a non-finite Pe or t leaves a non-finite W.
    Wiersze Pe;
    for (int i = 0; i < R; ++i)
        for (int g = 0; g < G; ++g)
            Pe[i][g] = i < K ? zaokraglij(_mm256_mul_pd(wczytaj(Pn.wiersz(i) + 4 * g), ev))
                             : _mm256_setzero_pd();
    double t[R];
    wierszeRazyWektor(Pe, u, K, t);
    bool ok = true;
    for (int i = 0; i < K; ++i) {
        ok &= skonczona(t[i]);
        const double wi = f32(static_cast<double>(w[i]) + t[i]);
        ok &= skonczona(wi);
        W[i] = static_cast<float>(wi);
    }
    return ok;
}

#endif
