#pragma once

#include "engine/RunHost.h"
#include "engine/RunSettings.h"
#include "engine/WorkingFiles.h"

#include <random>

struct Mnozniki;

// What every run reaches beyond its settings: the working directory, the window around it, the
// step multipliers of the adaptive quantiser (owned by the multipliers dialog) and the process's
// single pseudo-random generator (the Lloyd-Max random codebook).
struct RunContext {
    const WorkingFiles& files;
    RunHost& host;
    const Mnozniki& mnozniki;
    std::minstd_rand& random;
};

// The three simulation runs. Each reads and tests its settings (a refusal shows its message,
// touches no working file and gives −1), builds its coder objects, and runs the frame loop:
// 1 on completion, −1 after a refusal or a stop that was shown to the user. A fault outside the
// guarded places is thrown as EscapedFault (FrameLoop.h) for SimulationRun to report.

// Quantiser alone: 002.tmp the quantised signal q, 003.tmp x − q; SNR measures.
int RunPcm(const RunContext& context, const RunSettings& settings);
// Predictor alone: 002.tmp the prediction p, 004.tmp x − p, 005.tmp the coefficients after each
// update; prediction-gain measures gated by the frame's signal energy.
int RunPrediction(const RunContext& context, const RunSettings& settings);
// ADPCM coder and decoder with an ideal channel: 002.tmp the decoder's output y, 004.tmp the
// prediction error d, 003.tmp q − d, 005.tmp the coder's coefficients; SNR measures of x − y.
int RunAdpcm(const RunContext& context, const RunSettings& settings);
