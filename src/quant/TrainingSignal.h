#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The training data of a Lloyd-Max design: a sample stream held in memory (4 bytes a sample), so
// that the data range, the draws and every training pass read the same values without reopening
// the file.
//
// K is the header truncated toward zero; a header that is not a number or lies beyond the 32-bit
// range counts as 0. The samples are every word after the header up to the end of the file,
// whatever K says. A missing or unreadable file is an empty stream with K = 0.
struct TrainingSignal {
    static TrainingSignal load(const std::string& path);

    std::int32_t K = 0;
    std::vector<float> samples;

    // How many samples a random draw can reach: a draw takes index r mod K (0 when K is 0), and
    // an index past the last sample read yields nothing.
    std::size_t drawable() const;

    // True when the drawable samples hold at least n values that differ under float ==, the
    // test the draw uses (so +0 and -0 are one value). A drawable NaN differs from everything,
    // itself included, so it makes any n reachable.
    bool hasDistinct(std::int32_t n) const;
};
