// The least-squares ("NSK") step of Predyktory: exponentially weighted recursive least squares.
// The arithmetic of steps 2 to 8 is in NskKrok; this file gathers the regression vector and keeps
// the predictor's state.

#include "predict/NskKrok.h"
#include "predict/Predyktory.h"

#include <cmath>
#include <cstdint>
#include <cstring>

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

bool Predyktory::polaczZeZrodlem(Predyktory& zrodlo) {
    if (rodzaj_ != Rodzaj::NSK || zrodlo.rodzaj_ != Rodzaj::NSK || &zrodlo == this ||
        zrodlo.LiczbaWsp_ != LiczbaWsp_ || zrodlo.sciezkaWe_ != sciezkaWe_ ||
        std::memcmp(&zrodlo.Parametr_, &Parametr_, sizeof Parametr_) != 0 || wersjaStanu_ != 0 ||
        zrodlo.wersjaStanu_ != 0 || zrodlo.zrodloP_ || zrodlo.nasladowca_ || nasladowca_)
        return false;
    // Neither has stepped: both hold w = 0, a zero history and P = I.
    if (zrodloP_)
        zrodloP_->nasladowca_ = nullptr;
    zrodloP_ = &zrodlo;
    zrodlo.nasladowca_ = this;
    wersjaStanuZrodla_ = 0;
    wersjaZrodla_ = 0;
    return true;
}

Predyktory::~Predyktory() {
    if (zrodloP_)
        zrodloP_->nasladowca_ = nullptr;
    if (nasladowca_) {
        nasladowca_->usamodzielnijP();
        nasladowca_->zrodloP_ = nullptr;
    }
}

// A source follows no other predictor, so its own pairs hold its P: the current one, and the
// previous one in the spare pair after a step that stored P' (until the next step writes there).
const Predyktory::ParaP* Predyktory::paraWersji(std::int64_t wersja) const {
    if (wersja == wersjaP_)
        return &paryP_[biezacaP_];
    if (wersja == wersjaZapasowej_)
        return &paryP_[1 - biezacaP_];
    return nullptr;
}

const Predyktory::ParaP& Predyktory::biezacaPara() const {
    return pWspolny_ ? *zrodloP_->paraWersji(wersjaZrodla_) : paryP_[biezacaP_];
}

void Predyktory::usamodzielnijP() {
    if (!pWspolny_)
        return;
    paryP_[biezacaP_] = *zrodloP_->paraWersji(wersjaZrodla_);
    pWspolny_ = false;
}

void Predyktory::zwolnijZapasowa() {
    if (nasladowca_ && nasladowca_->pWspolny_ && nasladowca_->wersjaZrodla_ == wersjaZapasowej_)
        nasladowca_->usamodzielnijP();
    wersjaZapasowej_ = -1;
}

// The step is a function of the state, n, v and the input stream. A source whose step could not
// read the stream is not followed: this predictor reads its own.
bool Predyktory::lustro(float v) {
    const Predyktory& z = *zrodloP_;
    std::uint32_t bity;
    std::memcpy(&bity, &v, sizeof v);
    if (wersjaStanuZrodla_ < 0 || z.ostatniAdaptuj_.wersjaPrzed != wersjaStanuZrodla_ ||
        z.wersjaStanu_ != wersjaStanuZrodla_ + 1 || z.ostatniAdaptuj_.n != NumerProbki ||
        z.ostatniAdaptuj_.v != bity || z.fault_ == PredictorFault::InputUnreadable)
        return false;
    Moc_ = z.Moc_;
    Probki_ = z.Probki_;
    Wspolczynniki_ = z.Wspolczynniki_;
    // P is not copied: the source's current P is this one's until either steps by itself.
    pWspolny_ = true;
    u_ = z.u_;
    uNumer_ = z.uNumer_;
    fault_ = z.fault_;
    prognozaWazna_ = z.prognozaWazna_;
    prognozaSkonczona_ = z.prognozaSkonczona_;
    prognoza_ = z.prognoza_;
    for (std::int64_t i = 0; i < z.ostatniAdaptuj_.komunikaty; ++i)
        przepelnienie();
    wersjaStanuZrodla_ = z.wersjaStanu_;
    wersjaZrodla_ = z.wersjaP_;
    // This predictor's own step records no longer describe its state.
    ostatniKrokN_ = -1;
    ostatniAdaptuj_ = {};
    ++wersjaStanu_;
    ++krokiLustrzane_;
    return true;
}

void Predyktory::krokNSK(float v) {
    const int K = LiczbaWsp_;
    const std::int32_t n = NumerProbki;
    if (!wektorU(n)) {
        fault_ = PredictorFault::InputUnreadable;
        return;
    }
    usamodzielnijP();

    // Steps 2 to 5: P' from P and u, or the source's P' when it has just formed it from the same
    // P, n and λ and stored it.
    const bool zeZrodla = zrodloP_ && wersjaZrodla_ >= 0 && zrodloP_->ostatniKrokN_ == n &&
                          zrodloP_->ostatniKrokWersja_ == wersjaZrodla_ &&
                          zrodloP_->wersjaP_ == wersjaZrodla_ + 1;
    ostatniKrokN_ = n;
    ostatniKrokWersja_ = wersjaP_;
    ParaP& nowa = paryP_[1 - biezacaP_];
    if (!zeZrodla) {
        zwolnijZapasowa();
        const ParaP& P = paryP_[biezacaP_];
        switch (nskMacierzP(wariant_, P.P, P.Pt, u_.data(), Parametr_, nowa.P, nowa.Pt)) {
        case NskWynik::Dobrze:
            break;
        case NskWynik::Przepelnienie:
            przepelnienie();
            return;
        case NskWynik::DzieleniePrzezZero:
            fault_ = PredictorFault::DivisionByZero;
            return;
        }
    }
    const ParaP& Pn = zeZrodla ? zrodloP_->paryP_[zrodloP_->biezacaP_] : nowa;

    // Step 7: e = v − ŷ; an overflowing prediction is reported by Przewiduj and counts as 0.
    const float e = static_cast<float>(static_cast<double>(v) - Przewiduj());
    if (!sprawdzWynik(e))
        return;

    // Step 8: W = w + ((P'·e)·u).
    float W[Macierz::kMaxWymiar];
    if (!nskWagi(wariant_, Pn.P, Pn.Pt, u_.data(), e, Wspolczynniki_.data(), W)) {
        przepelnienie();
        return;
    }

    // Steps 9 to 11: the new coefficients and P, then the history moves away from index 0 and
    // takes v itself.
    prognozaWazna_ = false;
    for (int i = 0; i < K; ++i)
        Wspolczynniki_[i] = W[i];
    if (zeZrodla) {
        zwolnijZapasowa();
        nowa = Pn;
    }
    biezacaP_ = 1 - biezacaP_;
    wersjaZapasowej_ = wersjaP_;
    ++wersjaP_;
    wersjaZrodla_ = zeZrodla ? wersjaZrodla_ + 1 : -1;
    krokiZeZrodla_ += zeZrodla;
    for (int i = K - 1; i > 0; --i)
        Probki_[i] = Probki_[i - 1];
    Probki_[0] = v;
}
