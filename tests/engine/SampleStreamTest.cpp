#include "engine/SampleStream.h"

#include "TempDir.h"

#include <gtest/gtest.h>

// Enough values to cross the writer's and the reader's buffers several times.
constexpr int kLongSignal = 50000;

TEST(SampleStream, WritesLittleEndianWordsAndReadsThemBack) {
    TempDir dir;
    const auto path = dir.tmp("001.tmp");
    {
        StreamWriter out(path);
        out.write(3.0f);
        const float values[] = {-1.0f, 0.0f, 1.0f};
        out.write(values, 3);
        EXPECT_TRUE(out.close());
    }
    const std::vector<std::uint8_t> header = {0x00, 0x00, 0x40, 0x40}; // 3.0f
    const auto bytes = readBytes(path);
    ASSERT_EQ(bytes.size(), 16u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 4), header);
    EXPECT_EQ(readStream(path), (std::vector<float>{3.0f, -1.0f, 0.0f, 1.0f}));
}

TEST(SampleStream, SeekReachesFirstAndLastValueOfALongStream) {
    TempDir dir;
    const auto path = dir.tmp("s.tmp");
    {
        StreamWriter out(path);
        out.write(float(kLongSignal));
        for (int i = 0; i < kLongSignal; ++i)
            out.write(float(i) * 0.5f);
        ASSERT_TRUE(out.close());
    }
    StreamReader in(path);
    float v = -1;
    for (std::uint64_t i : {std::uint64_t(kLongSignal - 1), std::uint64_t(0), std::uint64_t(1234),
                            std::uint64_t(1235)}) {
        ASSERT_TRUE(in.seekWord(1 + i));
        ASSERT_TRUE(in.read(v));
        EXPECT_EQ(v, float(i) * 0.5f);
    }
    ASSERT_TRUE(in.seekWord(kLongSignal));
    EXPECT_TRUE(in.read(v));
    EXPECT_FALSE(in.read(v)) << "past the last word";

    float header = 0;
    EXPECT_TRUE(StreamReader::readHeader(path, header));
    EXPECT_EQ(header, float(kLongSignal));
}

TEST(SampleStream, MissingFilesAndPartialWordsReadNothing) {
    TempDir dir;
    StreamReader missing(dir.tmp("none.tmp"));
    float v = 7;
    EXPECT_FALSE(missing.isOpen());
    EXPECT_FALSE(missing.read(v));
    EXPECT_FALSE(missing.seekWord(0));
    EXPECT_EQ(v, 7);

    writeBytes(dir.tmp("odd.tmp"), {0, 0, 0x40, 0x40, 1, 2});
    StreamReader odd(dir.tmp("odd.tmp"));
    EXPECT_TRUE(odd.read(v));
    EXPECT_EQ(v, 3.0f);
    EXPECT_FALSE(odd.read(v)) << "two bytes are not a word";
}

TEST(SampleStream, WriterThatCannotOpenReportsFailureAtClose) {
    TempDir dir(false);
    StreamWriter out(dir.tmp("001.tmp")); // no Tmp directory
    EXPECT_FALSE(out.isOpen());
    out.write(1.0f);
    EXPECT_FALSE(out.close());
}

TEST(SampleStream, FullDiskIsReportedByClose) {
    if (!fileExists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    StreamWriter out("/dev/full");
    ASSERT_TRUE(out.isOpen());
    for (int i = 0; i < kLongSignal; ++i)
        out.write(1.0f);
    EXPECT_FALSE(out.close());
}
