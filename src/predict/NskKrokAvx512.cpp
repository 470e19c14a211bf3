// The AVX-512 variant of the least-squares step (see NskKrok.h).
//
// Every chain C = f32(a·b + C) runs in double lanes as one fused multiply-add followed by the
// round trip double → float → double: the product of two float32 values is exact in double, so
// the fused operation gives the same double as a multiplication followed by an addition, and the
// one rounding to float32 follows. An element formula with a single operation on two float32
// values (A·g, P − A·g, (1/λ)·D, P'·e, w + t) is computed in float32 directly: evaluated in double
// and rounded once, such an operation gives the correctly rounded float32 result, since double
// holds more than twice the float32 precision plus two bits.
//
// P and its transpose Pt are both at hand, so the three chains over k that need a row of P
// (uᵀ·P, A = M·P) or a column of it (P·u) read contiguous lanes; P' is transposed once, as the
// weights' chain needs its columns and the next step needs Pt'.
//
// Lane layout: a row holds 12 lanes (Macierz::kRozstep), the ones from K on being 0. Two rows
// (24 doubles) make three 8-lane vectors: row i's lanes 0–7, row i's lanes 8–11 with row i + 1's
// lanes 0–3, row i + 1's lanes 4–11. The chains of uᵀ·P and P·u share the same packing: lanes
// 0–11 are uᵀ·P, lanes 12–23 are P·u.
//
// Only functions marked with a target carry AVX-512 instructions; the file itself is built for
// the baseline.

#include "predict/NskKrok.h"

#ifdef MODULACJE_NSK_AVX2

#include <cmath>
#include <immintrin.h>
#include <limits>

namespace {

constexpr int R = Macierz::kRozstep;
constexpr float kFloatMax = std::numeric_limits<float>::max();

#define AVX512 __attribute__((target("avx512f,avx2,fma"), always_inline)) inline

// The zero-masked forms with a full mask are the plain conversions; GCC 12's headers give the
// plain forms an undefined source operand that its own warnings then flag.
AVX512 __m512d rozszerz(__m256 x) {
    return _mm512_maskz_cvtps_pd(0xFF, x);
}
AVX512 __m256 zwez(__m512d x) {
    return _mm512_maskz_cvtpd_ps(0xFF, x);
}
// f32(a·b + c) in every lane, widened back to double.
AVX512 __m512d krok(__m512d a, __m512d b, __m512d c) {
    return rozszerz(zwez(_mm512_fmadd_pd(a, b, c)));
}
// Lanes 0–3 from p, lanes 4–7 from q.
AVX512 __m256 polowki(const float* p, const float* q) {
    return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(p)), _mm_loadu_ps(q), 1);
}
// A lane mask of the lanes that are ±∞ or NaN.
AVX512 __mmask16 nieskonczone(__m512 x) {
    return _mm512_cmp_ps_mask(_mm512_abs_ps(x), _mm512_set1_ps(kFloatMax), _CMP_NLE_UQ);
}

struct Stan {
    alignas(64) double u[16];       // u, zeros from K on
    alignas(64) double uPPu[32];    // uᵀ·P in lanes 0–11, P·u in lanes 12–23, 0 after
    alignas(64) double M[R][16];    // M[k][i] = M(i, k) = f32(Pu(i)·u(k) + 0), rows i ≥ K are 0
    alignas(64) float A[R * R + 4]; // M·P rounded, rows of 12
    int K;
};

// u, then uᵀ·P and P·u, one vector of each three per k.
AVX512 void wektory(Stan& s, const Macierz& P, const Macierz& Pt, const float* u) {
    const int K = s.K;
    _mm512_store_pd(s.u, rozszerz(_mm256_loadu_ps(u)));
    _mm512_store_pd(s.u + 8, rozszerz(_mm256_zextps128_ps256(_mm_loadu_ps(u + 8))));
    __m512d x0 = _mm512_setzero_pd(), x1 = _mm512_setzero_pd(), x2 = _mm512_setzero_pd();
    for (int k = 0; k < K; ++k) {
        const float* wiersz = P.wiersz(k);   // P(k, ·)
        const float* kolumna = Pt.wiersz(k); // P(·, k)
        const __m512d uk = _mm512_set1_pd(s.u[k]);
        x0 = krok(uk, rozszerz(_mm256_loadu_ps(wiersz)), x0);
        x1 = krok(uk, rozszerz(polowki(wiersz + 8, kolumna)), x1);
        x2 = krok(uk, rozszerz(_mm256_loadu_ps(kolumna + 4)), x2);
    }
    _mm512_store_pd(s.uPPu, x0);
    _mm512_store_pd(s.uPPu + 8, x1);
    _mm512_store_pd(s.uPPu + 16, x2);
    _mm512_store_pd(s.uPPu + 24, _mm512_setzero_pd());
}

