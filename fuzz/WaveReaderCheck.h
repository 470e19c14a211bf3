#pragma once

#include <string>

// What the WAV reader promises on any file whatever its bytes, checked in the order a caller uses
// it: open, read every counted sample, close; then a walk of the chunk tree with RiffFile.
//
// - A refused file leaves a text in lastError() and the object idle.
// - An opened file never counts more frames than the file holds.
// - With 8- or 16-bit samples in frames at least one sample wide (what the input page accepts)
//   every counted sample reads, each a finite value in -32768/32767 ... 128/127; otherwise a read
//   may fail, but only with a text.
// - Every chunk search ends (sizes pointing past the end or wrapping around 32 bits included).
//
// Returns a description of the first promise broken, empty when all held. Crashes, reads outside
// a buffer and undefined behaviour are the sanitizers' to catch.
std::string checkWaveReader(const std::string& path);
