#include "wave/WaveFile.h"

#include "wave/LittleEndian.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr std::size_t kStreamBuffer = 1 << 16;
constexpr std::uint32_t kHeaderBytes = 44;
constexpr std::uint32_t kFormatBytes = 16; // the part of "fmt " that is used

// Reading multiplies by these reciprocals rather than dividing by 127 or 32767; a division would
// round differently for some codes.
constexpr double kInv127 = 1.0 / 127.0;
constexpr double kInv32767 = 1.0 / 32767.0;

constexpr const char* kNotEightOrSixteen = "Floats can be written only as 8 or 16-bit samples";

// trunc(x) held to lo ... hi; NaN gives `ifNaN`. Clamping in double first keeps the conversion to
// an integer defined for every input, infinities included.
long clipCode(double x, double lo, double hi, long ifNaN) {
    if (std::isnan(x))
        return ifNaN;
    return static_cast<long>(std::clamp(std::trunc(x), lo, hi));
}

} // namespace

WaveFile::~WaveFile() {
    Close();
}

bool WaveFile::fail(const char* text) {
    lastError_ = text;
    Close();
    return false;
}

bool WaveFile::OpenForReading(const std::string& name) {
    Close();
    reader_ = std::make_unique<RiffFile>(name);
    if (!reader_->Stream())
        return fail("Couldn't open file");
    const char* formType = reader_->ChunkFormType();
    if (std::memcmp(reader_->ChunkId(), "RIFF", 4) != 0 || !formType ||
        std::memcmp(formType, "WAVE", 4) != 0 || !reader_->Descend("fmt "))
        return fail("Couldn't find RIFF, WAVE, or fmt");
    if (!readFormat())
        return fail("Error reading format chunk");
    reader_->Ascend();
    if (!reader_->Descend("data"))
        return fail("Couldn't find data chunk");
    // A data chunk that claims more than the file holds ends at the file's end.
    const std::int64_t present =
        std::max<std::int64_t>(0, reader_->FileSize() - reader_->CurrentChunk()->dataStart);
    dataLength_ = static_cast<std::uint32_t>(std::min<std::int64_t>(reader_->ChunkSize(), present));
    return true;
}

// The "fmt " chunk must lie whole inside the file; its first 16 bytes (missing ones as 0) give
// the six format fields in the chunk's order.
bool WaveFile::readFormat() {
    const RiffChunk& chunk = *reader_->CurrentChunk();
    if (chunk.dataStart + chunk.size > reader_->FileSize())
        return false;
    unsigned char bytes[kFormatBytes] = {};
    const std::size_t used = std::min(chunk.size, kFormatBytes);
    if (std::fread(bytes, 1, used, reader_->Stream()) != used)
        return false;
    formatTag_ = readLe16(bytes);
    channels_ = readLe16(bytes + 2);
    sampleRate_ = readLe32(bytes + 4);
    avgBytesPerSec_ = readLe32(bytes + 8);
    blockAlign_ = readLe16(bytes + 12);
    bitsPerSample_ = readLe16(bytes + 14);
    return true;
}

bool WaveFile::CreateForWriting(const std::string& name) {
    Close();
    writer_ = std::fopen(name.c_str(), "wb");
    if (!writer_) {
        lastError_ = "Couldn't open output file";
        return false;
    }
    std::setvbuf(writer_, nullptr, _IOFBF, kStreamBuffer);
    return WriteHeader(writer_);
}

bool WaveFile::WriteHeader(std::FILE* stream) {
    if (fseeko(stream, 0, SEEK_SET) != 0)
        return false;
    unsigned char h[kHeaderBytes];
    std::memcpy(h, "RIFF", 4);
    writeLe32(h + 4, dataLength_ + 36);
    std::memcpy(h + 8, "WAVE", 4);
    std::memcpy(h + 12, "fmt ", 4);
    writeLe32(h + 16, kFormatBytes);
    writeLe16(h + 20, formatTag_);
    writeLe16(h + 22, channels_);
    writeLe32(h + 24, sampleRate_);
    writeLe32(h + 28, avgBytesPerSec_);
    writeLe16(h + 32, blockAlign_);
    writeLe16(h + 34, bitsPerSample_);
    std::memcpy(h + 36, "data", 4);
    writeLe32(h + 40, dataLength_);
    if (std::fwrite(h, 1, kHeaderBytes, stream) != kHeaderBytes) {
        lastError_ = "Error writing header";
        return false;
    }
    if (stream == writer_)
        headerDirty_ = false;
    return true;
}

bool WaveFile::Close() {
    if (reader_) {
        reader_.reset();
        return true;
    }
    if (!writer_)
        return true;
    bool ok = true;
    if (headerDirty_) {
        const off_t position = ftello(writer_);
        ok = WriteHeader(writer_);
        fseeko(writer_, position, SEEK_SET);
    }
    // Samples still in the stream's buffer reach the disk only now: a full disk shows here.
    const bool flushed = !std::ferror(writer_) && std::fflush(writer_) == 0;
    const bool closed = std::fclose(writer_) == 0;
    writer_ = nullptr;
    if (!flushed || !closed) {
        lastError_ = "Couldn't write samples";
        ok = false;
    }
    return ok;
}

