#pragma once

#include "ui/PixelCanvas.h"

#include <array>

// Pen colour of predictor coefficient k (0 … 10) in the results view's coefficient tracks, and
// the colour of the line "współczynnik a<k>" of the legend window: one table for both, so the
// legend always names the colours the tracks are drawn in. Eleven entries, one per coefficient a
// run may have.
inline constexpr std::array<Rgb, 11> kCoefficientColours{{
    {0, 0, 0},       // black
    {255, 0, 0},     // red
    {0, 128, 0},     // green
    {128, 128, 128}, // grey
    {255, 255, 0},   // yellow
    {0, 0, 255},     // blue
    {0, 255, 255},   // aqua
    {0, 0, 128},     // navy
    {128, 0, 128},   // purple
    {0, 128, 128},   // teal
    {128, 0, 0},     // maroon
}};
