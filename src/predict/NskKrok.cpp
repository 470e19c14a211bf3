#include "predict/NskKrok.h"

#include <cmath>

#ifdef MODULACJE_NSK_AVX2
// In NskKrokAvx2.cpp; called only when the processor has the instructions.
NskWynik nskMacierzPAvx2(const Macierz& P, const float* u, float lambda, Macierz& Pn);
bool nskWagiAvx2(const Macierz& Pn, const float* u, float e, const float* w, float* W);
// In NskKrokAvx512.cpp.
NskWynik nskMacierzPAvx512(const Macierz& P, const Macierz& Pt, const float* u, float lambda,
                           Macierz& Pn, Macierz& Ptn);
bool nskWagiAvx512(const Macierz& Ptn, const float* u, float e, const float* w, float* W);
#endif

namespace {

inline float f32(double x) {
    return static_cast<float>(x);
}

bool skonczone(const Macierz& m) {
    for (std::int32_t i = 0; i < m.Wiersze(); ++i)
        for (std::int32_t j = 0; j < m.Kolumny(); ++j)
            if (!std::isfinite(m(i, j)))
                return false;
    return true;
}

bool skonczone(const float* x, int n) {
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(x[i]))
            return false;
    return true;
}

NskWynik macierzPSkalarnie(const Macierz& P, const float* u, float lambdaf, Macierz& Pn) {
    const int K = P.Wiersze();
    const double lambda = lambdaf;

    // Step 2: A = ((P·u)·uᵀ)·P. Pu is K × 1, M = Pu·uᵀ is K × K (a one-term sum Pu(i)·u(j) + 0).
    float Pu[Macierz::kMaxWymiar];
    for (int i = 0; i < K; ++i) {
        float acc = 0.0f;
        for (int k = 0; k < K; ++k)
            acc = f32(static_cast<double>(P(i, k)) * u[k] + acc);
        Pu[i] = acc;
    }
    if (!skonczone(Pu, K))
        return NskWynik::Przepelnienie;
    Macierz M(K, K);
    for (int i = 0; i < K; ++i)
        for (int j = 0; j < K; ++j)
            M(i, j) = f32(static_cast<double>(Pu[i]) * u[j] + 0.0f);
    if (!skonczone(M))
        return NskWynik::Przepelnienie;
    Macierz A(K, K);
    for (int i = 0; i < K; ++i)
        for (int j = 0; j < K; ++j) {
            float acc = 0.0f;
            for (int k = 0; k < K; ++k)
                acc = f32(static_cast<double>(M(i, k)) * P(k, j) + acc);
            A(i, j) = acc;
        }
    if (!skonczone(A))
        return NskWynik::Przepelnienie;

    // Step 3: d = (uᵀ·P)·u, den = d + λ.
    float uP[Macierz::kMaxWymiar];
    for (int j = 0; j < K; ++j) {
        float acc = 0.0f;
        for (int k = 0; k < K; ++k)
            acc = f32(static_cast<double>(u[k]) * P(k, j) + acc);
        uP[j] = acc;
    }
    if (!skonczone(uP, K))
        return NskWynik::Przepelnienie;
    float d = 0.0f;
    for (int j = 0; j < K; ++j)
        d = f32(static_cast<double>(uP[j]) * u[j] + d);
    const float den = f32(d + lambda);
    if (!std::isfinite(d) || !std::isfinite(den))
        return NskWynik::Przepelnienie;

    // Step 4: g = 1 / den; A = A·g.
    if (den == 0.0f)
        return NskWynik::DzieleniePrzezZero;
    const float g = f32(1.0 / den);
    if (!std::isfinite(g))
        return NskWynik::Przepelnienie;
    for (int i = 0; i < K; ++i)
        for (int j = 0; j < K; ++j)
            A(i, j) = f32(static_cast<double>(A(i, j)) * g);
    if (!skonczone(A))
        return NskWynik::Przepelnienie;

    // Step 5: P' = (1/λ)·(P − A), the difference first.
    for (int i = 0; i < K; ++i)
        for (int j = 0; j < K; ++j)
            Pn(i, j) = f32(static_cast<double>(P(i, j)) - A(i, j));
    if (!skonczone(Pn))
        return NskWynik::Przepelnienie;
    if (lambdaf == 0.0f)
        return NskWynik::DzieleniePrzezZero;
    const float odwrotnosc = f32(1.0 / lambda);
    if (!std::isfinite(odwrotnosc))
        return NskWynik::Przepelnienie;
    for (int i = 0; i < K; ++i)
        for (int j = 0; j < K; ++j)
            Pn(i, j) = f32(static_cast<double>(Pn(i, j)) * odwrotnosc);
    return skonczone(Pn) ? NskWynik::Dobrze : NskWynik::Przepelnienie;
}

