#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The sound of a WAV file ready to play: the first channel of every frame as raw PCM (8-bit
// unsigned or 16-bit signed little-endian codes) at the file's sample rate. The player reads the
// whole file at once and closes it, so the file can be rewritten while the clip plays.
struct AudioClip {
    int sampleRate = 0;
    int bitsPerSample = 0; // 8 or 16
    std::vector<std::uint8_t> pcm;
};

// Nothing when the file cannot be read as 8- or 16-bit PCM with a positive sample rate.
std::optional<AudioClip> loadAudioClip(const std::string& path);
