#pragma once

#include <string>

// The three conversions between WAV files and sample streams. Values move one at a time through
// buffered streams, so memory does not grow with the signal.
//
// Each writes its target under a temporary name and renames it into place only when every step
// succeeded (see StagedFile); on failure it returns false and the target is as it was. A
// conversion never reads from or writes to a file that failed to open, so a source that cannot
// be read, or a reference without a readable format, is a failure rather than an empty result.
// No conversion shows anything.

// Stream at `streamPath`: word 0 = `header` (the caller's value, unchanged), then each sample of
// the WAV file times `scale`, rounded to float. As many values as the file's SampleCount.
// Fails for a header or a sample count above 16777216 (a float counts samples exactly only up to
// there).
bool WavToStream(const std::string& wavPath, const std::string& streamPath, float header,
                 float scale);

// WAV file at `targetPath` in the format of the source, each sample times `gain` rounded to float.
// Not a bit copy even for gain 1.0: 16-bit codes move toward zero when truncated on writing.
bool ScaleWav(const std::string& sourcePath, const std::string& targetPath, float gain);

// WAV file at `targetPath` in the format of the reference file, holding the stream's values.
// Values are copied while a float counter k (0, 1, 2 ...) stays below the header; a header of
// 0.0 gives a file of the bare 44-byte header as written at creation (format all zero). Fails for
// a header above 16777216 or a stream shorter than its header says.
bool StreamToWav(const std::string& streamPath, const std::string& targetPath,
                 const std::string& referencePath);

// Largest number of samples a sample stream can hold (2^24).
inline constexpr float kMaxStreamSamples = 16777216.0f;
