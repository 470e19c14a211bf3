#pragma once

#include "engine/RunHost.h"
#include "engine/RunSettings.h"
#include "engine/WorkingFiles.h"

#include <random>

struct Mnozniki;

// The engine side of the button "SYMULACJA": checks that an input exists, runs the coder that
// the two check boxes select, reports a fault that escapes the run, and after a successful run
// writes Tmp/wy.wav from Tmp/002.tmp in the format of Tmp/we.wav.
//
// Check boxes → run: predictor alone → prediction; quantiser alone → PCM; both → ADPCM;
// neither → nothing (−1, no message: the simulation page is hidden in that mode).
class SimulationRun {
public:
    // The objects are the window's (or the command line's) and outlive the SimulationRun.
    SimulationRun(const WorkingFiles& files, RunHost& host, const Mnozniki& mnozniki,
                  std::minstd_rand& random);

    // 1 when the run completed and wy.wav was written; −1 otherwise, after a message (no input:
    // "Nie wybrano pliku wejściowego"; a refused setting; an overflow; a failed write). After −1,
    // wy.wav is as it was and every working file is closed.
    //
    // Host calls in order: computationStarted (only once the input exists), the run's own
    // progress and results calls, computationFinished, and on success releaseOutputWav right
    // before wy.wav is rewritten.
    int start(bool quantiser, bool predictor, const RunSettings& settings);

private:
    int runSelected(bool quantiser, bool predictor, const RunSettings& settings);

    const WorkingFiles& files_;
    RunHost& host_;
    const Mnozniki& mnozniki_;
    std::minstd_rand& random_;
};
