#pragma once

#include "quant/CellTable.h"
#include "quant/Mnozniki.h"
#include "quant/Przedzial.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// What a quantiser takes from outside when it is built; the window and the command line pass
// their single instances.
struct QuantiserInputs {
    const Mnozniki& mnozniki; // "ADAP": its row is copied at construction
    std::string trainingPath; // "LLOYD": the input stream Tmp/001.tmp
    std::minstd_rand& random; // "LLOYD" random codebook: the process's single generator
};

// The quantiser of one run: maps a float sample to its reconstruction value.
//
// Kinds (Typ, compared exactly):
//   "ROW"   N uniform levels from -Zakres to +Zakres (see UniformGrid);
//   "LOG"   the uniform grid's bounds through the inverse A-law characteristic, levels at the
//           midpoints of the expanded bounds;
//   "LLOYD" a Lloyd-Max codebook trained on the training stream (see LloydMax); Zakres unused;
//   "ADAP"  N = 4, 8 or 16 fixed levels from -0.1 to +0.1 scaled by a step Krok that is
//           multiplied after every sample by the multiplier of the level output; Krok starts at
//           0.1 and never goes below 1e-6; Zakres unused;
//   "BRAK"  the value passes unchanged; any other text gives 0 for every value.
//
// The cell kinds return the level of the first cell holding x, bounds inclusive, and clip beyond
// the outer cells; NaN gives 0.
//
// The runs refuse bad settings before building. Arguments they never pass are served without a
// loop or a division by zero: a cell kind with N outside 2 ... 65536, "ADAP" with N other than
// 4, 8, 16, and "LLOYD" whose random codebook cannot find N distinct samples build no table and
// give 0 for every value.
class Kwantyzery {
public:
    static constexpr std::int32_t kMaxCells = 65536;

    Kwantyzery(const std::string& Typ, std::int32_t LiczbaPoziomow, float Zakres,
               std::int32_t SlownikPoczatkowy, const QuantiserInputs& inputs);
    Kwantyzery(const Kwantyzery&) = delete;
    Kwantyzery& operator=(const Kwantyzery&) = delete;
    Kwantyzery(Kwantyzery&&) = default;
    Kwantyzery& operator=(Kwantyzery&&) = default;

    float Kwantyzuj(float x) {
        switch (law_) {
        case Law::Cells:
            return Przedzialy.quantise(x);
        case Law::Adaptive:
            return adapt(x);
        case Law::PassThrough:
            return x;
        case Law::Zero:
            break;
        }
        return 0.0f;
    }

    // True when the stream holds at least n distinct sample values that a random draw can reach
    // (see TrainingSignal::hasDistinct). Takes no random number.
    static bool enoughDistinctSamples(const std::string& trainingPath, std::int32_t n);

    // The arguments and tables, for inspection.
    const std::string& typ() const { return Typ; }
    std::int32_t liczbaPoziomow() const { return LiczbaPoziomow; }
    float zakres() const { return Zakres; }
    const std::vector<Przedzial>& przedzialy() const { return Przedzialy.cells(); }
    const std::vector<float>& progiLog() const { return ProgiLog; }
    const std::vector<float>& poziomyWzorcowe() const { return PoziomyWzorcowe; }
    float krok() const { return Krok; }
    int lloydPasses() const { return lloydPasses_; }

private:
    enum class Law { Zero, PassThrough, Cells, Adaptive };

    void buildAdaptive(const Mnozniki& mnozniki);
    float adapt(float x);

    std::string Typ;
    float Zakres;
    std::int32_t LiczbaPoziomow;
    CellTable Przedzialy;
    std::vector<float> MnoznikiKroku;
    std::vector<float> PoziomyWzorcowe;
    std::vector<float> Poziomy;
    float Krok = 0.0f;
    std::vector<float> ProgiLog;
    Law law_ = Law::Zero;
    int lloydPasses_ = 0;
};
