// Each kind of malformed WAV file of the fuzzers' seed corpus chosen as the input of
// modulacje-sim: what the WAV reader says of it, and what the program does with it.

#include "SimProcess.h"
#include "TempDir.h"
#include "WavBytes.h"
#include "wave/WaveFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

struct Case {
    const char* seed;    // fuzz/corpus/<seed>.wav (written by fuzz/make_corpus.py)
    const char* opening; // WaveFile::OpenForReading: its lastError, or "" when it opens
    int samples;         // samples of the input after the choice, 0 when it is refused
};

// Rows that open ("") with 0 samples are refused by the input page: the reader opens them, but
// they hold no 8- or 16-bit sample to read.
const Case kCases[] = {
    {"empty", "Couldn't open file", 0},
    {"riff-only", "Couldn't open file", 0},
    {"rifx", "Couldn't open file", 0},
    {"form-avi", "Couldn't find RIFF, WAVE, or fmt", 0},
    {"no-fmt", "Couldn't find RIFF, WAVE, or fmt", 0},
    {"chunk-size-wraps", "Couldn't find RIFF, WAVE, or fmt", 0},  // JUNK runs past the end
    {"list-size-below-4", "Couldn't find RIFF, WAVE, or fmt", 0}, // LIST size 1 wraps
    {"fmt-cut", "Error reading format chunk", 0},
    {"no-data", "Couldn't find data chunk", 0},
    {"fmt-short", "", 0},    // 14-byte fmt: bits per sample read as 0
    {"bits24", "", 0},       // 24-bit samples
    {"align0", "", 0},       // block align 0: no frames
    {"align1-16bit", "", 0}, // frames narrower than one 16-bit sample
    {"zero-samples", "", 0}, // an empty data chunk
    {"data-before-fmt", "", 6},
    {"data-past-end", "", 6}, // data claims 4 GiB: the 6 samples present
    {"fmt-18", "", 6},
    {"list-and-odd-chunk", "", 5},
    {"riff-size-below-4", "", 6}, // RIFF size 2 wraps: the outer chunk runs to the end
    {"pcm8", "", 5},
    {"stereo8", "", 5},          // two channels: the first one is taken
    {"cut-0_george_0", "", 300}, // speech cut after 300 samples
};

} // namespace

TEST(MalformedInput, EachKindOfFileIsReadOrRefusedWithItsText) {
    TempDir dir;
    TempDir scratch(false);
    std::filesystem::copy_file("data/Tmp/wzorzec.wav", dir.tmp("wzorzec.wav"));
    ASSERT_EQ(runSim({"--dir", dir.path(), "--sine", "440"}, scratch.path()).status, 0);
    const Bytes toneStream = readBytes(dir.tmp("001.tmp"));
    const Bytes toneWav = readBytes(dir.tmp("we.wav"));

    for (const Case& c : kCases) {
        SCOPED_TRACE(c.seed);
        const std::string path = std::string("fuzz/corpus/") + c.seed + ".wav";
        ASSERT_TRUE(fileExists(path));
        WaveFile wav;
        EXPECT_EQ(wav.OpenForReading(path), *c.opening == '\0');
        EXPECT_STREQ(wav.lastError() ? wav.lastError() : "", c.opening);

        writeBytes(dir.tmp("001.tmp"), toneStream);
        writeBytes(dir.tmp("we.wav"), toneWav);
        const SimOutcome o = runSim({"--dir", dir.path(), "--wav", path}, scratch.path());
        EXPECT_EQ(o.signal, 0);
        if (c.samples == 0) {
            EXPECT_EQ(o.status, 1);
            EXPECT_EQ(o.err, "Blad: Blad pliku wejsciowego\n");
            EXPECT_EQ(readBytes(dir.tmp("001.tmp")), toneStream);
            EXPECT_EQ(readBytes(dir.tmp("we.wav")), toneWav);
        } else {
            EXPECT_EQ(o.status, 0);
            EXPECT_EQ(o.err, "");
            const std::vector<float> stream = readStream(dir.tmp("001.tmp"));
            ASSERT_FALSE(stream.empty());
            EXPECT_EQ(stream[0], static_cast<float>(c.samples));
            EXPECT_EQ(stream.size(), 1u + c.samples);
        }
    }
}

// Paths that name no regular file: refused at once, a FIFO without a writer included (opening it
// for reading the ordinary way would wait for one for ever).
TEST(MalformedInput, PathsThatAreNoRegularFileAreRefusedWithoutWaiting) {
    TempDir dir;
    TempDir scratch(false);
    std::filesystem::copy_file("data/Tmp/wzorzec.wav", dir.tmp("wzorzec.wav"));
    ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0600), 0);
    for (const std::string& path :
         {dir.file("fifo"), dir.path(), std::string("/dev/zero"), dir.file("missing.wav")}) {
        SCOPED_TRACE(path);
        SimFaults faults;
        faults.timeoutSeconds = 10;
        const SimOutcome o = runSim({"--dir", dir.path(), "--wav", path}, scratch.path(), faults);
        EXPECT_EQ(o.signal, 0);
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.err, "Blad: Blad pliku wejsciowego\n");
        EXPECT_FALSE(fileExists(dir.tmp("001.tmp")));
    }
}
