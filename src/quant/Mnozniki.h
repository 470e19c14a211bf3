#pragma once

#include <array>

// The step multipliers of the adaptive quantiser, one row for each allowed number of levels.
// Element k belongs to level k counted from the most negative level, so the two halves of a row
// may differ. The window's dialog holds the single table for the life of the program and edits it;
// an adaptive quantiser copies its row when it is built.
struct Mnozniki {
    std::array<float, 4> Mnozniki4;
    std::array<float, 8> Mnozniki8;
    std::array<float, 16> Mnozniki16;

    // The table every program start begins with.
    static Mnozniki defaults();

    // The row for 4, 8 or 16 levels; nullptr for any other count (no adaptive quantiser exists
    // for it).
    const float* row(int levels) const;
};
