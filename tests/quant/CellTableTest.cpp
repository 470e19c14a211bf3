#include "quant/CellTable.h"
#include "quant/UniformGrid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

// The searches as a scan of every cell in ascending order, as the law states them.
float scanQuantise(const std::vector<Przedzial>& cells, float x) {
    for (const Przedzial& c : cells)
        if (c.Dolny <= x && x <= c.Gorny)
            return c.Poziom;
    if (x < cells.front().Dolny)
        return cells.front().Poziom;
    if (x > cells.back().Gorny)
        return cells.back().Poziom;
    return 0.0f;
}

int scanTrainingCell(const std::vector<Przedzial>& cells, float x) {
    for (std::size_t i = 0; i < cells.size(); ++i)
        if (cells[i].Dolny <= x && x < cells[i].Gorny)
            return int(i);
    if (x < cells.front().Poziom)
        return 0;
    if (x > cells.back().Poziom)
        return int(cells.size()) - 1;
    return -1;
}

// Every bound, its neighbouring floats, every level, and values beyond the table.
std::vector<float> probes(const std::vector<Przedzial>& cells) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    std::vector<float> xs = {0.0f, -0.0f, 5.0f, -5.0f, inf, -inf};
    for (const Przedzial& c : cells)
        for (float v : {c.Dolny, c.Gorny, c.Poziom}) {
            xs.push_back(v);
            xs.push_back(std::nextafter(v, inf));
            xs.push_back(std::nextafter(v, -inf));
        }
    return xs;
}

void expectSameAsScan(const std::vector<Przedzial>& cells) {
    const CellTable table(cells);
    for (float x : probes(cells)) {
        ASSERT_EQ(table.quantise(x), scanQuantise(cells, x)) << "x = " << x;
        ASSERT_EQ(table.trainingCell(x), scanTrainingCell(cells, x)) << "x = " << x;
    }
}

} // namespace

TEST(CellTable, SearchesAgreeWithTheScan) {
    // Counted (few cells) and binary-searched (many cells) grids, uniform and A-law, and the
    // degenerate tables of a Lloyd-Max design (repeated levels, point cells at 0).
    struct Case {
        int levels;
        float range;
    };
    for (const Case c : std::vector<Case>{
             {2, 1.0f}, {3, 1.0f}, {16, 1.0f}, {33, 0.5f}, {256, 1.0f}, {4097, 0.9f}}) {
        SCOPED_TRACE(std::to_string(c.levels));
        const UniformGrid grid(c.range, c.levels);
        for (const auto& cells : {grid.cells(), aLawCells(grid)}) {
            ASSERT_TRUE(CellTable(cells).contiguous());
            expectSameAsScan(cells);
        }
    }
    const std::vector<Przedzial> repeated = {{0, 0, 0}, {0, 0.15f, 0}, {0.15f, 0.45f, 0.3f}};
    ASSERT_TRUE(CellTable(repeated).contiguous());
    expectSameAsScan(repeated);
    expectSameAsScan(UniformGrid(0.0f, 40).cells());
}

TEST(CellTable, TablesWithGapsOrOverlapsAreScanned) {
    const std::vector<std::vector<Przedzial>> tables = {
        {{-1, -0.2f, -0.5f}, {0.2f, 1, 0.5f}},                  // a gap
        {{-1, 0.3f, -0.5f}, {-0.3f, 1, 0.5f}},                  // an overlap
        {{0.5f, 1, 0.7f}, {-1, -0.5f, -0.7f}},                  // descending
        {{-1, std::nanf(""), -0.5f}, {std::nanf(""), 1, 0.5f}}, // NaN bound
    };
    for (std::size_t t = 0; t < tables.size(); ++t) {
        SCOPED_TRACE(t);
        EXPECT_FALSE(CellTable(tables[t]).contiguous());
        expectSameAsScan(tables[t]);
    }
    // Inside the gap no cell holds the value and neither clip applies.
    EXPECT_EQ(CellTable(tables[0]).quantise(0.0f), 0.0f);
    EXPECT_EQ(CellTable(tables[0]).trainingCell(0.0f), -1);
}
