#include "predict/Predyktory.h"

#include "engine/MessageSink.h"

#include <cmath>
#include <cstring>

namespace {

// "SGN": forgetting constant β and regularising constant ε of the power estimate, as float32.
constexpr float kBeta = 0.95f;
constexpr float kEpsilon = 0.0001f;

} // namespace

Predyktory::Predyktory(const std::string& Algorytm, std::int32_t LiczbaWsp, float Parametr,
                       const PredictorInputs& inputs)
    : Algorytm_(Algorytm), LiczbaWsp_(LiczbaWsp), Parametr_(Parametr), messages_(inputs.messages) {
    const std::size_t size = LiczbaWsp > 0 ? static_cast<std::size_t>(LiczbaWsp) : 0;
    Probki_.assign(size, 0.0f);
    Wspolczynniki_.assign(size, 0.0f);
    if (LiczbaWsp < 1)
        return;
    if (Algorytm == "SG") {
        rodzaj_ = Rodzaj::SG;
    } else if (Algorytm == "SGN") {
        rodzaj_ = Rodzaj::SGN;
    } else if (Algorytm == "NSK" && LiczbaWsp <= Macierz::kMaxWymiar) {
        rodzaj_ = Rodzaj::NSK;
        // A stream that does not open is never read: the first step (n > 0) turns into a fault.
        sciezkaWe_ = inputs.inputPath;
        StrumienWe_ = std::make_unique<StreamReader>(inputs.inputPath);
        Macierz P(LiczbaWsp, LiczbaWsp, &messages_);
        P.jednostkowa();
        paryP_.assign(2, ParaP{P, P});
    }
}

void Predyktory::przepelnienie() const {
    ++komunikaty_;
    messages_.showMessage(kTekstPrzepelnienie, kTytulPrzepelnienie);
}

bool Predyktory::sprawdzWynik(float x) {
    if (std::isnan(x)) {
        fault_ = PredictorFault::InvalidOperation;
        return false;
    }
    if (std::isinf(x)) {
        przepelnienie();
        return false;
    }
    return true;
}

// s = Σ Probki[i] · Wspolczynniki[i], i ascending. Once the float sum overflows it stays ±∞ (every
// term is finite), so one test at the end finds the first overflow.
bool Predyktory::przewidujSume(float& s) const {
    if (!prognozaWazna_ && zrodloP_ && wersjaStanuZrodla_ == zrodloP_->wersjaStanu_ &&
        zrodloP_->prognozaWazna_) {
        // A linked predictor in its source's state: the same sum.
        prognoza_ = zrodloP_->prognoza_;
        prognozaSkonczona_ = zrodloP_->prognozaSkonczona_;
        prognozaWazna_ = true;
    }
    if (!prognozaWazna_) {
        float sum = 0.0f;
        for (std::size_t i = 0; i < Probki_.size(); ++i)
            sum = static_cast<float>(static_cast<double>(Probki_[i]) * Wspolczynniki_[i] + sum);
        prognoza_ = sum;
        prognozaSkonczona_ = std::isfinite(sum);
        prognozaWazna_ = true;
    }
    s = prognoza_;
    return prognozaSkonczona_;
}

float Predyktory::Przewiduj() const {
    float s;
    if (przewidujSume(s))
        return s;
    przepelnienie();
    return 0.0f;
}

void Predyktory::Adaptuj(float v) {
    if (fault())
        return;
    if (zrodloP_ && lustro(v))
        return;
    const std::int64_t komunikatyPrzed = komunikaty_;
    ostatniAdaptuj_.n = NumerProbki;
    std::memcpy(&ostatniAdaptuj_.v, &v, sizeof v);
    ostatniAdaptuj_.wersjaPrzed = wersjaStanu_;
    switch (rodzaj_) {
    case Rodzaj::SG:
        krokSG(v);
        break;
    case Rodzaj::SGN:
        krokSGN(v);
        break;
    case Rodzaj::NSK:
        if (NumerProbki > 0)
            krokNSK(v);
        break;
    case Rodzaj::Brak:
        break;
    }
    ostatniAdaptuj_.komunikaty = komunikaty_ - komunikatyPrzed;
    ++wersjaStanu_;
    wersjaStanuZrodla_ = -1;
}

// w[j] += (μ·e)·Probki[j] for every j, then the history moves one place toward index 0 and takes
// e + ŷ (not v: the two differ by the rounding of e) as its newest value.
bool Predyktory::gradient(float yHat, float e, float mu) {
    prognozaWazna_ = false;
    const double mue = static_cast<double>(mu) * e;
    for (std::size_t j = 0; j < Wspolczynniki_.size(); ++j) {
        const float w = static_cast<float>(mue * Probki_[j] + Wspolczynniki_[j]);
        if (!sprawdzWynik(w))
            return false;
        Wspolczynniki_[j] = w;
    }
    for (std::size_t j = 0; j + 1 < Probki_.size(); ++j)
        Probki_[j] = Probki_[j + 1];
    const float newest = static_cast<float>(static_cast<double>(e) + yHat);
    if (!sprawdzWynik(newest))
        return false;
    Probki_.back() = newest;
    return true;
}

// ŷ from the current history and e = v − ŷ, both checked: false when either overflowed (the step
// then stops, its message shown).
bool Predyktory::bladPredykcji(float v, float& yHat, float& e) {
    if (!przewidujSume(yHat)) {
        przepelnienie();
        return false;
    }
    e = static_cast<float>(static_cast<double>(v) - yHat);
    return sprawdzWynik(e);
}

void Predyktory::krokSG(float v) {
    float yHat, e;
    if (bladPredykcji(v, yHat, e))
        gradient(yHat, e, Parametr_);
}

// μ = α / (m + ε) with m = (1 − β)·(e + ŷ)² + β·Moc: the power of the signal value itself.
void Predyktory::krokSGN(float v) {
    float yHat, e;
    if (!bladPredykcji(v, yHat, e))
        return;
    const double x = static_cast<double>(e) + yHat;
    const float m = static_cast<float>((1.0 - kBeta) * x * x + static_cast<double>(kBeta) * Moc_);
    if (!sprawdzWynik(m))
        return;
    const float mu =
        static_cast<float>(static_cast<double>(Parametr_) / (m + static_cast<double>(kEpsilon)));
    if (!sprawdzWynik(mu))
        return;
    if (gradient(yHat, e, mu))
        Moc_ = m;
}

void Predyktory::PobierzWspolczynniki(float* dst) const {
    for (std::size_t i = 0; i < Wspolczynniki_.size(); ++i)
        dst[i] = Wspolczynniki_[i];
}

float Predyktory::ProbkaWe(std::int32_t k) {
    if (k < 0)
        return 0.0f;
    float value;
    return czytajProbke(k, value) ? value : 0.0f;
}

// Sample k is word k + 1 of the stream. Consecutive samples are read without a seek.
bool Predyktory::czytajProbke(std::int64_t k, float& value) {
    if (!strumienOtwarty())
        return false;
    if (nastepnaProbka_ != k && !StrumienWe_->seekWord(static_cast<std::uint64_t>(k) + 1)) {
        nastepnaProbka_ = -1;
        return false;
    }
    if (!StrumienWe_->read(value)) {
        nastepnaProbka_ = -1;
        return false;
    }
    nastepnaProbka_ = k + 1;
    return true;
}
