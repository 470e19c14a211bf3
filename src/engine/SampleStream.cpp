#include "engine/SampleStream.h"

#include <bit>
#include <cstring>

namespace {

constexpr std::size_t kBufferBytes = 1 << 16;

} // namespace

StreamReader::StreamReader(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
    if (file_)
        buffer_.resize(kBufferBytes);
}

StreamReader::~StreamReader() {
    close();
}

void StreamReader::close() {
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
    pos_ = end_ = 0;
}

bool StreamReader::refill() {
    if (!file_)
        return false;
    // Keep a partial word (a file whose length is not a multiple of 4) at the front.
    const std::size_t left = end_ - pos_;
    std::memmove(buffer_.data(), buffer_.data() + pos_, left);
    bufferStart_ += pos_;
    pos_ = 0;
    end_ = left + std::fread(buffer_.data() + left, 1, buffer_.size() - left, file_);
    return end_ >= 4;
}

bool StreamReader::seekWord(std::uint64_t word) {
    if (!file_)
        return false;
    const std::uint64_t offset = word * 4;
    if (offset >= bufferStart_ && offset + 4 <= bufferStart_ + end_) {
        pos_ = static_cast<std::size_t>(offset - bufferStart_);
        return true;
    }
    if (fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0)
        return false;
    std::clearerr(file_);
    bufferStart_ = offset;
    pos_ = end_ = 0;
    return true;
}

bool StreamReader::readHeader(const std::string& path, float& header) {
    StreamReader reader(path);
    return reader.read(header);
}

StreamWriter::StreamWriter(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {
    if (file_)
        buffer_.resize(kBufferBytes);
    failed_ = file_ == nullptr;
}

StreamWriter::~StreamWriter() {
    close();
}

bool StreamWriter::flush() {
    if (failed_)
        return false;
    if (pos_ > 0 && std::fwrite(buffer_.data(), 1, pos_, file_) != pos_)
        failed_ = true;
    pos_ = 0;
    return !failed_;
}

bool StreamWriter::close() {
    if (!file_)
        return false;
    flush();
    if (std::fclose(file_) != 0)
        failed_ = true;
    file_ = nullptr;
    return !failed_;
}
