#include "ui/PixelCanvas.h"

#include <algorithm>
#include <cstdlib>

PixelCanvas::PixelCanvas(int width, int height)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), pack(kWhite)) {}

void PixelCanvas::frameRect() {
    std::fill(pixels_.begin(), pixels_.end(), pack(kWhite));
    for (int x = 0; x < width_; ++x) {
        plot(x, 0);
        plot(x, height_ - 1);
    }
    for (int y = 0; y < height_; ++y) {
        plot(0, y);
        plot(width_ - 1, y);
    }
}

namespace {

// The nearest integer to num / den (den > 0), halves rounded up.
std::int64_t roundedQuotient(std::int64_t num, std::int64_t den) {
    const std::int64_t twice = 2 * num + den;
    const std::int64_t q = twice / (2 * den);
    return (twice % (2 * den) < 0) ? q - 1 : q; // floor division
}

} // namespace

void PixelCanvas::lineTo(int x, int y) {
    x = hold(x);
    y = hold(y);
    // Step along the longer axis from the pen (included) to the end point (excluded); the other
    // coordinate is the exact line's, rounded. Only the steps whose major coordinate lies on the
    // surface are walked.
    const std::int64_t x0 = penX_, y0 = penY_;
    const std::int64_t dx = std::int64_t{x} - x0, dy = std::int64_t{y} - y0;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const std::int64_t steps = xMajor ? std::llabs(dx) : std::llabs(dy);
    if (steps > 0) {
        const std::int64_t major0 = xMajor ? x0 : y0;
        const std::int64_t minor0 = xMajor ? y0 : x0;
        const std::int64_t dMinor = xMajor ? dy : dx;
        const std::int64_t dir = (xMajor ? dx : dy) > 0 ? 1 : -1;
        const std::int64_t limit = xMajor ? width_ : height_;
        // Steps t with 0 <= major0 + dir·t < limit.
        std::int64_t first = 0, last = steps - 1;
        if (dir > 0) {
            first = std::max(first, -major0);
            last = std::min(last, limit - 1 - major0);
        } else {
            first = std::max(first, major0 - (limit - 1));
            last = std::min(last, major0);
        }
        for (std::int64_t t = first; t <= last; ++t) {
            const std::int64_t major = major0 + dir * t;
            const std::int64_t minor = minor0 + roundedQuotient(dMinor * t, steps);
            if (xMajor)
                plot(major, minor);
            else
                plot(minor, major);
        }
    }
    penX_ = x;
    penY_ = y;
}
