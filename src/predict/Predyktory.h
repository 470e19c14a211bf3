#pragma once

#include "engine/SampleStream.h"
#include "predict/Macierz.h"
#include "predict/NskKrok.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class MessageSink;

// What the builder of a predictor hands it.
struct PredictorInputs {
    std::string inputPath; // "NSK": the input stream Tmp/001.tmp, opened for reading
    MessageSink& messages; // where the overflow message goes; the run's sink shows it at most once
};

// A floating-point fault the predictor does not handle itself: the run must stop on it.
enum class PredictorFault {
    None,
    DivisionByZero,   // "NSK": λ = 0, or the denominator uᵀPu + λ was 0
    InvalidOperation, // a value that is not a number reached the step (a NaN sample)
    InputUnreadable,  // "NSK": a reference sample was missing from the input stream, or not finite
};

// Adaptive linear predictor of order K (LiczbaWsp): it predicts the next value as the float32 sum
// Σ Probki[i] · Wspolczynniki[i] (i ascending) and adapts its weights after each true value.
//   "SG"  stochastic gradient, step μ = Parametr; history newest last (Probki[K − 1]).
//   "SGN" the same with μ = α / (Moc + ε), Moc a running power estimate (β = 0.95, ε = 0.0001);
//         Moc is stored only at the end of a step.
//   "NSK" recursive least squares with forgetting factor λ = Parametr, inverse correlation
//         matrix P (identity at start) and regression vector u taken from the input stream, not
//         from the history: u(i) = sample n − 1 − i of the input (0 before its start), n being
//         NumerProbki; history newest first (Probki[0]). Nothing happens at n ≤ 0.
// Any other code, and any K < 1 (or K > 11 for "NSK"), gives a predictor that predicts 0 forever.
//
// Every stored value is a float32: a formula is evaluated in double from its float32 operands
// and rounded once where its result is stored; sums run in index order in a float32 accumulator.
//
// Overflow: a result that would be stored as ±∞ is not stored; the step stops there (fields keep
// the values they had, earlier stores of the step stay), "Sprawdź ustawienia układu." titled
// "Przekroczono zakres" goes to the sink once for that event, and Przewiduj returns 0.0. The run
// goes on. A division by zero or an invalid operation is a fault instead: the step stops, fault()
// turns true for good, later Adaptuj calls do nothing, and the run is expected to stop.
class Predyktory {
public:
    Predyktory(const std::string& Algorytm, std::int32_t LiczbaWsp, float Parametr,
               const PredictorInputs& inputs);
    ~Predyktory();
    Predyktory(const Predyktory&) = delete;
    Predyktory& operator=(const Predyktory&) = delete;

    float Przewiduj() const;
    void Adaptuj(float v);
    // Copies the K coefficients, index 0 first, to dst (room for at least K floats).
    void PobierzWspolczynniki(float* dst) const;
    // Sample k of the input stream (k from 0); 0.0 for k < 0 without touching the file, and 0.0
    // when the stream is not open or holds no sample k.
    float ProbkaWe(std::int32_t k);

    // Index of the current sample in the input, written by the run before every Adaptuj.
    std::int32_t NumerProbki = 0;

    // "NSK": links this predictor to `zrodlo`, another one that steps on the same input at the
    // same sample indices, so that this one takes results from it where they are the same by
    // construction, and computes its own otherwise. Two cases, both tracked by counting the
    // source's steps (so a link never assumes more than it has seen):
    //  - the whole step: when this predictor's state equals the source's state before its last
    //    Adaptuj, and this Adaptuj is at the same n with the same value (bit for bit), it ends in
    //    the source's state after it, with as many overflow messages; so an ADPCM decoder behind
    //    an ideal channel follows its coder without computing anything;
    //  - P' alone: the update of P depends only on P, u (from the input stream, by sample index)
    //    and λ, never on the value adapted to, so it is taken when the source has just formed and
    //    stored P' at the same n from the P this one holds. Once one of the two skips an update
    //    the other applied (an overflow after P' stops a step before P is stored), this one
    //    computes its own from then on.
    // While it takes whole steps this predictor does not copy the source's P: it reads the
    // source's, and takes its own copy when it next steps by itself, or earlier when the source
    // is about to overwrite the P it shares.
    // Refused (false) unless both are "NSK" with the same order, λ and input path, neither has
    // stepped yet, and no chain forms (a source has one follower and follows none); `zrodlo` must
    // outlive this predictor.
    bool polaczZeZrodlem(Predyktory& zrodlo);
    // How many Adaptuj calls took the source's whole step, and how many steps took its P'.
    std::int64_t krokiLustrzane() const { return krokiLustrzane_; }
    std::int64_t krokiZeZrodla() const { return krokiZeZrodla_; }

    bool fault() const { return fault_ != PredictorFault::None; }
    PredictorFault faultKind() const { return fault_; }

