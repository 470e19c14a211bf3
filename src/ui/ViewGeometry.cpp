#include "ui/ViewGeometry.h"

#include <cmath>

namespace view {

namespace {

// Far enough outside the surface for the visible part of any line to stay the same, close
// enough for the line arithmetic to stay exact in 64 bits.
constexpr long double kFarAway = 1'000'000.0L;

int holdAndTruncate(long double value) {
    if (std::isnan(value))
        return 0;
    if (value > kFarAway)
        value = kFarAway;
    if (value < -kFarAway)
        value = -kFarAway;
    return static_cast<int>(value); // conversion truncates toward zero
}

} // namespace

int valueY(long double v) {
    if (std::isnan(v))
        return kAxisY;
    const long double y =
        static_cast<long double>(kAxisY) - static_cast<long double>(kHeight) * v * 0.5L;
    return holdAndTruncate(y);
}

int phraseX(std::int64_t k, double step) {
    return holdAndTruncate(static_cast<long double>(static_cast<double>(k) * step));
}

int lengthFromHeader(float header) {
    if (std::isnan(header))
        return 0;
    if (header >= 2147483648.0f)
        return 2147483647;
    if (header <= -2147483648.0f)
        return -2147483647 - 1;
    return static_cast<int>(header);
}

} // namespace view
