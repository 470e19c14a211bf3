#include "WavBytes.h"

Bytes le16(std::uint16_t v) {
    return {std::uint8_t(v), std::uint8_t(v >> 8)};
}

Bytes le32(std::uint32_t v) {
    return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes chunkWithSize(const std::string& id, std::uint32_t declaredSize, const Bytes& body) {
    Bytes out(id.begin(), id.end());
    const Bytes size = le32(declaredSize);
    out.insert(out.end(), size.begin(), size.end());
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2 != 0)
        out.push_back(0);
    return out;
}

Bytes chunk(const std::string& id, const Bytes& body) {
    return chunkWithSize(id, static_cast<std::uint32_t>(body.size()), body);
}

Bytes fmtBody(std::uint16_t channels, std::uint16_t bits, std::uint32_t rate) {
    const std::uint16_t align = static_cast<std::uint16_t>(channels * (bits / 8));
    return concat(
        {le16(1), le16(channels), le32(rate), le32(rate * align), le16(align), le16(bits)});
}

Bytes riff(const std::string& formType, std::initializer_list<Bytes> chunks) {
    Bytes body(formType.begin(), formType.end());
    for (const Bytes& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    return chunk("RIFF", body);
}

Bytes pcm16(const std::vector<std::int16_t>& codes) {
    Bytes out;
    for (std::int16_t c : codes) {
        const Bytes b = le16(static_cast<std::uint16_t>(c));
        out.insert(out.end(), b.begin(), b.end());
    }
    return out;
}

Bytes wav8(const Bytes& codes, std::uint16_t channels) {
    return riff("WAVE", {chunk("fmt ", fmtBody(channels, 8)), chunk("data", codes)});
}

Bytes wav16(const std::vector<std::int16_t>& codes, std::uint16_t channels) {
    return riff("WAVE", {chunk("fmt ", fmtBody(channels, 16)), chunk("data", pcm16(codes))});
}
