#include "wave/WaveFile.h"

#include "TempDir.h"
#include "WavBytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// A writer in the format of `templateBytes`, as the system makes its writers: created (header of
// the fresh fields), then the format copied from an opened template.
void createLike(WaveFile& target, const std::string& path, const TempDir& dir,
                const Bytes& templateBytes) {
    const auto templatePath = dir.file("template.wav");
    writeBytes(templatePath, templateBytes);
    WaveFile reference;
    ASSERT_TRUE(reference.OpenForReading(templatePath)) << reference.lastError();
    ASSERT_TRUE(target.CreateForWriting(path));
    target.CopyFormatFrom(reference);
}

std::vector<float> readAll(const std::string& path) {
    WaveFile wav;
    EXPECT_TRUE(wav.OpenForReading(path)) << wav.lastError();
    std::vector<float> values(wav.SampleCount());
    for (float& v : values)
        EXPECT_TRUE(wav.ReadSample(v));
    return values;
}

} // namespace

TEST(WaveFile, ReadsTheDocumentedValues) {
    TempDir dir;
    writeBytes(dir.file("8.wav"), wav8({0, 127, 254, 255}));
    EXPECT_EQ(readAll(dir.file("8.wav")), (std::vector<float>{-1.0f, 0.0f, 1.0f, 128.0f / 127.0f}));

    writeBytes(dir.file("16.wav"), wav16({-32768, -16383, 0, 16383, 32767}));
    EXPECT_EQ(readAll(dir.file("16.wav")),
              (std::vector<float>{-32768.0f / 32767.0f, -16383.0f / 32767.0f, 0.0f,
                                  16383.0f / 32767.0f, 1.0f}));
}

TEST(WaveFile, WritesTruncatedCodesAndClipsInsteadOfWrapping) {
    struct Case {
        float value;
        int code8;  // unsigned byte
        int code16; // signed 16-bit
    };
    const Case cases[] = {
        {-1.0f, 0, -32767},  {0.0f, 127, 0},      {1.0f, 254, 32767},  {0.5f, 190, 16383},
        {-0.5f, 63, -16383}, {1.5f, 255, 32767},  {-1.01f, 0, -32768}, {1.02f, 255, 32767},
        {-2.0f, 0, -32768},  {kInf, 255, 32767},  {-kInf, 0, -32768},  {kNaN, 127, 0},
        {1e30f, 255, 32767}, {-1e30f, 0, -32768},
    };
    TempDir dir;
    WaveFile w8, w16;
    createLike(w8, dir.file("8.wav"), dir, wav8({}));
    createLike(w16, dir.file("16.wav"), dir, wav16({}));
    Bytes codes8;
    std::vector<std::int16_t> codes16;
    for (const Case& c : cases) {
        EXPECT_TRUE(w8.WriteSample(c.value));
        EXPECT_TRUE(w16.WriteSample(c.value));
        codes8.push_back(static_cast<std::uint8_t>(c.code8));
        codes16.push_back(static_cast<std::int16_t>(c.code16));
    }
    ASSERT_TRUE(w8.Close());
    ASSERT_TRUE(w16.Close());
    EXPECT_EQ(readBytes(dir.file("8.wav")), wav8(codes8));
    EXPECT_EQ(readBytes(dir.file("16.wav")), wav16(codes16));
}

TEST(WaveFile, RoundTripsEveryCodeThroughRawAndFloatTransfers) {
    TempDir dir;
    Bytes all8(256);
    std::vector<std::int16_t> all16(65536);
    for (int i = 0; i < 256; ++i)
        all8[i] = static_cast<std::uint8_t>(i);
    for (int i = 0; i < 65536; ++i)
        all16[i] = static_cast<std::int16_t>(i - 32768);
    writeBytes(dir.file("8.wav"), wav8(all8));
    writeBytes(dir.file("16.wav"), wav16(all16));

    WaveFile in8, in16;
    ASSERT_TRUE(in8.OpenForReading(dir.file("8.wav")));
    ASSERT_TRUE(in16.OpenForReading(dir.file("16.wav")));
    ASSERT_EQ(in8.SampleCount(), 256u);
    ASSERT_EQ(in16.SampleCount(), 65536u);
    for (int b = 0; b < 256; ++b) {
        double v;
        ASSERT_TRUE(in8.ReadSample(v));
        EXPECT_NEAR(v, b / 127.0 - 1.0, 1e-15);
    }
    for (int s = -32768; s < 32768; ++s) {
        double v;
        ASSERT_TRUE(in16.ReadSample(v));
        EXPECT_NEAR(v, s / 32767.0, 1e-15);
    }

    // Values in the middle of each code's interval come back as that code.
    WaveFile out8, out16;
    createLike(out8, dir.file("o8.wav"), dir, wav8({}));
    createLike(out16, dir.file("o16.wav"), dir, wav16({}));
    for (int b = 0; b < 256; ++b)
        ASSERT_TRUE(out8.WriteSample((b + 0.5) / 127.0 - 1.0));
    for (int s = -32768; s < 32768; ++s)
        ASSERT_TRUE(out16.WriteSample((s + (s < 0 ? -0.5 : 0.5)) / 32767.0));
    ASSERT_TRUE(out8.Close());
    ASSERT_TRUE(out16.Close());
    EXPECT_EQ(readBytes(dir.file("o8.wav")), wav8(all8));
    EXPECT_EQ(readBytes(dir.file("o16.wav")), wav16(all16));
}