void WaveFile::CopyFormatFrom(const WaveFile& other) {
    formatTag_ = other.formatTag_;
    channels_ = other.channels_;
    sampleRate_ = other.sampleRate_;
    avgBytesPerSec_ = other.avgBytesPerSec_;
    blockAlign_ = other.blockAlign_;
    bitsPerSample_ = other.bitsPerSample_;
}

std::uint32_t WaveFile::frameBytes(std::uint32_t sampleBytes) const {
    return std::max<std::uint32_t>(blockAlign_, sampleBytes);
}

// Reads the first sample of the next frame and passes over the frame's other bytes.
bool WaveFile::readFrameStart(unsigned char* bytes, std::uint32_t sampleBytes) {
    if (!reader_) {
        lastError_ = "Couldn't read samples";
        return false;
    }
    // Byte by byte through the stream's buffer: for 1- and 2-byte samples far cheaper than a
    // fread call per sample.
    std::FILE* in = reader_->Stream();
    for (std::uint32_t i = 0; i < sampleBytes; ++i) {
        const int c = getc_unlocked(in);
        if (c == EOF) {
            lastError_ = "Couldn't read samples";
            return false;
        }
        bytes[i] = static_cast<unsigned char>(c);
    }
    for (std::uint32_t rest = frameBytes(sampleBytes) - sampleBytes; rest > 0; --rest)
        getc_unlocked(in);
    return true;
}

// Writes the sample into the slot of every channel of one frame (at least one slot, and only
// whole slots that fit the frame); the frame's other bytes, which belong to no channel, are zero.
// Counts the frame into dataLength.
bool WaveFile::writeFrame(const unsigned char* bytes, std::uint32_t sampleBytes) {
    const std::uint32_t frame = frameBytes(sampleBytes);
    if (!writer_ || dataLength_ > UINT32_MAX - 36 - frame) {
        lastError_ = "Couldn't write samples";
        return false;
    }
    const std::uint32_t slots =
        std::clamp<std::uint32_t>(channels_, 1, frame / sampleBytes) * sampleBytes;
    std::uint32_t written = 0;
    for (; written < frame; ++written) {
        const int byte = written < slots ? bytes[written % sampleBytes] : 0;
        if (putc_unlocked(byte, writer_) == EOF)
            break;
    }
    if (written != frame) {
        lastError_ = "Couldn't write samples";
        return false;
    }
    dataLength_ += frame;
    headerDirty_ = true;
    return true;
}

bool WaveFile::ReadRaw8(std::uint8_t& value) {
    if (bitsPerSample_ != 8) {
        lastError_ = "Sample size mismatch";
        return false;
    }
    unsigned char b;
    if (!readFrameStart(&b, 1))
        return false;
    value = b;
    return true;
}

bool WaveFile::ReadRaw16(std::int16_t& value) {
    if (bitsPerSample_ != 16) {
        lastError_ = "Sample size mismatch";
        return false;
    }
    unsigned char b[2];
    if (!readFrameStart(b, 2))
        return false;
    value = static_cast<std::int16_t>(readLe16(b));
    return true;
}

bool WaveFile::WriteRaw8(std::uint8_t value) {
    if (bitsPerSample_ != 8) {
        lastError_ = "Sample size mismatch";
        return false;
    }
    return writeFrame(&value, 1);
}

bool WaveFile::WriteRaw16(std::int16_t value) {
    if (bitsPerSample_ != 16) {
        lastError_ = "Sample size mismatch";
        return false;
    }
    unsigned char b[2];
    writeLe16(b, static_cast<std::uint16_t>(value));
    return writeFrame(b, 2);
}

bool WaveFile::ReadSample(double& value) {
    if (bitsPerSample_ == 8) {
        std::uint8_t b;
        if (!ReadRaw8(b))
            return false;
        value = b * kInv127 - 1.0;
        return true;
    }
    if (bitsPerSample_ == 16) {
        std::int16_t s;
        if (!ReadRaw16(s))
            return false;
        value = s * kInv32767;
        return true;
    }
    lastError_ = kNotEightOrSixteen;
    return false;
}

bool WaveFile::ReadSample(float& value) {
    double v;
    if (!ReadSample(v))
        return false;
    value = static_cast<float>(v);
    return true;
}

bool WaveFile::WriteSample(double value) {
    if (bitsPerSample_ == 8) {
        // Code 127 stands for 0.0.
        const long code = clipCode((value + 1.0) * 127.0, 0, 255, 127);
        return WriteRaw8(static_cast<std::uint8_t>(code));
    }
    if (bitsPerSample_ == 16) {
        const long code = clipCode(value * 32767.0, -32768, 32767, 0);
        return WriteRaw16(static_cast<std::int16_t>(code));
    }
    lastError_ = kNotEightOrSixteen;
    return false;
}

bool WaveFile::WriteSample(float value) {
    return WriteSample(static_cast<double>(value));
}
