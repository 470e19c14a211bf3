#pragma once

#include <cstdint>

// Fields of RIFF headers are little-endian whatever the machine; every field passes through these.

inline std::uint16_t readLe16(const unsigned char* b) {
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

inline std::uint32_t readLe32(const unsigned char* b) {
    return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
           (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

inline void writeLe16(unsigned char* b, std::uint16_t v) {
    b[0] = static_cast<unsigned char>(v);
    b[1] = static_cast<unsigned char>(v >> 8);
}

inline void writeLe32(unsigned char* b, std::uint32_t v) {
    b[0] = static_cast<unsigned char>(v);
    b[1] = static_cast<unsigned char>(v >> 8);
    b[2] = static_cast<unsigned char>(v >> 16);
    b[3] = static_cast<unsigned char>(v >> 24);
}