TEST(WaveFile, WritesTheCanonicalHeaderWithoutPadByte) {
    TempDir dir;
    WaveFile out;
    createLike(out, dir.file("o.wav"), dir,
               riff("WAVE", {chunk("LIST", {'I', 'N', 'F', 'O'}), chunk("fmt ", fmtBody(1, 8)),
                             chunk("data", {})}));
    for (float v : {-1.0f, 0.0f, 1.0f})
        ASSERT_TRUE(out.WriteSample(v));
    ASSERT_TRUE(out.Close());
    const Bytes expected = concat(
        {Bytes{'R', 'I', 'F', 'F'}, le32(3 + 36), Bytes{'W', 'A', 'V', 'E', 'f', 'm', 't', ' '},
         le32(16), fmtBody(1, 8), Bytes{'d', 'a', 't', 'a'}, le32(3), Bytes{0, 127, 254}});
    EXPECT_EQ(readBytes(dir.file("o.wav")), expected);
    EXPECT_EQ(out.dataLength(), 3u);
}

TEST(WaveFile, FileClosedWithoutSamplesKeepsTheHeaderWrittenAtCreation) {
    TempDir dir;
    WaveFile out;
    createLike(out, dir.file("o.wav"), dir, wav16({1, 2}));
    ASSERT_TRUE(out.Close());
    const Bytes zeroFormat =
        concat({Bytes{'R', 'I', 'F', 'F'}, le32(36), Bytes{'W', 'A', 'V', 'E', 'f', 'm', 't', ' '},
                le32(16), Bytes(16, 0), Bytes{'d', 'a', 't', 'a'}, le32(0)});
    EXPECT_EQ(readBytes(dir.file("o.wav")), zeroFormat);
}

TEST(WaveFile, MultiChannelFramesReadTheFirstChannelAndWriteEveryChannel) {
    TempDir dir;
    writeBytes(dir.file("stereo.wav"), wav16({100, -5, 200, -6, 300, -7}, 2));
    WaveFile in;
    ASSERT_TRUE(in.OpenForReading(dir.file("stereo.wav")));
    EXPECT_EQ(in.channels(), 2);
    ASSERT_EQ(in.SampleCount(), 3u);

    WaveFile out;
    ASSERT_TRUE(out.CreateForWriting(dir.file("o.wav")));
    out.CopyFormatFrom(in);
    for (int i = 0; i < 3; ++i) {
        std::int16_t s;
        ASSERT_TRUE(in.ReadRaw16(s));
        EXPECT_EQ(s, 100 * (i + 1));
        ASSERT_TRUE(out.WriteRaw16(s));
    }
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(readBytes(dir.file("o.wav")), wav16({100, 100, 200, 200, 300, 300}, 2));

    // A frame wider than its whole samples (block align 3 for 16 bits) is filled with zero
    // bytes on writing and passed over on reading.
    Bytes wide = fmtBody(1, 16);
    wide[12] = 3;
    WaveFile odd;
    createLike(odd, dir.file("odd.wav"), dir,
               riff("WAVE", {chunk("fmt ", wide), chunk("data", {})}));
    ASSERT_TRUE(odd.WriteRaw16(0x0102));
    ASSERT_TRUE(odd.WriteRaw16(-2));
    ASSERT_TRUE(odd.Close());
    EXPECT_EQ(readBytes(dir.file("odd.wav")),
              riff("WAVE", {chunk("fmt ", wide), chunk("data", {2, 1, 0, 0xFE, 0xFF, 0})}));
    EXPECT_EQ(readAll(dir.file("odd.wav")),
              (std::vector<float>{float(0x0102 / 32767.0), float(-2 / 32767.0)}));

    // A mono frame of two 16-bit slots: the slot beyond the one channel belongs to no channel
    // and stays zero.
    Bytes spare = fmtBody(1, 16);
    spare[12] = 4;
    WaveFile mono;
    createLike(mono, dir.file("spare.wav"), dir,
               riff("WAVE", {chunk("fmt ", spare), chunk("data", {})}));
    ASSERT_TRUE(mono.WriteRaw16(0x0102));
    ASSERT_TRUE(mono.Close());
    EXPECT_EQ(readBytes(dir.file("spare.wav")),
              riff("WAVE", {chunk("fmt ", spare), chunk("data", {2, 1, 0, 0})}));

    writeBytes(dir.file("stereo8.wav"), wav8({10, 1, 20, 2}, 2));
    EXPECT_EQ(readAll(dir.file("stereo8.wav")),
              (std::vector<float>{float(10 / 127.0 - 1.0), float(20 / 127.0 - 1.0)}));
}

