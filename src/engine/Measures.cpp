#include "engine/Measures.h"

#include "engine/NumberText.h"
#include "engine/SampleStream.h"

#include <cmath>

namespace {

// Value 0 of a one-value stream (007.tmp, 008.tmp).
bool readSingle(const std::string& path, float& value) {
    StreamReader reader(path);
    float header;
    return reader.read(header) && reader.read(value);
}

} // namespace

std::optional<StoredMeasures> readStoredMeasures(const WorkingFiles& files) {
    StoredMeasures measures;
    if (!readSingle(files.path(workfile::overall), measures.overallRatio) ||
        !readSingle(files.path(workfile::segmental), measures.segmentalDb))
        return std::nullopt;
    StreamReader ratios(files.path(workfile::frameRatios));
    float header;
    if (!ratios.read(header) || !(header >= 0.0f && header < 16777216.0f))
        return std::nullopt;
    measures.frameRatios.resize(static_cast<std::size_t>(header) + 1);
    for (float& ratio : measures.frameRatios)
        if (!ratios.read(ratio))
            return std::nullopt;
    return measures;
}

double ratioDecibels(float ratio) {
    return 10.0 * std::log10(double(ratio));
}

std::string ratioMeasureText(float ratio) {
    return ratio == 0.0f ? std::string("-INF") : formatMeasure(ratioDecibels(ratio));
}
