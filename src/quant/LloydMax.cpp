#include "quant/LloydMax.h"

#include "quant/CellTable.h"
#include "quant/UniformGrid.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unordered_set>

namespace {

constexpr int kMaxPasses = 6;
constexpr double kSettled = 1e-6; // squared level change that ends the training

// The range R: largest and smallest both start at 0; a value replaces the smallest only when it
// did not replace the largest.
float dataRange(const std::vector<float>& samples) {
    float largest = 0.0f;
    float smallest = 0.0f;
    for (float x : samples) {
        if (x > largest)
            largest = x;
        else if (x < smallest)
            smallest = x;
    }
    return std::fabs(smallest) <= std::fabs(largest) ? std::fabs(smallest) : std::fabs(largest);
}

// One draw: r mod K picks the sample; an index past the samples read yields nothing and the
// draw is repeated. The caller has checked that some sample is drawable.
float drawSample(const TrainingSignal& data, std::minstd_rand& random) {
    const auto modulus =
        data.K == 0 ? std::uint64_t{1} : static_cast<std::uint64_t>(std::abs(std::int64_t{data.K}));
    for (;;) {
        const std::uint64_t j = static_cast<std::uint64_t>(random()) % modulus;
        if (j < data.samples.size())
            return data.samples[j];
    }
}

// N distinct draws, sorted. A candidate equal (float ==) to a level already drawn is replaced by
// a new draw; the set finds that equality as the level-by-level comparison would.
std::vector<float> randomCodebook(const TrainingSignal& data, std::int32_t N,
                                  std::minstd_rand& random) {
    std::vector<float> p;
    p.reserve(static_cast<std::size_t>(N));
    std::unordered_set<float> drawn;
    while (p.size() < static_cast<std::size_t>(N)) {
        const float candidate = drawSample(data, random);
        if (drawn.insert(candidate).second)
            p.push_back(candidate);
    }
    // NaN last keeps the order strict for std::sort; distinct finite levels sort uniquely.
    std::sort(p.begin(), p.end(),
              [](float a, float b) { return a < b || (!std::isnan(a) && std::isnan(b)); });
    return p;
}

// One pass: partition every sample, then move each level to the mean of its cell. Returns D, the
// largest squared change (0 when no cell received a sample).
float trainingPass(const std::vector<float>& samples, std::vector<float>& p) {
    const CellTable table(cellsAroundLevels(p));
    std::vector<float> sums(p.size(), 0.0f);
    std::vector<std::uint32_t> counts(p.size(), 0);
    // Each cell's samples are summed most recently read first: walk the signal backwards.
    for (auto it = samples.rbegin(); it != samples.rend(); ++it) {
        const int cell = table.trainingCell(*it);
        if (cell >= 0) {
            sums[static_cast<std::size_t>(cell)] += *it;
            ++counts[static_cast<std::size_t>(cell)];
        }
    }
    float D = 0.0f;
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (counts[i] == 0)
            continue; // an empty cell keeps its level
        const double m = static_cast<double>(sums[i]) / counts[i];
        const double change = m - p[i];
        const float c = static_cast<float>(change * change);
        if (D == 0.0f)
            D = c;
        else if (c > D)
            D = c;
        p[i] = static_cast<float>(m);
    }
    return D;
}

} // namespace

std::vector<Przedzial> cellsAroundLevels(const std::vector<float>& p) {
    const std::size_t n = p.size();
    std::vector<Przedzial> cells(n);
    for (std::size_t i = 0; i < n; ++i) {
        // Half the gap below and above level i; the outer cells mirror their inner gap.
        const double below = (static_cast<double>(p[i > 0 ? i : 1]) - p[i > 0 ? i - 1 : 0]) * 0.5;
        const double above =
            (static_cast<double>(p[i + 1 < n ? i + 1 : n - 1]) - p[i + 1 < n ? i : n - 2]) * 0.5;
        cells[i] = {static_cast<float>(p[i] - below), static_cast<float>(above + p[i]), p[i]};
    }
    return cells;
}

std::vector<float> initialLevels(const TrainingSignal& data, std::int32_t N, std::int32_t code,
                                 std::minstd_rand& random, std::vector<float>& progiLog) {
    progiLog.clear();
    if (code != 2 && code != 3)
        return randomCodebook(data, N, random);
    const UniformGrid grid(dataRange(data.samples), N);
    if (code == 3)
        return grid.centres;
    std::vector<float> p;
    for (const Przedzial& cell : aLawCells(grid))
        p.push_back(cell.Poziom);
    progiLog = grid.bounds;
    return p;
}

LloydMaxDesign designLloydMax(const TrainingSignal& data, std::int32_t N, std::int32_t code,
                              std::minstd_rand& random) {
    LloydMaxDesign design;
    const bool drawn = code != 2 && code != 3;
    if (drawn && !data.hasDistinct(N))
        return design;
    std::vector<float> p = initialLevels(data, N, code, random, design.progiLog);

    float D;
    do {
        D = trainingPass(data.samples, p);
        ++design.passes;
    } while (D > kSettled && design.passes < kMaxPasses);

    design.cells = cellsAroundLevels(p);
    return design;
}
