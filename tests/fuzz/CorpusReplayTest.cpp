// The checks of the two fuzzers on the files they start from (fuzz/corpus) and on each input that
// once broke a promise (fuzz/regressions, one file per fault, named after it).

#include "InputActionsCheck.h"
#include "TempDir.h"
#include "WaveReaderCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> inputs() {
    std::vector<std::string> paths;
    for (const char* dir : {"fuzz/corpus", "fuzz/regressions"})
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().filename().string()[0] != '.') // .keep holds an empty directory
                paths.push_back(entry.path().string());
    std::sort(paths.begin(), paths.end());
    return paths;
}

} // namespace

TEST(CorpusReplay, TheCorpusIsThere) {
    EXPECT_GE(inputs().size(), 20u);
}

TEST(CorpusReplay, TheWaveReaderKeepsItsPromises) {
    for (const std::string& path : inputs()) {
        SCOPED_TRACE(path);
        EXPECT_EQ(checkWaveReader(path), "");
    }
}

// Each file as the fuzzer would take it, and once more with a byte 1 appended: that selects the
// other action (the file as we.wav under a tone, attenuated by 6 dB).
TEST(CorpusReplay, TheInputActionsKeepTheirPromises) {
    TempDir dir(false);
    InputActionsCheck check(dir.path());
    for (const std::string& path : inputs()) {
        SCOPED_TRACE(path);
        std::vector<std::uint8_t> bytes = readBytes(path);
        EXPECT_EQ(check.run(bytes.data(), bytes.size()), "");
        bytes.push_back(1);
        EXPECT_EQ(check.run(bytes.data(), bytes.size()), "");
    }
}
