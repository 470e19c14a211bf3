#include "engine/Conversions.h"

#include "FileSizeLimit.h"
#include "TempDir.h"
#include "WavBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace {

// The shipped template: 8000 Hz, one channel, 16-bit.
const char* const kTemplate = "data/Tmp/wzorzec.wav";

// Only the named files are in the directory (no temporary file left behind).
std::vector<std::string> filesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(WavToStream, WritesTheCallersHeaderAndTheScaledSamples) {
    struct Case {
        const char* name;
        Bytes wav;
        float header;
        float scale;
        std::vector<float> words;
    };
    const Case cases[] = {
        {"8-bit", wav8({0, 127, 254}), 3.0f, 1.0f, {3.0f, -1.0f, 0.0f, 1.0f}},
        {"8-bit at half scale", wav8({0, 127, 254}), 3.0f, 0.5f, {3.0f, -0.5f, 0.0f, 0.5f}},
        {"header not the sample count", wav8({0, 127, 254}), 7.0f, 1.0f, {7.0f, -1.0f, 0.0f, 1.0f}},
        {"no samples", wav16({}), 0.0f, 1.0f, {0.0f}},
        {"stereo: the first channel",
         wav16({16383, 5, -16383, 6}, 2),
         2.0f,
         2.0f,
         {2.0f, 2.0f * (16383.0f / 32767.0f), -2.0f * (16383.0f / 32767.0f)}},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(dir.file("in.wav"), c.wav);
        ASSERT_TRUE(WavToStream(dir.file("in.wav"), dir.tmp("001.tmp"), c.header, c.scale));
        EXPECT_EQ(readStream(dir.tmp("001.tmp")), c.words);
    }
    EXPECT_EQ(filesIn(dir.path() + "/Tmp"), std::vector<std::string>{"001.tmp"});
}

TEST(StreamToWav, WritesTheStreamInTheReferenceFormat) {
    struct Case {
        const char* name;
        std::vector<float> stream;
        Bytes wav;
    };
    const Bytes bareHeader =
        concat({Bytes{'R', 'I', 'F', 'F'}, le32(36), Bytes{'W', 'A', 'V', 'E', 'f', 'm', 't', ' '},
                le32(16), Bytes(16, 0), Bytes{'d', 'a', 't', 'a'}, le32(0)});
    const Case cases[] = {
        {"two samples", {2.0f, 0.5f, -0.5f}, wav16({16383, -16383})},
        {"header 0: the header written at creation", {0.0f, 0.5f}, bareHeader},
        {"the header alone decides the count",
         {2.5f, 0.5f, 0.5f, 0.5f, 0.5f},
         wav16({16383, 16383, 16383})},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeStream(dir.tmp("002.tmp"), c.stream);
        ASSERT_TRUE(StreamToWav(dir.tmp("002.tmp"), dir.tmp("wy.wav"), kTemplate));
        EXPECT_EQ(readBytes(dir.tmp("wy.wav")), c.wav);
    }
}

TEST(ScaleWav, MovesSixteenBitCodesAtMostOneStepTowardZero) {
    TempDir dir;
    writeBytes(dir.file("in.wav"), wav16({1, 3, 100, -32768, 16383, 32767, 0, -1}));
    ASSERT_TRUE(ScaleWav(dir.file("in.wav"), dir.file("out.wav"), 1.0f));
    EXPECT_EQ(readBytes(dir.file("out.wav")), wav16({0, 2, 99, -32767, 16383, 32767, 0, 0}));

    std::vector<std::int16_t> all(65536);
    for (int i = 0; i < 65536; ++i)
        all[i] = static_cast<std::int16_t>(i - 32768);
    writeBytes(dir.file("all.wav"), wav16(all));
    ASSERT_TRUE(ScaleWav(dir.file("all.wav"), dir.file("out.wav"), 1.0f));
    const Bytes out = readBytes(dir.file("out.wav"));
    ASSERT_EQ(out.size(), 44u + 2u * 65536u);
    for (int i = 0; i < 65536; ++i) {
        const int before = all[i];
        const int after = static_cast<std::int16_t>(out[44 + 2 * i] | (out[45 + 2 * i] << 8));
        const int step = before > 0 ? -1 : 1;
        ASSERT_TRUE(after == before || after == before + step) << before << " -> " << after;
    }
}

