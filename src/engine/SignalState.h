#pragma once

// The two fields that describe the current input, shared by the input actions, the runs and the
// views. The window (or the command line) owns one and passes it to whoever updates it.
struct SignalState {
    int signalLength = 0; // N, the header of 001.tmp truncated to an integer
    int lastFrame = 0;    // F = ceil(N / 128) − 1
};