// M(·, k) = f32(P·u · u(k) + 0) for every k, in float32: one exact product, one rounding.
AVX512 void macierzM(Stan& s) {
    const __m256 lo = zwez(_mm512_loadu_pd(s.uPPu + 12));
    const __m256 hi = zwez(_mm512_loadu_pd(s.uPPu + 20));
    for (int k = 0; k < R; ++k) {
        const __m256 uk = _mm256_set1_ps(static_cast<float>(s.u[k]));
        const __m256 zero = _mm256_setzero_ps();
        _mm512_store_pd(&s.M[k][0], rozszerz(_mm256_add_ps(_mm256_mul_ps(lo, uk), zero)));
        _mm512_store_pd(&s.M[k][8], rozszerz(_mm256_add_ps(_mm256_mul_ps(hi, uk), zero)));
    }
}

// A = M·P for the first 2·Pary rows, every chain in its own lane; all 3·Pary vectors advance
// together over k, so the latency of one rounding is hidden behind the others.
template <int Pary>
__attribute__((target("avx512f,avx2,fma"))) void iloczyn(Stan& s, const Macierz& P) {
    const int K = s.K;
    __m512d acc[Pary][3];
#pragma GCC unroll 6
    for (int p = 0; p < Pary; ++p)
#pragma GCC unroll 3
        for (int v = 0; v < 3; ++v)
            acc[p][v] = _mm512_setzero_pd();
    for (int k = 0; k < K; ++k) {
        const float* w = P.wiersz(k);
        const __m512d p0 = rozszerz(_mm256_loadu_ps(w));
        const __m512d p1 = rozszerz(polowki(w + 8, w));
        const __m512d p2 = rozszerz(_mm256_loadu_ps(w + 4));
        const double* m = s.M[k];
#pragma GCC unroll 6
        for (int p = 0; p < Pary; ++p) {
            const __m512d a = _mm512_set1_pd(m[2 * p]);
            const __m512d b = _mm512_set1_pd(m[2 * p + 1]);
            const __m512d ab = _mm512_mask_blend_pd(0xF0, a, b);
            acc[p][0] = krok(a, p0, acc[p][0]);
            acc[p][1] = krok(ab, p1, acc[p][1]);
            acc[p][2] = krok(b, p2, acc[p][2]);
        }
    }
#pragma GCC unroll 6
    for (int p = 0; p < Pary; ++p)
#pragma GCC unroll 3
        for (int v = 0; v < 3; ++v)
            _mm256_storeu_ps(s.A + 24 * p + 8 * v, zwez(acc[p][v]));
}

__attribute__((target("avx512f,avx2,fma"))) void iloczynA(Stan& s, const Macierz& P) {
    switch ((s.K + 1) / 2) {
    case 1:
        return iloczyn<1>(s, P);
    case 2:
        return iloczyn<2>(s, P);
    case 3:
        return iloczyn<3>(s, P);
    case 4:
        return iloczyn<4>(s, P);
    case 5:
        return iloczyn<5>(s, P);
    default:
        return iloczyn<6>(s, P);
    }
}

// The first n floats of the rows, 16 at a time; the last vector masked.
AVX512 __mmask16 maska(int v, int n) {
    const int reszta = n - 16 * v;
    return reszta >= 16 ? __mmask16(0xFFFF) : __mmask16((1u << reszta) - 1);
}

} // namespace

