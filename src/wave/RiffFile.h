#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// One open chunk of a RIFF file. For "RIFF" and "LIST" chunks the 4-byte form type is read as part
// of the header, so `size` is the size field less 4 and `dataStart` lies after the form type.
// Positions are 64-bit: a size near 2^32 added to a position never wraps around.
struct RiffChunk {
    char id[5] = {};            // four characters as read, NUL-terminated
    std::uint32_t size = 0;     // size field as read (less 4 for "RIFF" / "LIST")
    char formType[5] = {};      // form type of "RIFF" / "LIST", else empty
    std::int64_t dataStart = 0; // first byte after the header
    std::int64_t next = 0;      // dataStart + size, rounded up to even: the following chunk
};

// A RIFF file opened for reading, walked with a stack of open chunks. The bottom of the stack is
// the outer "RIFF" chunk, the top the current chunk. A file that does not open or does not begin
// with a "RIFF" chunk leaves Stream() null; nothing else is reported.
//
// Every search ends on any input: each step moves strictly forward (a chunk's `next` lies at
// least 8 bytes past the position its header was read at), and a search stops at the end of the
// file or of the current chunk, whichever comes first.
class RiffFile {
public:
    explicit RiffFile(const std::string& name);
    ~RiffFile();
    RiffFile(const RiffFile&) = delete;
    RiffFile& operator=(const RiffFile&) = delete;

    // Empties the stack and pushes the outer "RIFF" chunk; false when there is none.
    bool Rewind();
    // Pushes the first chunk with the four-character `id` inside the current chunk and leaves the
    // stream at its data. False when there is none (stream back at the current chunk's data).
    bool Descend(const char* id);
    // Pops the current chunk and leaves the stream at its `next`; the outer chunk is never left.
    bool Ascend();

    const char* ChunkId() const;       // null when the stack is empty
    const char* ChunkFormType() const; // null when the stack is empty or the form type is empty
    std::uint32_t ChunkSize() const;   // 0 when the stack is empty
    const RiffChunk* CurrentChunk() const { return chunks_.empty() ? nullptr : &chunks_.back(); }

    std::FILE* Stream() const { return stream_; }
    // Length of the file in bytes, taken when it was opened.
    std::int64_t FileSize() const { return fileSize_; }

private:
    bool readChunkHeader(RiffChunk& chunk);
    bool seek(std::int64_t position);

    std::FILE* stream_ = nullptr;
    std::vector<RiffChunk> chunks_;
    std::int64_t fileSize_ = 0;
};
