#pragma once

#include <string>
#include <string_view>

// Names of the files in the working directory Tmp under the start-up directory.
namespace workfile {
inline constexpr std::string_view input = "001.tmp";        // input signal x
inline constexpr std::string_view output = "002.tmp";       // output signal
inline constexpr std::string_view quantError = "003.tmp";   // quantisation error
inline constexpr std::string_view predError = "004.tmp";    // prediction error
inline constexpr std::string_view coefficients = "005.tmp"; // K coefficients per sample
inline constexpr std::string_view frameRatios = "006.tmp";  // header F, then F + 1 ratios
inline constexpr std::string_view segmental = "007.tmp";    // header 1.0, segmental dB
inline constexpr std::string_view overall = "008.tmp";      // header 1.0, overall ratio
inline constexpr std::string_view inputWav = "we.wav";
inline constexpr std::string_view outputWav = "wy.wav";
inline constexpr std::string_view templateWav = "wzorzec.wav";
inline constexpr std::string_view tmpInputWav = "tmp_we.wav";
} // namespace workfile

// Frames are 128 consecutive samples; frame p holds samples 128p … 128p + 127.
inline constexpr int kFrameLength = 128;

// Index of the last frame of an n-sample signal: ceil(n / 128) − 1, so −1 for n = 0.
constexpr int lastFrameFor(int n) {
    return n % kFrameLength != 0 ? n / kFrameLength : n / kFrameLength - 1;
}

// The working directory of one start-up directory. The system never creates it: it is installed
// with the template wzorzec.wav in it.
class WorkingFiles {
public:
    explicit WorkingFiles(std::string startupDir);

    const std::string& startupDir() const { return startupDir_; }
    // startupDir + "/Tmp"
    const std::string& dir() const { return dir_; }
    // startupDir + "/Tmp/" + name
    std::string path(std::string_view name) const;

    // Deletes the ten files a new window starts without (001.tmp … 008.tmp, we.wav, wy.wav), in
    // that order; a file that is missing or cannot be deleted is passed over.
    void clear() const;

private:
    std::string startupDir_;
    std::string dir_;
};
