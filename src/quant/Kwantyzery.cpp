#include "quant/Kwantyzery.h"

#include "quant/LloydMax.h"
#include "quant/UniformGrid.h"

namespace {

constexpr float kInitialStep = 0.1f;
constexpr double kStepFloor = 1e-6;

} // namespace

Kwantyzery::Kwantyzery(const std::string& Typ, std::int32_t LiczbaPoziomow, float Zakres,
                       std::int32_t SlownikPoczatkowy, const QuantiserInputs& inputs)
    : Typ(Typ), Zakres(Zakres), LiczbaPoziomow(LiczbaPoziomow) {
    const bool cellCount = LiczbaPoziomow >= 2 && LiczbaPoziomow <= kMaxCells;
    if (Typ == "LLOYD" && cellCount) {
        LloydMaxDesign design = designLloydMax(TrainingSignal::load(inputs.trainingPath),
                                               LiczbaPoziomow, SlownikPoczatkowy, inputs.random);
        lloydPasses_ = design.passes;
        ProgiLog = std::move(design.progiLog);
        if (!design.cells.empty()) {
            Przedzialy = CellTable(std::move(design.cells));
            law_ = Law::Cells;
        }
    } else if (Typ == "ROW" && cellCount) {
        Przedzialy = CellTable(UniformGrid(Zakres, LiczbaPoziomow).cells());
        law_ = Law::Cells;
    } else if (Typ == "LOG" && cellCount) {
        const UniformGrid grid(Zakres, LiczbaPoziomow);
        Przedzialy = CellTable(aLawCells(grid));
        ProgiLog = grid.bounds;
        law_ = Law::Cells;
    } else if (Typ == "ADAP") {
        buildAdaptive(inputs.mnozniki);
    } else if (Typ == "BRAK") {
        law_ = Law::PassThrough;
    }
}

void Kwantyzery::buildAdaptive(const Mnozniki& mnozniki) {
    const float* row = mnozniki.row(LiczbaPoziomow);
    if (row == nullptr)
        return;
    const auto n = static_cast<std::size_t>(LiczbaPoziomow);
    Krok = kInitialStep;
    // N equally spaced normalised levels from -0.1 to +0.1, built from the initial step.
    PoziomyWzorcowe.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        PoziomyWzorcowe[i] =
            static_cast<float>(static_cast<double>(i) * 2 * Krok / (LiczbaPoziomow - 1) - Krok);
    MnoznikiKroku.assign(row, row + n);
    Poziomy.assign(n, 0.0f);
    law_ = Law::Adaptive;
}

namespace {

// The index of the level nearest to x by squared error, scanning upward. The kept best is
// rounded to float, the candidate is not: on an exact tie the later level wins only when rounding
// did not lower the kept best. N is a constant so the scan unrolls into selects.
template <std::size_t N> std::size_t nearestLevel(float x, const float* levels) {
    // The distances do not depend on the scan, so they are formed first (in parallel); the scan
    // itself is then one compare and two selects per level.
    double distance[N];
    double rounded[N];
    for (std::size_t i = 0; i < N; ++i) {
        const double diff = static_cast<double>(x) - levels[i];
        distance[i] = diff * diff;
        rounded[i] = static_cast<float>(distance[i]);
    }
    double best = rounded[0];
    std::size_t chosen = 0;
    for (std::size_t i = 1; i < N; ++i) {
        const bool nearer = distance[i] <= best;
        best = nearer ? rounded[i] : best;
        chosen = nearer ? i : chosen;
    }
    return chosen;
}

} // namespace

float Kwantyzery::adapt(float x) {
    const std::size_t n = Poziomy.size();
    for (std::size_t i = 0; i < n; ++i)
        Poziomy[i] = PoziomyWzorcowe[i] * Krok; // exact in double, so one rounding to float
    std::size_t chosen;
    switch (n) {
    case 4:
        chosen = nearestLevel<4>(x, Poziomy.data());
        break;
    case 8:
        chosen = nearestLevel<8>(x, Poziomy.data());
        break;
    default:
        chosen = nearestLevel<16>(x, Poziomy.data());
        break;
    }
    const float y = Poziomy[chosen];
    Krok = Krok * MnoznikiKroku[chosen];
    if (Krok < kStepFloor)
        Krok = static_cast<float>(kStepFloor);
    return y;
}

bool Kwantyzery::enoughDistinctSamples(const std::string& trainingPath, std::int32_t n) {
    return TrainingSignal::load(trainingPath).hasDistinct(n);
}