TEST(ScaleWav, KeepsTheSourceFormatAndAppliesTheGain) {
    TempDir dir;
    const Bytes fmt = fmtBody(2, 8, 11025);
    writeBytes(dir.file("in.wav"),
               riff("WAVE", {chunk("fmt ", fmt), chunk("data", {127, 0, 254, 0, 0, 0})}));
    ASSERT_TRUE(ScaleWav(dir.file("in.wav"), dir.file("out.wav"), 0.5f));
    // 0.0 -> 127; 1.0 * 0.5 -> trunc(1.5 * 127) = 190; -1.0 * 0.5 -> trunc(0.5 * 127) = 63,
    // each written into both channels.
    EXPECT_EQ(readBytes(dir.file("out.wav")),
              riff("WAVE", {chunk("fmt ", fmt), chunk("data", {127, 127, 190, 190, 63, 63})}));
}

// A conversion whose source or reference cannot be read, or whose target cannot be written
// whole, reports false and leaves the target as it was.
TEST(Conversions, FailuresLeaveTheTargetAsItWas) {
    TempDir dir;
    const std::string tmp = dir.path() + "/Tmp";
    const Bytes previous = wav16({1, 2, 3});
    const Bytes bits24 =
        riff("WAVE",
             {chunk("fmt ", concat({le16(1), le16(1), le32(8000), le32(24000), le16(3), le16(24)})),
              chunk("data", Bytes(6, 0))});
    writeBytes(dir.file("24.wav"), bits24);
    writeBytes(dir.file("good.wav"), wav16({7, 8}));
    writeStream(dir.file("big.tmp"), {16777218.0f, 0.5f});
    writeStream(dir.file("short.tmp"), {3.0f, 0.5f});
    writeStream(dir.file("ok.tmp"), {1.0f, 0.5f});

    struct Case {
        const char* name;
        std::function<bool()> convert;
    };
    const std::string target = dir.tmp("t");
    const Case cases[] = {
        {"WavToStream of a missing file",
         [&] { return WavToStream(dir.file("no.wav"), target, 1, 1); }},
        {"WavToStream of a 24-bit file",
         [&] { return WavToStream(dir.file("24.wav"), target, 2, 1); }},
        {"WavToStream with a header beyond 2^24",
         [&] { return WavToStream(dir.file("good.wav"), target, 16777218.0f, 1); }},
        {"ScaleWav of a missing file", [&] { return ScaleWav(dir.file("no.wav"), target, 1); }},
        {"ScaleWav of a 24-bit file", [&] { return ScaleWav(dir.file("24.wav"), target, 1); }},
        {"StreamToWav of a missing stream",
         [&] { return StreamToWav(dir.file("no.tmp"), target, kTemplate); }},
        {"StreamToWav with a header beyond 2^24",
         [&] { return StreamToWav(dir.file("big.tmp"), target, kTemplate); }},
        {"StreamToWav of a stream shorter than its header",
         [&] { return StreamToWav(dir.file("short.tmp"), target, kTemplate); }},
        {"StreamToWav with a missing reference",
         [&] { return StreamToWav(dir.file("ok.tmp"), target, dir.file("no.wav")); }},
        {"StreamToWav with a 24-bit reference",
         [&] { return StreamToWav(dir.file("ok.tmp"), target, dir.file("24.wav")); }},
        {"a target in a missing directory",
         [&] { return ScaleWav(dir.file("good.wav"), dir.file("none/t"), 1); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(target, previous);
        EXPECT_FALSE(c.convert());
        EXPECT_EQ(readBytes(target), previous);
        EXPECT_EQ(filesIn(tmp), std::vector<std::string>{"t"});
    }
}

TEST(Conversions, AFullDiskLeavesTheTargetAsItWas) {
    TempDir dir;
    std::vector<std::int16_t> codes(50000, 1000);
    writeBytes(dir.file("long.wav"), wav16(codes));
    const Bytes previousWav = wav16({1, 2, 3});
    const std::vector<float> previousStream = {1.0f, 0.25f};
    writeBytes(dir.tmp("we.wav"), previousWav);
    writeStream(dir.tmp("001.tmp"), previousStream);
    {
        FileSizeLimit full(64 * 1024);
        EXPECT_FALSE(ScaleWav(dir.file("long.wav"), dir.tmp("we.wav"), 1.0f));
        EXPECT_FALSE(WavToStream(dir.file("long.wav"), dir.tmp("001.tmp"), 50000.0f, 1.0f));
    }
    EXPECT_EQ(readBytes(dir.tmp("we.wav")), previousWav);
    EXPECT_EQ(readStream(dir.tmp("001.tmp")), previousStream);
    EXPECT_EQ(filesIn(dir.path() + "/Tmp"), (std::vector<std::string>{"001.tmp", "we.wav"}));
}
