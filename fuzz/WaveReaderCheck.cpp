#include "WaveReaderCheck.h"

#include "wave/RiffFile.h"
#include "wave/WaveFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>

namespace {

// The widest values the two encodings read as: 16-bit −32768 and 8-bit 255.
constexpr float kLowest = static_cast<float>(-32768.0 / 32767.0);
constexpr float kHighest = static_cast<float>(255.0 / 127.0 - 1.0);

std::string readAll(WaveFile& wav, std::uintmax_t fileSize) {
    const std::uint32_t n = wav.SampleCount();
    const std::uint64_t frame = std::max<std::uint32_t>(wav.blockAlign(), 1);
    if (n * frame > fileSize)
        return "counts " + std::to_string(n) + " frames of " + std::to_string(frame) +
               " bytes in a file of " + std::to_string(fileSize) + " bytes";
    const unsigned bits = wav.bitsPerSample();
    const bool readable = (bits == 8 || bits == 16) && wav.blockAlign() >= bits / 8;
    for (std::uint32_t i = 0; i < n; ++i) {
        float v;
        if (!wav.ReadSample(v)) {
            if (readable)
                return "sample " + std::to_string(i) + " of " + std::to_string(n) + " not read";
            if (!wav.lastError())
                return "a failed read left no text";
            break;
        }
        if (!(v >= kLowest && v <= kHighest))
            return "sample " + std::to_string(i) + " read as " + std::to_string(v);
    }
    if (!wav.Close())
        return "closing a reader failed";
    return {};
}

// Searches that a hostile size could make endless: every chunk kind at the top, and one level
// down inside a "LIST".
void walkChunks(const std::string& path) {
    RiffFile riff(path);
    if (!riff.Stream())
        return;
    for (const char* id : {"fmt ", "data", "LIST", "fact"}) {
        if (!riff.Descend(id))
            continue;
        if (riff.Descend("INFO") || riff.Descend("ISFT"))
            riff.Ascend();
        riff.Ascend();
    }
    riff.Ascend(); // the outer chunk is never left
    riff.Rewind();
}

} // namespace

std::string checkWaveReader(const std::string& path) {
    std::error_code ec;
    const std::uintmax_t fileSize = std::filesystem::file_size(path, ec);
    if (ec)
        return "cannot stat " + path;
    WaveFile wav;
    if (!wav.OpenForReading(path)) {
        if (!wav.lastError())
            return "refused without a text";
        if (wav.isReading())
            return "refused but left open";
    } else if (std::string problem = readAll(wav, fileSize); !problem.empty()) {
        return problem;
    }
    walkChunks(path);
    return {};
}
