#pragma once

#include "quant/Przedzial.h"
#include "quant/TrainingSignal.h"

#include <cstdint>
#include <random>
#include <vector>

// A Lloyd-Max codebook of N levels trained on a signal: an initial codebook, then passes of
// nearest-level partition and move-to-the-mean until no level moves by more than 0.001 (squared
// change <= 1e-6) or 6 passes are made; the result is the cells around the final levels.
//
// Initial codebook by code: 2 the A-law cell midpoints, 3 the uniform grid centres, both over the
// data range R (the smaller of the largest and the smallest sample's magnitudes, both starting at
// 0); any other code (0 and 1 are the window's) N distinct samples drawn with `random`, sorted.
//
// Rounding: cell bounds in double rounded to float; each cell's sum a float accumulated from the
// most recently read sample back to the first; the mean s / n in double; the squared change and
// the new level rounded to float from that mean.
struct LloydMaxDesign {
    std::vector<Przedzial> cells; // empty when a random codebook cannot be drawn
    std::vector<float> progiLog;  // the initial grid's bounds, for code 2 only
    int passes = 0;               // training passes made
};

// The initial levels for a code, ascending; for code 2 progiLog receives the grid's bounds, for the
// others it is emptied. The random codebook needs data.hasDistinct(N) (checked by the caller).
std::vector<float> initialLevels(const TrainingSignal& data, std::int32_t N, std::int32_t code,
                                 std::minstd_rand& random, std::vector<float>& progiLog);

// Needs N >= 2. A random codebook is drawn only when data.hasDistinct(N); otherwise no random
// number is taken and the design is empty.
LloydMaxDesign designLloydMax(const TrainingSignal& data, std::int32_t N, std::int32_t code,
                              std::minstd_rand& random);

// The cells around sorted levels p: inner bounds at the midpoints of neighbouring levels, the
// outer cells reaching past their level by half the gap to the neighbour; Poziom_i = p[i].
std::vector<Przedzial> cellsAroundLevels(const std::vector<float>& p);
