#include "ui/AudioClip.h"

#include "wave/WaveFile.h"

std::optional<AudioClip> loadAudioClip(const std::string& path) {
    WaveFile file;
    if (!file.OpenForReading(path))
        return std::nullopt;
    AudioClip clip;
    clip.sampleRate = static_cast<int>(file.sampleRate());
    clip.bitsPerSample = file.bitsPerSample();
    if (clip.sampleRate <= 0 || (clip.bitsPerSample != 8 && clip.bitsPerSample != 16))
        return std::nullopt;
    const std::uint32_t frames = file.SampleCount();
    clip.pcm.reserve(static_cast<std::size_t>(frames) * (clip.bitsPerSample / 8));
    for (std::uint32_t i = 0; i < frames; ++i) {
        if (clip.bitsPerSample == 8) {
            std::uint8_t code = 0;
            if (!file.ReadRaw8(code))
                break;
            clip.pcm.push_back(code);
        } else {
            std::int16_t code = 0;
            if (!file.ReadRaw16(code))
                break;
            const auto bits = static_cast<std::uint16_t>(code);
            clip.pcm.push_back(static_cast<std::uint8_t>(bits & 0xff));
            clip.pcm.push_back(static_cast<std::uint8_t>(bits >> 8));
        }
    }
    file.Close();
    return clip;
}
