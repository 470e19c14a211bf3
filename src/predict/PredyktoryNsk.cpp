// The least-squares ("NSK") step of Predyktory: exponentially weighted recursive least squares.
// The arithmetic of steps 2 to 8 is in NskKrok; this file gathers the regression vector and keeps
// the predictor's state.

#include "predict/NskKrok.h"
#include "predict/Predyktory.h"

#include <cmath>
#include <cstdint>

// u(i) = sample n − 1 − i, newest first, 0 before the start. When the previous step was n − 1, u
// moves one place and only sample n − 1 is read; the stream never changes during a run, so the
// kept samples are what a fresh read would give.
bool Predyktory::wektorU(std::int32_t n) {
    const int K = LiczbaWsp_;
    if (uNumer_ >= 0 && n == uNumer_ + 1) {
        for (int i = K - 1; i > 0; --i)
            u_[i] = u_[i - 1];
        if (!czytajProbke(n - 1, u_[0]) || !std::isfinite(u_[0])) {
            uNumer_ = -1;
            return false;
        }
    } else if (n != uNumer_) {
        for (int i = 0; i < K; ++i) {
            const std::int64_t k = static_cast<std::int64_t>(n) - 1 - i;
            u_[i] = 0.0f;
            if (k >= 0 && (!czytajProbke(k, u_[i]) || !std::isfinite(u_[i]))) {
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
    if (!wektorU(NumerProbki)) {
        fault_ = PredictorFault::InputUnreadable;
        return;
    }

    // Steps 2 to 5: P' from P and u.
    Macierz Pn(K, K);
    switch (nskMacierzP(wariant_, *MacierzP_, u_.data(), Parametr_, Pn)) {
    case NskWynik::Dobrze:
        break;
    case NskWynik::Przepelnienie:
        przepelnienie();
        return;
    case NskWynik::DzieleniePrzezZero:
        fault_ = PredictorFault::DivisionByZero;
        return;
    }

    // Step 7: e = v − ŷ; an overflowing prediction is reported by Przewiduj and counts as 0.
    const float e = static_cast<float>(static_cast<double>(v) - Przewiduj());
    if (!sprawdzWynik(e))
        return;

    // Step 8: W = w + ((P'·e)·u).
    float W[Macierz::kMaxWymiar];
    if (!nskWagi(wariant_, Pn, u_.data(), e, Wspolczynniki_.data(), W)) {
        przepelnienie();
        return;
    }

    // Steps 9 to 11: the new coefficients and P, then the history moves away from index 0 and
    // takes v itself.
    prognozaWazna_ = false;
    for (int i = 0; i < K; ++i)
        Wspolczynniki_[i] = W[i];
    *MacierzP_ = Pn;
    for (int i = K - 1; i > 0; --i)
        Probki_[i] = Probki_[i - 1];
    Probki_[0] = v;
}
