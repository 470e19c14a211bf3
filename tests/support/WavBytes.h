#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// WAV files built byte by byte, independently of the classes under test, for tests that need
// exact files (good, odd and broken).

using Bytes = std::vector<std::uint8_t>;

Bytes le16(std::uint16_t v);
Bytes le32(std::uint32_t v);
Bytes concat(std::initializer_list<Bytes> parts);

// A chunk: 4-character id, the 32-bit size of `body` (or `declaredSize` when given), the body, and
// a pad byte when the body's length is odd.
Bytes chunk(const std::string& id, const Bytes& body);
Bytes chunkWithSize(const std::string& id, std::uint32_t declaredSize, const Bytes& body);

// The 16 bytes of a PCM "fmt " body; block align and bytes per second follow from the rest.
Bytes fmtBody(std::uint16_t channels, std::uint16_t bits, std::uint32_t rate = 8000);

// "RIFF", size, form type, then the chunks as given.
Bytes riff(const std::string& formType, std::initializer_list<Bytes> chunks);

// Canonical files: fmt then data.
Bytes wav8(const Bytes& codes, std::uint16_t channels = 1);
Bytes wav16(const std::vector<std::int16_t>& codes, std::uint16_t channels = 1);
Bytes pcm16(const std::vector<std::int16_t>& codes);
