#include "wave/RiffFile.h"

#include "wave/LittleEndian.h"

#include <cstring>

namespace {

constexpr std::size_t kStreamBuffer = 1 << 16;

bool hasFormType(const char* id) {
    return std::memcmp(id, "RIFF", 4) == 0 || std::memcmp(id, "LIST", 4) == 0;
}

} // namespace

RiffFile::RiffFile(const std::string& name) : stream_(std::fopen(name.c_str(), "rb")) {
    if (!stream_)
        return;
    std::setvbuf(stream_, nullptr, _IOFBF, kStreamBuffer);
    if (fseeko(stream_, 0, SEEK_END) == 0)
        fileSize_ = ftello(stream_);
    if (fileSize_ < 0 || !Rewind()) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
}

RiffFile::~RiffFile() {
    if (stream_)
        std::fclose(stream_);
}

bool RiffFile::seek(std::int64_t position) {
    return position >= 0 && fseeko(stream_, static_cast<off_t>(position), SEEK_SET) == 0;
}

// Reads id, size and (for "RIFF" / "LIST") the form type at the current position. False when
// the file ends (or fails) inside the header.
bool RiffFile::readChunkHeader(RiffChunk& chunk) {
    unsigned char bytes[8];
    if (std::fread(bytes, 1, 8, stream_) != 8)
        return false;
    std::memcpy(chunk.id, bytes, 4);
    chunk.id[4] = '\0';
    chunk.size = readLe32(bytes + 4);
    chunk.formType[0] = '\0';
    if (hasFormType(chunk.id)) {
        if (std::fread(chunk.formType, 1, 4, stream_) != 4)
            return false;
        chunk.formType[4] = '\0';
        chunk.size -= 4; // unsigned: a size field below 4 wraps to a size near 2^32, as read
    }
    chunk.dataStart = ftello(stream_);
    chunk.next = chunk.dataStart + chunk.size;
    if (chunk.next % 2 != 0)
        ++chunk.next;
    return chunk.dataStart >= 0;
}

bool RiffFile::Rewind() {
    chunks_.clear();
    if (!stream_ || !seek(0))
        return false;
    RiffChunk outer;
    if (!readChunkHeader(outer) || std::memcmp(outer.id, "RIFF", 4) != 0)
        return false;
    chunks_.push_back(outer);
    return true;
}

bool RiffFile::Descend(const char* id) {
    if (chunks_.empty())
        return false;
    const RiffChunk parent = chunks_.back();
    if (!seek(parent.dataStart))
        return false;
    for (;;) {
        const std::int64_t position = ftello(stream_);
        if (std::feof(stream_) || position < 0 || position >= parent.next)
            break;
        RiffChunk chunk;
        if (!readChunkHeader(chunk))
            break;
        if (std::memcmp(chunk.id, id, 4) == 0) {
            chunks_.push_back(chunk);
            return true;
        }
        if (!seek(chunk.next))
            return false;
    }
    seek(parent.dataStart);
    return false;
}

bool RiffFile::Ascend() {
    if (chunks_.size() < 2)
        return false;
    seek(chunks_.back().next);
    chunks_.pop_back();
    return true;
}

const char* RiffFile::ChunkId() const {
    return chunks_.empty() ? nullptr : chunks_.back().id;
}

const char* RiffFile::ChunkFormType() const {
    if (chunks_.empty() || chunks_.back().formType[0] == '\0')
        return nullptr;
    return chunks_.back().formType;
}

std::uint32_t RiffFile::ChunkSize() const {
    return chunks_.empty() ? 0 : chunks_.back().size;
}
