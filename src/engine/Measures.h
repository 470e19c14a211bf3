#pragma once

#include "engine/WorkingFiles.h"

#include <optional>
#include <string>
#include <vector>

// The measures a run leaves in the working files, and their text as the results page shows
// them: the overall and frame ratios are stored linear and shown in dB, the segmental measure is
// stored in dB; a ratio of exactly 0 shows as "-INF".
struct StoredMeasures {
    float overallRatio = 0.0f;      // value 0 of 008.tmp
    float segmentalDb = 0.0f;       // value 0 of 007.tmp
    std::vector<float> frameRatios; // the values of 006.tmp, frame 0 first
};

// Reads 006.tmp (header F, then F + 1 ratios), 007.tmp and 008.tmp; nothing when one of them is
// missing or shorter than its header says.
std::optional<StoredMeasures> readStoredMeasures(const WorkingFiles& files);

// 10·log10(ratio), formed in double.
double ratioDecibels(float ratio);

// "-INF" for 0, else ratioDecibels in the general format with a decimal comma; the window's
// results view shows its measures through it too.
std::string ratioMeasureText(float ratio);
