#include "quant/CellTable.h"

#include <algorithm>
#include <cmath>

namespace {

// Up to this many cells a branch-free count beats a binary search.
constexpr std::size_t kCountedCells = 32;

bool isContiguous(const std::vector<Przedzial>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (!(cells[i].Dolny <= cells[i].Gorny))
            return false;
        if (i > 0 && !(cells[i].Dolny == cells[i - 1].Gorny))
            return false;
    }
    return true;
}

} // namespace

CellTable::CellTable(std::vector<Przedzial> cells) : cells_(std::move(cells)) {
    upper_.reserve(cells_.size());
    for (const Przedzial& c : cells_)
        upper_.push_back(c.Gorny);
    contiguous_ = isContiguous(cells_);
}

std::size_t CellTable::firstUpperNotBelow(float x) const {
    if (upper_.size() <= kCountedCells) {
        std::size_t below = 0;
        for (float u : upper_)
            below += u < x ? 1 : 0;
        return below;
    }
    return static_cast<std::size_t>(std::lower_bound(upper_.begin(), upper_.end(), x) -
                                    upper_.begin());
}

std::size_t CellTable::firstUpperAbove(float x) const {
    if (upper_.size() <= kCountedCells) {
        std::size_t notAbove = 0;
        for (float u : upper_)
            notAbove += u <= x ? 1 : 0;
        return notAbove;
    }
    return static_cast<std::size_t>(std::upper_bound(upper_.begin(), upper_.end(), x) -
                                    upper_.begin());
}

float CellTable::quantise(float x) const {
    if (cells_.empty() || std::isnan(x))
        return 0.0f;
    if (!contiguous_)
        return scanQuantise(x);
    // Cells before j end below x; cell j (j > 0) starts where cell j - 1 ended, below x, so it
    // holds x. For j = 0, x is either in cell 0 or below it: the first level either way.
    const std::size_t j = firstUpperNotBelow(x);
    return j < cells_.size() ? cells_[j].Poziom : cells_.back().Poziom;
}

float CellTable::scanQuantise(float x) const {
    for (const Przedzial& c : cells_)
        if (c.Dolny <= x && x <= c.Gorny)
            return c.Poziom;
    if (x < cells_.front().Dolny)
        return cells_.front().Poziom;
    if (x > cells_.back().Gorny)
        return cells_.back().Poziom;
    return 0.0f;
}

int CellTable::trainingCell(float x) const {
    if (cells_.empty())
        return -1;
    if (!contiguous_)
        return scanTrainingCell(x);
    // Cells before j end at or below x; cell j (j > 0) starts at the end of cell j - 1, at or
    // below x, and ends above it. Only cell 0 needs its lower bound tested.
    const std::size_t j = firstUpperAbove(x);
    if (j < cells_.size() && (j > 0 || cells_[0].Dolny <= x))
        return static_cast<int>(j);
    return outsideTrainingCell(x);
}

int CellTable::scanTrainingCell(float x) const {
    for (std::size_t i = 0; i < cells_.size(); ++i)
        if (cells_[i].Dolny <= x && x < cells_[i].Gorny)
            return static_cast<int>(i);
    return outsideTrainingCell(x);
}

int CellTable::outsideTrainingCell(float x) const {
    if (x < cells_.front().Poziom)
        return 0;
    if (x > cells_.back().Poziom)
        return static_cast<int>(cells_.size()) - 1;
    return -1;
}