__attribute__((target("avx512f,avx2,fma"))) NskWynik
nskMacierzPAvx512(const Macierz& P, const Macierz& Pt, const float* u, float lambdaf, Macierz& Pn,
                  Macierz& Ptn) {
    Stan s;
    const int K = P.Wiersze();
    s.K = K;
    wektory(s, P, Pt, u);

    // Step 3: d = (uᵀ·P)·u, den = d + λ; then g = 1 / den and 1/λ (a zero divisor gives ∞ here,
    // harmlessly: the tests below come first). They overlap the product in the processor.
    bool skalaryOk = true;
    __m128d d = _mm_setzero_pd();
    for (int j = 0; j < K; ++j) {
        skalaryOk &= std::fabs(s.uPPu[j]) <= kFloatMax;
        d = _mm_fmadd_sd(_mm_set_sd(s.uPPu[j]), _mm_set_sd(s.u[j]), d);
        d = _mm_cvtss_sd(d, _mm_cvtsd_ss(_mm_setzero_ps(), d));
    }
    const double dd = _mm_cvtsd_f64(d);
    const float den = static_cast<float>(dd + static_cast<double>(lambdaf));
    skalaryOk = skalaryOk && std::fabs(dd) <= kFloatMax && std::fabs(den) <= kFloatMax;

    macierzM(s);
    iloczynA(s, P);

    // Steps 4 and 5 on the first K rows, in float32. Only the results are tested for ±∞ and
    // NaN: every operation before is a sum, difference or product with finite nonzero scalars, so
    // a non-finite element anywhere earlier leaves a non-finite element in P'. Where the first
    // overflow was matters only against the two divisions by zero, and those rare cases test
    // what came before them.
    const int n = R * K;
    const int wektory16 = (n + 15) / 16;
    if (!skalaryOk)
        return NskWynik::Przepelnienie;
    if (den == 0.0f) {
        __mmask16 zle = 0;
        for (int v = 0; v < wektory16; ++v)
            zle |= nieskonczone(_mm512_maskz_loadu_ps(maska(v, n), s.A + 16 * v));
        return zle ? NskWynik::Przepelnienie : NskWynik::DzieleniePrzezZero;
    }
    const float g = 1.0f / den;
    if (!(std::fabs(g) <= kFloatMax))
        return NskWynik::Przepelnienie;
    const __m512 gv = _mm512_set1_ps(g);
    __m512 D[(R * Macierz::kMaxWymiar + 15) / 16];
    __mmask16 zle = 0;
    for (int v = 0; v < wektory16; ++v) {
        const __mmask16 m = maska(v, n);
        const __m512 Ag = _mm512_mul_ps(_mm512_maskz_loadu_ps(m, s.A + 16 * v), gv);
        D[v] = _mm512_sub_ps(_mm512_maskz_loadu_ps(m, P.wiersz(0) + 16 * v), Ag);
        zle |= nieskonczone(D[v]);
    }
    if (lambdaf == 0.0f)
        return zle ? NskWynik::Przepelnienie : NskWynik::DzieleniePrzezZero;
    const float odwrotnosc = 1.0f / lambdaf;
    if (!(std::fabs(odwrotnosc) <= kFloatMax))
        return NskWynik::Przepelnienie;
    const __m512 ov = _mm512_set1_ps(odwrotnosc);
    zle = 0;
    for (int v = 0; v < wektory16; ++v) {
        const __m512 pn = _mm512_mul_ps(D[v], ov);
        zle |= nieskonczone(pn);
        _mm512_mask_storeu_ps(Pn.wiersz(0) + 16 * v, maska(v, n), pn);
    }
    if (zle)
        return NskWynik::Przepelnienie;
    nskTransponuj(Pn, Ptn);
    return NskWynik::Dobrze;
}

// t(i) = Σ_k (P'(i, k)·e)·u(k), k ascending, twelve rows in two vectors; W = w + t.
__attribute__((target("avx512f,avx2,fma"))) bool nskWagiAvx512(const Macierz& Ptn, const float* uf,
                                                               float e, const float* w, float* W) {
    const int K = Ptn.Wiersze();
    const __m256 ev = _mm256_set1_ps(e);
    __m512d lo = _mm512_setzero_pd(), hi = _mm512_setzero_pd();
    for (int k = 0; k < K; ++k) {
        const float* kolumna = Ptn.wiersz(k); // P'(·, k)
        const __m512d uk = _mm512_set1_pd(uf[k]);
        lo = krok(uk, rozszerz(_mm256_mul_ps(_mm256_loadu_ps(kolumna), ev)), lo);
        hi = krok(
            uk, rozszerz(_mm256_mul_ps(_mm256_zextps128_ps256(_mm_loadu_ps(kolumna + 8)), ev)), hi);
    }
    // Only W is tested: a non-finite P'·e or t leaves a non-finite W.
    alignas(64) float t[16];
    _mm256_store_ps(t, zwez(lo));
    _mm256_store_ps(t + 8, zwez(hi));
    bool ok = true;
    for (int i = 0; i < K; ++i) {
        W[i] = w[i] + t[i];
        ok &= std::fabs(W[i]) <= kFloatMax;
    }
    return ok;
}

#endif
