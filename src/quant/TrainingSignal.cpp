#include "quant/TrainingSignal.h"

#include "engine/SampleStream.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unordered_set>

namespace {

std::int32_t truncatedCount(float header) {
    // Beyond +-2^31 (or NaN) the conversion to int32 is undefined.
    constexpr float kLimit = 2147483648.0f;
    if (!(header > -kLimit && header < kLimit))
        return 0;
    return static_cast<std::int32_t>(header);
}

} // namespace

TrainingSignal TrainingSignal::load(const std::string& path) {
    TrainingSignal signal;
    StreamReader in(path);
    float header = 0;
    if (!in.read(header))
        return signal;
    signal.K = truncatedCount(header);
    float x;
    while (in.read(x))
        signal.samples.push_back(x);
    return signal;
}

std::size_t TrainingSignal::drawable() const {
    const std::size_t indices = K == 0 ? 1 : static_cast<std::size_t>(std::abs(std::int64_t{K}));
    return std::min(indices, samples.size());
}

bool TrainingSignal::hasDistinct(std::int32_t n) const {
    if (n <= 0)
        return true;
    // std::hash<float> maps both zeros to one bucket and std::equal_to is float ==, so the set
    // counts values exactly as the draw compares them. Stops as soon as n are found.
    std::unordered_set<float> seen;
    const std::size_t reach = drawable();
    for (std::size_t i = 0; i < reach; ++i) {
        if (std::isnan(samples[i]))
            return true;
        seen.insert(samples[i]);
        if (seen.size() >= static_cast<std::size_t>(n))
            return true;
    }
    return false;
}
