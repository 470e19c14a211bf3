#pragma once

#include "quant/Przedzial.h"

#include <cstdint>
#include <vector>

// N equally spaced centres from -W to +W with step d = 2W / (N - 1), and the cell bounds half a
// step either side. Each stored value is formed in double from the float d and W and rounded to
// float once: centre f32(i*d - W), bounds f32((i*d - W) -/+ d/2). Rounding the bounds from the
// exact centre (not from the rounded one) makes the high bound of cell i and the low bound of cell
// i + 1 the same float, so the cells leave no gaps. Needs N >= 2.
struct UniformGrid {
    UniformGrid(float W, std::int32_t N);

    float d;                    // the step, as float
    std::vector<float> centres; // N levels
    std::vector<float> bounds;  // 2N values: low and high bound of cell 0, of cell 1, ...

    // The "ROW" cells: (low, high, centre) of every grid cell.
    std::vector<Przedzial> cells() const;
};

// The inverse A-law characteristic (A = 87.6), scaled so that the outer edge P of a grid maps
// onto itself: linear k*y/A up to the segment bound T = P/k, exponential P*exp(k*y/P - 1)/A
// beyond it, odd in y. A bound equal to +-T takes the linear segment.
class Ekspanduj {
public:
    // progiLog: the grid bounds; its first element is -P.
    explicit Ekspanduj(const std::vector<float>& progiLog);
    float operator()(float y) const;

private:
    float P_;
    float T_;
};

// The "LOG" cells over the grid: each bound expanded, each level the arithmetic midpoint of its
// expanded bounds, f32((Gorny - Dolny)*0.5 + Dolny).
std::vector<Przedzial> aLawCells(const UniformGrid& grid);
