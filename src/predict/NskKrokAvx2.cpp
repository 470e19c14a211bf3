// The AVX2 variant of the least-squares step (see NskKrok.h). The loops over a row j run four
// doubles at a time; a row of a Macierz holds 12 floats, the ones from K on being 0, so a row is
// three groups of four and the spare lanes compute zeros that are never read back. Products summed
// over k (row times vector) stay scalar: their terms must be added in k order.
//
// Only the two functions below carry the AVX2 target; the file itself is built for the baseline,
// so no inline function shared with other files is ever compiled with AVX2 instructions.

#include "predict/NskKrok.h"

#ifdef MODULACJE_NSK_AVX2

#include <cmath>
#include <cstring>
#include <immintrin.h>
#include <limits>

namespace {

constexpr int R = Macierz::kRozstep;
constexpr int G = R / 4; // groups of four doubles per row
static_assert(G == 3, "the row loops below are written out for three groups");
constexpr double kFloatMax = std::numeric_limits<float>::max();

#define AVX2 __attribute__((target("avx2"), always_inline)) inline

inline double f32(double x) {
    return static_cast<float>(x);
}
inline bool skonczona(double x) {
    return std::fabs(x) <= kFloatMax;
}

// The four doubles rounded to float32 and widened back.
AVX2 __m256d zaokraglij(__m256d x) {
    return _mm256_cvtps_pd(_mm256_cvtpd_ps(x));
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

} // namespace

__attribute__((target("avx2"))) NskWynik nskMacierzPAvx2(const Macierz& P, const float* uf,
                                                         float lambdaf, Macierz& Pn) {
    const int K = P.Wiersze();
    const double lambda = lambdaf;
    double u[R];
    for (int i = 0; i < R; ++i)
        u[i] = uf[i];
    __m256d Pd[Macierz::kMaxWymiar][G];
    for (int k = 0; k < K; ++k)
        for (int g = 0; g < G; ++g)
            Pd[k][g] = wczytaj(P.wiersz(k) + 4 * g);

    // Step 2: A = ((P·u)·uᵀ)·P; Pu(i) = Σ_k P(i, k)·u(k); M(i, k) = Pu(i)·u(k) + 0, one term.
    // k outermost: the K sums are independent chains, interleaved, each still in k order.
    double Pu[R] = {};
    for (int k = 0; k < K; ++k)
        for (int i = 0; i < K; ++i)
            Pu[i] = f32(static_cast<double>(P(i, k)) * u[k] + Pu[i]);
    bool ok = true;
    for (int i = 0; i < K; ++i)
        ok &= skonczona(Pu[i]);
    if (!ok)
        return NskWynik::Przepelnienie;
    // A(i, ·) = Σ_k M(i, k)·P(k, ·), each lane adding its terms in k order. Two rows at a time
    // give six independent accumulators, enough to hide the latency of the rounding; an odd last
    // row is paired with a row of zeros (Pu = 0) that is never read.
    __m256d A[R][G];
    Straznik straznikA;
    straznikA.zeruj();
    for (int i = 0; i < K; i += 2) {
        __m256d a0 = _mm256_setzero_pd(), a1 = a0, a2 = a0;
        __m256d b0 = a0, b1 = a0, b2 = a0;
        for (int k = 0; k < K; ++k) {
            const double m = f32(Pu[i] * u[k] + 0.0);
            const double n = f32(Pu[i + 1] * u[k] + 0.0);
            ok &= skonczona(m) & skonczona(n);
            const __m256d mm = _mm256_set1_pd(m);
            const __m256d nn = _mm256_set1_pd(n);
            a0 = zaokraglij(_mm256_add_pd(_mm256_mul_pd(mm, Pd[k][0]), a0));
            a1 = zaokraglij(_mm256_add_pd(_mm256_mul_pd(mm, Pd[k][1]), a1));
            a2 = zaokraglij(_mm256_add_pd(_mm256_mul_pd(mm, Pd[k][2]), a2));
            b0 = zaokraglij(_mm256_add_pd(_mm256_mul_pd(nn, Pd[k][0]), b0));
            b1 = zaokraglij(_mm256_add_pd(_mm256_mul_pd(nn, Pd[k][1]), b1));
            b2 = zaokraglij(_mm256_add_pd(_mm256_mul_pd(nn, Pd[k][2]), b2));
        }
        A[i][0] = a0;
        A[i][1] = a1;
        A[i][2] = a2;
        A[i + 1][0] = b0;
        A[i + 1][1] = b1;
        A[i + 1][2] = b2;
        straznikA.dodaj(a0);
        straznikA.dodaj(a1);
        straznikA.dodaj(a2);
        straznikA.dodaj(b0);
        straznikA.dodaj(b1);
        straznikA.dodaj(b2);
    }
    if (!ok || !straznikA.dobrze())
        return NskWynik::Przepelnienie;

    // Step 3: d = (uᵀ·P)·u, den = d + λ.
    __m256d uP[G];
    for (int g = 0; g < G; ++g)
        uP[g] = _mm256_setzero_pd();
    for (int k = 0; k < K; ++k) {
        const __m256d uk = _mm256_set1_pd(u[k]);
        for (int g = 0; g < G; ++g)
            uP[g] = zaokraglij(_mm256_add_pd(_mm256_mul_pd(uk, Pd[k][g]), uP[g]));
    }
    double uPd[R];
    for (int g = 0; g < G; ++g)
        _mm256_storeu_pd(uPd + 4 * g, uP[g]);
    double d = 0.0;
    for (int j = 0; j < K; ++j) {
        ok &= skonczona(uPd[j]);
        d = f32(uPd[j] * u[j] + d);
    }
    const double den = f32(d + lambda);
    if (!ok || !skonczona(d) || !skonczona(den))
        return NskWynik::Przepelnienie;

    // Step 4: g = 1 / den; A = A·g.
    if (den == 0.0)
        return NskWynik::DzieleniePrzezZero;
    const double g1 = f32(1.0 / den);
    if (!skonczona(g1))
        return NskWynik::Przepelnienie;
    const __m256d gv = _mm256_set1_pd(g1);
    // Step 5: P' = (1/λ)·(P − A·g), the difference first.
    Straznik straznikAg, straznikD;
    straznikAg.zeruj();
    straznikD.zeruj();
    __m256d D[Macierz::kMaxWymiar][G];
    for (int i = 0; i < K; ++i)
        for (int g = 0; g < G; ++g) {
            const __m256d ag = zaokraglij(_mm256_mul_pd(A[i][g], gv));
            straznikAg.dodaj(ag);
            D[i][g] = zaokraglij(_mm256_sub_pd(Pd[i][g], ag));
            straznikD.dodaj(D[i][g]);
        }
    if (!straznikAg.dobrze() || !straznikD.dobrze())
        return NskWynik::Przepelnienie;
    if (lambda == 0.0)
        return NskWynik::DzieleniePrzezZero;
    const double odwrotnosc = f32(1.0 / lambda);
    if (!skonczona(odwrotnosc))
        return NskWynik::Przepelnienie;
    const __m256d ov = _mm256_set1_pd(odwrotnosc);
    Straznik straznikPn;
    straznikPn.zeruj();
    for (int i = 0; i < K; ++i)
        for (int g = 0; g < G; ++g) {
            const __m256d pn = _mm256_mul_pd(D[i][g], ov);
            straznikPn.dodaj(zaokraglij(pn));
            zapisz(Pn.wiersz(i) + 4 * g, pn);
        }
    return straznikPn.dobrze() ? NskWynik::Dobrze : NskWynik::Przepelnienie;
}

__attribute__((target("avx2"))) bool nskWagiAvx2(const Macierz& Pn, const float* uf, float e,
                                                 const float* w, float* W) {
    const int K = Pn.Wiersze();
    double u[R];
    for (int i = 0; i < R; ++i)
        u[i] = uf[i];
    // Pe = P'·e, then t(i) = Σ_k Pe(i, k)·u(k) and W = w + t.
    const __m256d ev = _mm256_set1_pd(e);
    Straznik straznik;
    straznik.zeruj();
    double Pe[Macierz::kMaxWymiar][R];
    for (int i = 0; i < K; ++i)
        for (int g = 0; g < G; ++g) {
            const __m256d pe = zaokraglij(_mm256_mul_pd(wczytaj(Pn.wiersz(i) + 4 * g), ev));
            straznik.dodaj(pe);
            _mm256_storeu_pd(&Pe[i][4 * g], pe);
        }
    if (!straznik.dobrze())
        return false;
    double t[Macierz::kMaxWymiar] = {};
    for (int k = 0; k < K; ++k)
        for (int i = 0; i < K; ++i)
            t[i] = f32(Pe[i][k] * u[k] + t[i]);
    bool ok = true;
    for (int i = 0; i < K; ++i)
        ok &= skonczona(t[i]);
    if (!ok)
        return false;
    for (int i = 0; i < K; ++i) {
        const double wi = f32(static_cast<double>(w[i]) + t[i]);
        ok &= skonczona(wi);
        W[i] = static_cast<float>(wi);
    }
    return ok;
}

#endif