    // Read-only views of the state.
    const std::string& algorytm() const { return Algorytm_; }
    std::int32_t liczbaWsp() const { return LiczbaWsp_; }
    float moc() const { return Moc_; }
    const std::vector<float>& probki() const { return Probki_; }
    const std::vector<float>& wspolczynniki() const { return Wspolczynniki_; }
    const Macierz* macierzP() const { return paryP_.empty() ? nullptr : &biezacaPara().P; }
    bool strumienOtwarty() const { return StrumienWe_ && StrumienWe_->isOpen(); }

private:
    enum class Rodzaj { Brak, SG, SGN, NSK };

    bool bladPredykcji(float v, float& yHat, float& e);
    void krokSG(float v);
    void krokSGN(float v);
    void krokNSK(float v);
    // One SG/SGN step after the power estimate: returns false when it stopped on an overflow.
    bool gradient(float yHat, float e, float mu);
    // The sum of Przewiduj; false when it overflowed. Kept until the history or the coefficients
    // change, since a run asks for the same prediction again inside Adaptuj.
    bool przewidujSume(float& s) const;
    bool wektorU(std::int32_t n);
    bool czytajProbke(std::int64_t k, float& value);
    void przepelnienie() const;
    // Takes the source's last step when it is this step (see polaczZeZrodlem); false otherwise.
    bool lustro(float v);
    // True when e may be used; otherwise the overflow was reported or the fault set.
    bool sprawdzWynik(float x);

    std::string Algorytm_;
    std::string sciezkaWe_; // "NSK": the input stream's path
    std::int32_t LiczbaWsp_;
    float Parametr_;
    float Moc_ = 0.0f;
    std::vector<float> Probki_;
    std::vector<float> Wspolczynniki_;
    // "NSK": P (MacierzP) with its transpose, in two pairs: a step forms P' in the spare pair and,
    // when it stores P', makes that pair the current one instead of copying it.
    struct ParaP {
        Macierz P;
        Macierz Pt;
    };
    std::vector<ParaP> paryP_;
    int biezacaP_ = 0;
    // The pair that holds this predictor's P: its own, or the source's while it shares that.
    const ParaP& biezacaPara() const;
    // The source's pair holding its P of count `wersja`, or null when it holds it no more.
    const ParaP* paraWersji(std::int64_t wersja) const;
    // Copies the shared P into this predictor's own current pair and stops sharing.
    void usamodzielnijP();
    // The spare pair is about to be overwritten: a follower sharing the P in it copies it first.
    void zwolnijZapasowa();
    std::unique_ptr<StreamReader> StrumienWe_;
    MessageSink& messages_;
    Rodzaj rodzaj_ = Rodzaj::Brak;
    PredictorFault fault_ = PredictorFault::None;

    // "NSK": the regression vector u of step uNumer_ (samples uNumer_ − 1 … uNumer_ − K), kept so
    // that the next step reads one new sample instead of K; -1 when not yet built.
    // Elements from K on stay 0 (the step reads u in groups of four).
    std::array<float, Macierz::kRozstep> u_{};
    std::int32_t uNumer_ = -1;
    // The sample the stream yields next without a seek; -1 when unknown.
    std::int64_t nastepnaProbka_ = -1;
    NskWariant wariant_ = nskNajlepszyWariant();

    // "NSK": how many times P has been replaced by P'; the last step that formed P' (its n and
    // the count of P before it); and for a predictor linked to a source of P', the source's count
    // whose P equals this one's P (-1 once they differ).
    std::int64_t wersjaP_ = 0;
    std::int32_t ostatniKrokN_ = -1;
    std::int64_t ostatniKrokWersja_ = -1;
    Predyktory* zrodloP_ = nullptr;
    Predyktory* nasladowca_ = nullptr; // the predictor linked to this one as its source
    // This predictor's P is the source's P of count wersjaZrodla_ (in one of its pairs).
    bool pWspolny_ = false;
    // The count of the P held in the spare pair; -1 when it holds none whole.
    std::int64_t wersjaZapasowej_ = -1;
    std::int64_t wersjaZrodla_ = -1;
    std::int64_t krokiZeZrodla_ = 0;

    // Counts of Adaptuj calls and of overflow messages, and the last Adaptuj: its n, its value's
    // bits, the count of calls before it and the messages it gave. For a linked predictor, the
    // source's count of calls whose state equals this one's (-1 once unknown).
    std::int64_t wersjaStanu_ = 0;
    mutable std::int64_t komunikaty_ = 0;
    struct OstatniAdaptuj {
        std::int32_t n = -1;
        std::uint32_t v = 0;
        std::int64_t wersjaPrzed = -1;
        std::int64_t komunikaty = 0;
    } ostatniAdaptuj_;
    std::int64_t wersjaStanuZrodla_ = -1;
    std::int64_t krokiLustrzane_ = 0;

    mutable bool prognozaWazna_ = false;
    mutable bool prognozaSkonczona_ = true;
    mutable float prognoza_ = 0.0f;
};

inline constexpr const char* kTekstPrzepelnienie = "Sprawdź ustawienia układu.";
inline constexpr const char* kTytulPrzepelnienie = "Przekroczono zakres";