TEST(WaveFile, DataChunkLongerThanTheFileCountsTheWholeFramesPresent) {
    struct Case {
        const char* name;
        std::uint16_t channels;
        std::uint32_t declared;
        std::size_t present; // data bytes in the file
        std::uint32_t frames;
    };
    const Case cases[] = {
        {"mono, 7 of 1000 bytes", 1, 1000, 7, 3},
        {"stereo, 10 of 4096 bytes", 2, 4096, 10, 2},
        {"size field near 2^32", 1, 0xFFFFFFFFu, 8, 4},
        {"no byte at all", 1, 64, 0, 0},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes data(c.present);
        for (std::size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<std::uint8_t>(i + 1);
        Bytes bytes = concat({Bytes{'R', 'I', 'F', 'F'}, le32(0xFFFFFFFFu),
                              Bytes{'W', 'A', 'V', 'E'}, chunk("fmt ", fmtBody(c.channels, 16)),
                              Bytes{'d', 'a', 't', 'a'}, le32(c.declared), data});
        writeBytes(dir.file("t.wav"), bytes);
        WaveFile in;
        ASSERT_TRUE(in.OpenForReading(dir.file("t.wav")));
        EXPECT_EQ(in.SampleCount(), c.frames);
        for (std::uint32_t i = 0; i < c.frames; ++i) {
            std::int16_t s;
            ASSERT_TRUE(in.ReadRaw16(s));
            const std::size_t at = i * 2 * c.channels;
            EXPECT_EQ(s, static_cast<std::int16_t>(data[at] | (data[at + 1] << 8)));
        }
    }
}

TEST(WaveFile, FormatChunksOfOtherLengths) {
    TempDir dir;
    // 18 bytes (a cbSize field): only the first 16 are used.
    writeBytes(dir.file("long.wav"), riff("WAVE", {chunk("fmt ", concat({fmtBody(1, 16), le16(0)})),
                                                   chunk("data", pcm16({5}))}));
    WaveFile in;
    ASSERT_TRUE(in.OpenForReading(dir.file("long.wav")));
    EXPECT_EQ(in.bitsPerSample(), 16);
    EXPECT_EQ(in.SampleCount(), 1u);

    // 14 bytes: bitsPerSample is missing and reads as 0, so no sample can be read.
    Bytes shortFmt = fmtBody(1, 16);
    shortFmt.resize(14);
    writeBytes(dir.file("short.wav"),
               riff("WAVE", {chunk("fmt ", shortFmt), chunk("data", pcm16({5}))}));
    ASSERT_TRUE(in.OpenForReading(dir.file("short.wav")));
    EXPECT_EQ(in.blockAlign(), 2);
    EXPECT_EQ(in.bitsPerSample(), 0);
    float v;
    EXPECT_FALSE(in.ReadSample(v));
    EXPECT_STREQ(in.lastError(), "Floats can be written only as 8 or 16-bit samples");
}

TEST(WaveFile, RefusesFilesItCannotOpenWithTheirTexts) {
    struct Case {
        const char* name;
        Bytes bytes;
        const char* error;
    };
    Bytes cutFmt = riff("WAVE", {chunk("fmt ", fmtBody(1, 16))});
    cutFmt.resize(cutFmt.size() - 4);
    const Case cases[] = {
        {"empty", {}, "Couldn't open file"},
        {"not RIFF", concat({Bytes{'R', 'I', 'F', 'X'}, wav8({1})}), "Couldn't open file"},
        {"RIFF of another form", riff("AVI ", {chunk("fmt ", fmtBody(1, 8))}),
         "Couldn't find RIFF, WAVE, or fmt"},
        {"no fmt", riff("WAVE", {chunk("data", {1})}), "Couldn't find RIFF, WAVE, or fmt"},
        {"fmt cut by the end of the file", cutFmt, "Error reading format chunk"},
        {"no data", riff("WAVE", {chunk("fmt ", fmtBody(1, 16))}), "Couldn't find data chunk"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(dir.file("bad.wav"), c.bytes);
        WaveFile in;
        EXPECT_FALSE(in.OpenForReading(dir.file("bad.wav")));
        EXPECT_STREQ(in.lastError(), c.error);
        EXPECT_FALSE(in.isReading()) << "a failed open leaves the object idle";
        EXPECT_TRUE(in.Close());
    }
    WaveFile missing;
    EXPECT_FALSE(missing.OpenForReading(dir.file("none.wav")));
    EXPECT_STREQ(missing.lastError(), "Couldn't open file");

    // Without a data chunk the format fields still hold what was read.
    writeBytes(dir.file("nodata.wav"), riff("WAVE", {chunk("fmt ", fmtBody(2, 16, 44100))}));
    ASSERT_FALSE(missing.OpenForReading(dir.file("nodata.wav")));
    EXPECT_EQ(missing.sampleRate(), 44100u);
    EXPECT_EQ(missing.channels(), 2);
}

TEST(WaveFile, TransferFailuresKeepTheirTexts) {
    TempDir dir;
    writeBytes(
        dir.file("24.wav"),
        riff("WAVE",
             {chunk("fmt ", concat({le16(1), le16(1), le32(8000), le32(24000), le16(3), le16(24)})),
              chunk("data", Bytes(6, 0))}));
    WaveFile in;
    ASSERT_TRUE(in.OpenForReading(dir.file("24.wav"))) << "a 24-bit file opens";
    EXPECT_EQ(in.SampleCount(), 2u);
    float v;
    EXPECT_FALSE(in.ReadSample(v));
    EXPECT_STREQ(in.lastError(), "Floats can be written only as 8 or 16-bit samples");

    writeBytes(dir.file("8.wav"), wav8({1, 2}));
    ASSERT_TRUE(in.OpenForReading(dir.file("8.wav")));
    std::int16_t s;
    EXPECT_FALSE(in.ReadRaw16(s));
    EXPECT_STREQ(in.lastError(), "Sample size mismatch");
    std::uint8_t b;
    EXPECT_TRUE(in.ReadRaw8(b));
    EXPECT_TRUE(in.ReadRaw8(b));
    EXPECT_FALSE(in.ReadRaw8(b)) << "reading past the end of the file";
    EXPECT_STREQ(in.lastError(), "Couldn't read samples");

    WaveFile out;
    EXPECT_FALSE(out.CreateForWriting(dir.file("no/such/dir.wav")));
    EXPECT_STREQ(out.lastError(), "Couldn't open output file");
    EXPECT_FALSE(out.isWriting());
    ASSERT_TRUE(out.CreateForWriting(dir.file("o.wav")));
    EXPECT_FALSE(out.WriteSample(0.5f)) << "a fresh writer has no sample size";
    EXPECT_STREQ(out.lastError(), "Floats can be written only as 8 or 16-bit samples");
}

TEST(WaveFile, BlockAlignZeroCountsNoSamples) {
    TempDir dir;
    Bytes fmt = fmtBody(1, 16);
    fmt[12] = fmt[13] = 0;
    writeBytes(dir.file("z.wav"), riff("WAVE", {chunk("fmt ", fmt), chunk("data", pcm16({1, 2}))}));
    WaveFile in;
    ASSERT_TRUE(in.OpenForReading(dir.file("z.wav")));
    EXPECT_EQ(in.dataLength(), 4u);
    EXPECT_EQ(in.SampleCount(), 0u);
}

TEST(WaveFile, ReadsTheSpeechFixtures) {
    WaveFile in;
    ASSERT_TRUE(in.OpenForReading("../shared/fixtures/speech/0_george_0.wav")) << in.lastError();
    EXPECT_EQ(in.sampleRate(), 8000u);
    EXPECT_EQ(in.bitsPerSample(), 16);
    EXPECT_EQ(in.SampleCount(), (4812u - 44u) / 2u);
    float v = 0;
    for (std::uint32_t i = 0; i < in.SampleCount(); ++i)
        ASSERT_TRUE(in.ReadSample(v));
    EXPECT_FALSE(in.ReadSample(v));
}