bool wagiSkalarnie(const Macierz& Pn, const float* u, float e, const float* w, float* W) {
    const int K = Pn.Wiersze();
    const Macierz Pe = Pn * e;
    if (!skonczone(Pe))
        return false;
    for (int i = 0; i < K; ++i) {
        float t = 0.0f;
        for (int k = 0; k < K; ++k)
            t = f32(static_cast<double>(Pe(i, k)) * u[k] + t);
        if (!std::isfinite(t))
            return false;
        W[i] = t;
    }
    for (int i = 0; i < K; ++i)
        W[i] = f32(static_cast<double>(w[i]) + W[i]);
    return skonczone(W, K);
}

} // namespace

bool nskWariantDostepny(NskWariant wariant) {
    switch (wariant) {
    case NskWariant::Skalarny:
        return true;
    case NskWariant::Avx2:
#ifdef MODULACJE_NSK_AVX2
        return __builtin_cpu_supports("avx2");
#else
        return false;
#endif
    case NskWariant::Avx512:
#ifdef MODULACJE_NSK_AVX2
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx2") &&
               __builtin_cpu_supports("fma");
#else
        return false;
#endif
    }
    return false;
}

NskWariant nskNajlepszyWariant() {
    for (NskWariant wariant : {NskWariant::Avx512, NskWariant::Avx2})
        if (nskWariantDostepny(wariant))
            return wariant;
    return NskWariant::Skalarny;
}

void nskTransponuj(const Macierz& Pn, Macierz& Ptn) {
    const int K = Pn.Wiersze();
    for (int i = 0; i < K; ++i)
        for (int j = 0; j < K; ++j)
            Ptn(j, i) = Pn(i, j);
}

NskWynik nskMacierzP(NskWariant wariant, const Macierz& P, const Macierz& Pt, const float* u,
                     float lambda, Macierz& Pn, Macierz& Ptn) {
#ifdef MODULACJE_NSK_AVX2
    if (wariant == NskWariant::Avx512)
        return nskMacierzPAvx512(P, Pt, u, lambda, Pn, Ptn);
#endif
    (void)Pt;
    NskWynik wynik;
#ifdef MODULACJE_NSK_AVX2
    if (wariant == NskWariant::Avx2)
        wynik = nskMacierzPAvx2(P, u, lambda, Pn);
    else
#endif
        wynik = macierzPSkalarnie(P, u, lambda, Pn);
    if (wynik == NskWynik::Dobrze)
        nskTransponuj(Pn, Ptn);
    return wynik;
}

bool nskWagi(NskWariant wariant, const Macierz& Pn, const Macierz& Ptn, const float* u, float e,
             const float* w, float* W) {
#ifdef MODULACJE_NSK_AVX2
    if (wariant == NskWariant::Avx512)
        return nskWagiAvx512(Ptn, u, e, w, W);
    if (wariant == NskWariant::Avx2)
        return nskWagiAvx2(Pn, u, e, w, W);
#endif
    (void)wariant;
    (void)Ptn;
    return wagiSkalarnie(Pn, u, e, w, W);
}
