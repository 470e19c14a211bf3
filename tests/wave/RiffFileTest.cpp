#include "wave/RiffFile.h"

#include "TempDir.h"
#include "WavBytes.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::string fileOf(const TempDir& dir, const Bytes& bytes) {
    const auto path = dir.file("f.wav");
    writeBytes(path, bytes);
    return path;
}

} // namespace

TEST(RiffFile, WalksChunksInAnyOrderPastOddSizesAndLists) {
    TempDir dir;
    const Bytes file = riff(
        "WAVE", {chunk("odd ", {1, 2, 3}), // padded to 4
                 chunkWithSize("LIST", 8, concat({Bytes{'I', 'N', 'F', 'O'}, Bytes{9, 9, 9, 9}})),
                 chunk("data", {10, 20}), chunk("fmt ", fmtBody(1, 8))});
    RiffFile riffFile(fileOf(dir, file));
    ASSERT_NE(riffFile.Stream(), nullptr);
    EXPECT_STREQ(riffFile.ChunkId(), "RIFF");
    EXPECT_STREQ(riffFile.ChunkFormType(), "WAVE");
    EXPECT_EQ(riffFile.ChunkSize(), file.size() - 12);

    ASSERT_TRUE(riffFile.Descend("LIST"));
    EXPECT_STREQ(riffFile.ChunkFormType(), "INFO");
    EXPECT_EQ(riffFile.ChunkSize(), 4u) << "the form type is part of the header";
    ASSERT_TRUE(riffFile.Ascend());

    // Each search starts at the outer chunk's data, whatever was read before.
    ASSERT_TRUE(riffFile.Descend("fmt "));
    ASSERT_TRUE(riffFile.Ascend());
    ASSERT_TRUE(riffFile.Descend("data"));
    EXPECT_EQ(riffFile.ChunkFormType(), nullptr);
    EXPECT_EQ(riffFile.ChunkSize(), 2u);
    unsigned char b[2];
    ASSERT_EQ(std::fread(b, 1, 2, riffFile.Stream()), 2u);
    EXPECT_EQ(b[0], 10);
    EXPECT_EQ(b[1], 20);
}

TEST(RiffFile, FailedSearchAndAscendLeaveTheStackAsItWas) {
    TempDir dir;
    RiffFile riffFile(fileOf(dir, wav8({1, 2, 3})));
    ASSERT_NE(riffFile.Stream(), nullptr);
    EXPECT_FALSE(riffFile.Ascend()) << "the outer chunk is never left";
    EXPECT_FALSE(riffFile.Descend("LIST"));
    EXPECT_FALSE(riffFile.Descend("dat")) << "ids compare all four characters";
    EXPECT_FALSE(riffFile.Descend("DATA")) << "ids compare case-sensitively";
    EXPECT_STREQ(riffFile.ChunkId(), "RIFF");
    EXPECT_EQ(std::ftell(riffFile.Stream()), 12) << "back at the outer chunk's data";
    ASSERT_TRUE(riffFile.Descend("data"));
    EXPECT_FALSE(riffFile.Descend("fmt ")) << "fmt lies beside data, not inside it";
    EXPECT_STREQ(riffFile.ChunkId(), "data");
}

TEST(RiffFile, FilesWithoutAnOuterRiffChunkLeaveNoStream) {
    TempDir dir;
    const Bytes listOuter = [] {
        Bytes b = wav8({1});
        std::memcpy(b.data(), "LIST", 4); // a well-formed chunk, but not RIFF
        return b;
    }();
    const Bytes cases[] = {{},
                           {'R', 'I', 'F'},
                           {'R', 'I', 'F', 'F', 4, 0},
                           listOuter,
                           concat({Bytes{'R', 'I', 'F', 'X'}, Bytes(40, 0)})};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(RiffFile(fileOf(dir, cases[i])).Stream(), nullptr);
    }
    EXPECT_EQ(RiffFile(dir.file("missing.wav")).Stream(), nullptr);
}

// Sizes that point past the end, wrap 32 bits, or (for RIFF / LIST) lie below the 4 bytes of the
// form type: every search must still end, and none finds what is not there.
TEST(RiffFile, SearchesEndOnHostileSizes) {
    TempDir dir;
    struct Case {
        const char* name;
        Bytes bytes;
        bool dataFound;
    };
    const Case cases[] = {
        {"chunk size past the end",
         riff("WAVE", {chunkWithSize("junk", 0xFFFFFFF0u, {1, 2}), chunk("data", {1})}), false},
        {"chunk size 0xFFFFFFFF",
         riff("WAVE", {chunkWithSize("junk", 0xFFFFFFFFu, {}), chunk("data", {1})}), false},
        {"LIST size below its form type",
         riff("WAVE", {chunkWithSize("LIST", 2, {'I', 'N', 'F', 'O'}), chunk("data", {1})}), false},
        {"outer size 0",
         concat({Bytes{'R', 'I', 'F', 'F'}, le32(0), Bytes{'W', 'A', 'V', 'E'},
                 chunk("data", {1, 2})}),
         true},
        {"outer size shorter than its chunks",
         concat({Bytes{'R', 'I', 'F', 'F'}, le32(4), Bytes{'W', 'A', 'V', 'E'},
                 chunk("data", {1, 2})}),
         false},
        {"header cut in the middle",
         concat({Bytes{'R', 'I', 'F', 'F'}, le32(100), Bytes{'W', 'A', 'V', 'E', 'd', 'a'}}),
         false},
        {"many zero-size chunks",
         [] {
             Bytes b = {'R', 'I', 'F', 'F', 0xFF, 0xFF, 0xFF, 0xFF, 'W', 'A', 'V', 'E'};
             for (int i = 0; i < 1000; ++i) {
                 const Bytes c = chunk("zero", {});
                 b.insert(b.end(), c.begin(), c.end());
             }
             return b;
         }(),
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RiffFile riffFile(fileOf(dir, c.bytes));
        ASSERT_NE(riffFile.Stream(), nullptr);
        EXPECT_EQ(riffFile.Descend("data"), c.dataFound);
        EXPECT_FALSE(riffFile.Descend("none"));
    }
}
