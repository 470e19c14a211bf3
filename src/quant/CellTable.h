#pragma once

#include "quant/Przedzial.h"

#include <cstddef>
#include <vector>

// The cells of a quantiser, in ascending order, and the two searches over them.
//
// Both searches mean "the first cell, scanning upward, that holds x", which decides the cell of a
// value on a bound shared by two cells: quantising takes both bounds as inclusive (the lower cell
// wins), training takes the upper bound as exclusive (the upper cell wins).
//
// A table is "contiguous" when every cell has Dolny <= Gorny and each cell starts exactly where the
// previous one ends (the uniform and A-law grids, and Lloyd-Max cells from sorted levels, all are).
// Then the first holding cell is the first cell whose upper bound reaches x, which a count (few
// cells) or a binary search (many cells) finds with the same answer as the scan. Any other table
// (NaN bounds, unsorted levels, a gap from rounding) is scanned cell by cell.
class CellTable {
public:
    CellTable() = default;
    explicit CellTable(std::vector<Przedzial> cells);

    const std::vector<Przedzial>& cells() const { return cells_; }
    bool empty() const { return cells_.empty(); }
    bool contiguous() const { return contiguous_; }

    // The level for x: the first cell with Dolny <= x <= Gorny; below the first cell the first
    // level, above the last cell the last level. NaN, a value in a gap between cells, and an
    // empty table give 0.
    float quantise(float x) const;

    // The training cell of x: the first cell with Dolny <= x < Gorny; otherwise cell 0 when x is
    // below the first level, the last cell when x is above the last level, and -1 (x takes no
    // part in the pass) for anything else.
    int trainingCell(float x) const;

private:
    std::size_t firstUpperNotBelow(float x) const; // first i with x <= Gorny_i (contiguous only)
    std::size_t firstUpperAbove(float x) const;    // first i with x < Gorny_i (contiguous only)
    float scanQuantise(float x) const;
    int scanTrainingCell(float x) const;
    int outsideTrainingCell(float x) const;

    std::vector<Przedzial> cells_;
    std::vector<float> upper_; // Gorny of every cell, packed for the searches
    bool contiguous_ = false;
};
