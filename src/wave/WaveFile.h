#pragma once

#include "wave/RiffFile.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// A WAV file opened for reading or created for writing, moving one sample at a time as a float
// of about -1 to +1.
//
// Reading accepts a RIFF file of form type "WAVE" with a "fmt " and a "data" chunk directly in
// the outer chunk, in either order, among any other chunks. Only the first 16 bytes of "fmt " are
// used; a shorter "fmt " reads its missing fields as 0. A "data" chunk claiming more bytes than
// the file holds is read to the file's end, so SampleCount() counts the whole frames present.
// Writing produces the canonical 44-byte header; Close() rewrites it with the final data length.
//
// Samples (8-bit unsigned, 16-bit signed; frames of blockAlign bytes):
//   read:  8-bit b -> b * (1/127) - 1      16-bit s -> s * (1/32767)
//   write: 8-bit trunc((x + 1) * 127)      16-bit trunc(x * 32767)
// formed in double with the reciprocal constants, rounded to float only for the float forms.
// Writing clips instead of wrapping around: 8-bit codes are held to 0 ... 255, 16-bit codes to
// -32768 ... 32767, and NaN writes the code of 0.0. A frame of several channels yields its first
// channel on reading and receives the value in every channel on writing.
//
// Failures return false and leave a fixed English text in lastError(); the object then stays
// safe to query, close and destroy. Only OpenForReading allocates; sample transfers go through
// the C runtime's buffered stream.
class WaveFile {
public:
    WaveFile() = default;
    ~WaveFile();
    WaveFile(const WaveFile&) = delete;
    WaveFile& operator=(const WaveFile&) = delete;

    bool OpenForReading(const std::string& name);
    bool CreateForWriting(const std::string& name);
    bool Close();
    // The six format fields, not dataLength.
    void CopyFormatFrom(const WaveFile& other);
    bool WriteHeader(std::FILE* stream);

    bool ReadSample(float& value);
    bool ReadSample(double& value);
    bool WriteSample(float value);
    bool WriteSample(double value);
    bool ReadRaw8(std::uint8_t& value);
    bool WriteRaw8(std::uint8_t value);
    bool ReadRaw16(std::int16_t& value);
    bool WriteRaw16(std::int16_t value);

    // dataLength / blockAlign (frames), 0 when blockAlign is 0.
    std::uint32_t SampleCount() const { return blockAlign_ == 0 ? 0 : dataLength_ / blockAlign_; }

    std::uint16_t formatTag() const { return formatTag_; }
    std::uint16_t channels() const { return channels_; }
    std::uint32_t sampleRate() const { return sampleRate_; }
    std::uint32_t avgBytesPerSec() const { return avgBytesPerSec_; }
    std::uint16_t blockAlign() const { return blockAlign_; }
    std::uint16_t bitsPerSample() const { return bitsPerSample_; }
    std::uint32_t dataLength() const { return dataLength_; }
    // The text of the last failure, null when nothing failed yet.
    const char* lastError() const { return lastError_; }
    bool isReading() const { return reader_ != nullptr; }
    bool isWriting() const { return writer_ != nullptr; }

private:
    bool fail(const char* text);
    bool readFormat();
    // Bytes of one frame: blockAlign, but never less than one sample of `sampleBytes`.
    std::uint32_t frameBytes(std::uint32_t sampleBytes) const;
    bool readFrameStart(unsigned char* bytes, std::uint32_t sampleBytes);
    bool writeFrame(const unsigned char* bytes, std::uint32_t sampleBytes);

    std::unique_ptr<RiffFile> reader_;
    std::FILE* writer_ = nullptr;
    std::uint16_t formatTag_ = 0;
    std::uint16_t channels_ = 0;
    std::uint32_t sampleRate_ = 0;
    std::uint32_t avgBytesPerSec_ = 0;
    std::uint16_t blockAlign_ = 0;
    std::uint16_t bitsPerSample_ = 0;
    std::uint32_t dataLength_ = 0;
    const char* lastError_ = nullptr;
    bool headerDirty_ = true;
};
