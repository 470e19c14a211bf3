#pragma once

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// A sample stream is a file of little-endian float32 words and nothing else: word 0 is a header
// (for a signal, the number of samples N as an integral float), word 1 + i is value i.
// Both classes move values through a buffer of their own, so one value costs a copy rather than a
// library call, and memory stays the size of the buffer whatever the signal's length.

namespace sample_stream_detail {
// The stream's bytes are little-endian whatever the machine. Inline, since every value passes
// through here.
inline std::uint32_t toLittleEndian(std::uint32_t v) {
    if constexpr (std::endian::native == std::endian::little)
        return v;
    return (v >> 24) | ((v >> 8) & 0xff00u) | ((v << 8) & 0xff0000u) | (v << 24);
}
} // namespace sample_stream_detail

// Reads words in order, or from any word after seekWord. A reader whose file did not open reads
// nothing: every read returns false.
class StreamReader {
public:
    explicit StreamReader(const std::string& path);
    ~StreamReader();
    StreamReader(const StreamReader&) = delete;
    StreamReader& operator=(const StreamReader&) = delete;

    bool isOpen() const { return file_ != nullptr; }

    // The next word; false at the end of the file or on a read error, leaving value untouched.
    bool read(float& value) {
        if (pos_ + 4 > end_ && !refill())
            return false;
        value = decode(&buffer_[pos_]);
        pos_ += 4;
        return true;
    }

    // Places the reader so that the next read returns word `word` (0 is the header).
    bool seekWord(std::uint64_t word);

    // Word 0 of the stream at path: its header. False when the file holds no whole word.
    static bool readHeader(const std::string& path, float& header);

    void close();

private:
    bool refill();
    static float decode(const unsigned char* bytes) {
        std::uint32_t raw;
        std::memcpy(&raw, bytes, 4);
        return std::bit_cast<float>(sample_stream_detail::toLittleEndian(raw));
    }

    std::FILE* file_ = nullptr;
    std::vector<unsigned char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::uint64_t bufferStart_ = 0; // file offset of buffer_[0]
};

// Writes words in order to a file created (or truncated) at construction. A failed open or a
// failed write leaves the writer failed: later writes are dropped and close() returns false, so a
// caller learns of a full disk once, at the end, without testing every value.
class StreamWriter {
public:
    explicit StreamWriter(const std::string& path);
    ~StreamWriter();
    StreamWriter(const StreamWriter&) = delete;
    StreamWriter& operator=(const StreamWriter&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    bool ok() const { return file_ != nullptr && !failed_; }

    void write(float value) {
        if (pos_ + 4 > buffer_.size() && !flush())
            return;
        encode(value, &buffer_[pos_]);
        pos_ += 4;
    }

    // A record of values in one call (the predictor's coefficients of one sample).
    void write(const float* values, std::size_t count) {
        if (pos_ + 4 * count <= buffer_.size()) {
            for (std::size_t i = 0; i < count; ++i)
                encode(values[i], &buffer_[pos_ + 4 * i]);
            pos_ += 4 * count;
            return;
        }
        for (std::size_t i = 0; i < count; ++i)
            write(values[i]);
    }

    // Flushes and closes; true when every word reached the file.
    bool close();

private:
    bool flush();
    static void encode(float value, unsigned char* bytes) {
        const std::uint32_t raw =
            sample_stream_detail::toLittleEndian(std::bit_cast<std::uint32_t>(value));
        std::memcpy(bytes, &raw, 4);
    }

    std::FILE* file_ = nullptr;
    std::vector<unsigned char> buffer_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};
