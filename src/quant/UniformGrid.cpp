#include "quant/UniformGrid.h"

#include <cmath>

namespace {

// A as float (87.5999984741...), and k = 1 + ln A from that float, in double.
constexpr float kA = 87.6f;
const double kK = 1.0 + std::log(static_cast<double>(kA));

} // namespace

UniformGrid::UniformGrid(float W, std::int32_t N)
    : d(static_cast<float>(2.0 * W / (static_cast<double>(N) - 1.0))) {
    centres.reserve(static_cast<std::size_t>(N));
    bounds.reserve(2 * static_cast<std::size_t>(N));
    const double half = static_cast<double>(d) / 2.0;
    for (std::int32_t i = 0; i < N; ++i) {
        const double centre = static_cast<double>(i) * d - W;
        centres.push_back(static_cast<float>(centre));
        bounds.push_back(static_cast<float>(centre - half));
        bounds.push_back(static_cast<float>(centre + half));
    }
}

std::vector<Przedzial> UniformGrid::cells() const {
    std::vector<Przedzial> result(centres.size());
    for (std::size_t i = 0; i < centres.size(); ++i)
        result[i] = {bounds[2 * i], bounds[2 * i + 1], centres[i]};
    return result;
}

Ekspanduj::Ekspanduj(const std::vector<float>& progiLog)
    : P_(-progiLog.front()), T_(static_cast<float>(P_ / kK)) {}

float Ekspanduj::operator()(float y) const {
    const double P = P_;
    double x;
    if (y >= 0)
        x = y > T_ ? P * std::exp(kK * y / P - 1.0) / kA : kK * y / kA;
    else
        x = y < -T_ ? -P * std::exp(-kK * y / P - 1.0) / kA : kK * y / kA;
    return static_cast<float>(x);
}

std::vector<Przedzial> aLawCells(const UniformGrid& grid) {
    const Ekspanduj expand(grid.bounds);
    std::vector<Przedzial> result(grid.centres.size());
    for (std::size_t i = 0; i < result.size(); ++i) {
        const float low = expand(grid.bounds[2 * i]);
        const float high = expand(grid.bounds[2 * i + 1]);
        result[i] = {low, high, static_cast<float>((static_cast<double>(high) - low) * 0.5 + low)};
    }
    return result;
}
