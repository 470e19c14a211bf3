#pragma once

#include <cstdint>

// Geometry shared by the three drawing surfaces (the input view and the two results surfaces):
// 640 × 145 pixels, x grows to the right, y downwards, (0, 0) the top-left pixel. A frame of 128
// samples spans the whole width; a value of +1 reaches row 0, −1 row 144, 0 the axis on row 72.
namespace view {

inline constexpr int kWidth = 640;
inline constexpr int kHeight = 145;
inline constexpr int kAxisY = kHeight / 2; // 72

// Column of sample i (0 … 127) of a frame: (640 × i) div 127, so samples are 5 or 6 pixels apart
// and i = 127 lands on x = 640, one past the last column.
constexpr int frameX(int i) {
    return kWidth * i / 127;
}

// Row of a value v: trunc(72 − 145 × v × 0.5), formed in extended precision and cut toward zero,
// so +1 gives row 0 (from −0.5) and −1 row 144 (from 144.5). Values far beyond the surface are
// held to ±1 000 000 rows, which changes no visible pixel; a NaN is drawn on the axis. Takes the
// value in extended precision, so a difference of two samples maps without being rounded first.
int valueY(long double v);

// Column of the k-th value (counted from 1) of a whole-phrase view whose step is 640 / N pixels
// per sample: trunc(k × step), held like valueY.
int phraseX(std::int64_t k, double step);

// The number of samples a stream header announces: the header truncated toward zero, held to the
// range of a signed 32-bit integer (a NaN counts as 0).
int lengthFromHeader(float header);

} // namespace view
