#include "quant/LloydMax.h"
#include "quant/Kwantyzery.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

// A start-up directory whose Tmp/001.tmp holds a signal, and the shared inputs of a run.
struct Training {
    TempDir dir;
    Mnozniki table = Mnozniki::defaults();
    std::minstd_rand random;

    explicit Training(const std::vector<float>& samples) { write(samples); }
    void write(const std::vector<float>& samples) {
        std::vector<float> words = {float(samples.size())};
        words.insert(words.end(), samples.begin(), samples.end());
        writeStream(path(), words);
    }
    std::string path() const { return dir.tmp("001.tmp"); }
    Kwantyzery lloyd(int levels, int code) {
        return Kwantyzery("LLOYD", levels, 1.0f, code, QuantiserInputs{table, path(), random});
    }
};

std::vector<float> levelsOf(const Kwantyzery& q) {
    std::vector<float> levels;
    for (const Przedzial& c : q.przedzialy())
        levels.push_back(c.Poziom);
    return levels;
}

} // namespace

TEST(LloydMax, FourDistinctSamplesSettleInOnePass) {
    for (int code : {0, 1}) {
        SCOPED_TRACE(code);
        Training t({0.3f, 0.1f, 0.4f, 0.2f});
        Kwantyzery q = t.lloyd(4, code);
        // Every sample is drawn, sorted, and alone in its cell: nothing moves.
        EXPECT_EQ(levelsOf(q), (std::vector<float>{0.1f, 0.2f, 0.3f, 0.4f}));
        EXPECT_EQ(q.lloydPasses(), 1);
        const double bounds[][2] = {{0.05, 0.15}, {0.15, 0.25}, {0.25, 0.35}, {0.35, 0.45}};
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_NEAR(q.przedzialy()[i].Dolny, bounds[i][0], 1e-7);
            EXPECT_NEAR(q.przedzialy()[i].Gorny, bounds[i][1], 1e-7);
        }
        EXPECT_EQ(q.Kwantyzuj(0.0f), 0.1f);
        EXPECT_EQ(q.Kwantyzuj(0.26f), 0.3f);
    }
}

TEST(LloydMax, DataRangeIsTheSmallerMagnitude) {
    TrainingSignal data{3, {0.8f, -0.5f, 0.6f}};
    std::minstd_rand random;
    std::vector<float> progiLog;
    // The largest value is 0.8, the smallest -0.5: R = 0.5.
    EXPECT_EQ(initialLevels(data, 3, 3, random, progiLog), (std::vector<float>{-0.5f, 0, 0.5f}));
    EXPECT_TRUE(progiLog.empty());
    EXPECT_EQ(initialLevels(data, 5, 3, random, progiLog),
              (std::vector<float>{-0.5f, -0.25f, 0, 0.25f, 0.5f}));
    const std::vector<float> log = initialLevels(data, 3, 2, random, progiLog);
    EXPECT_EQ(progiLog, (std::vector<float>{-0.75f, -0.25f, -0.25f, 0.25f, 0.25f, 0.75f}));
    EXPECT_NEAR(log[2], 0.76952 / 2, 1e-5) << "the A-law levels scale with R";
    EXPECT_EQ(random, std::minstd_rand()) << "no random number taken";

    // 0.8 lies beyond the top cell [0.25, 0.75) and joins it: the top level moves to the mean
    // of 0.6 and 0.8, then nothing moves.
    const LloydMaxDesign design = designLloydMax(data, 3, 3, random);
    EXPECT_EQ(design.passes, 2);
    EXPECT_EQ(design.cells[0].Poziom, -0.5f);
    EXPECT_EQ(design.cells[1].Poziom, 0.0f);
    EXPECT_NEAR(design.cells[2].Poziom, 0.7, 1e-7);
}

TEST(LloydMax, SignalThatNeverGoesBelowZero) {
    // R = 0: every initial level is 0 and every cell the point 0. The positive samples join the
    // top cell, the zeros no cell; in the second pass the zeros fill the middle cell at 0.
    for (int code : {2, 3}) {
        SCOPED_TRACE(code);
        Training t({0.0f, 0.2f, 0.0f, 0.4f});
        Kwantyzery q = t.lloyd(3, code);
        EXPECT_EQ(q.lloydPasses(), 2);
        const std::vector<float> levels = levelsOf(q);
        ASSERT_EQ(levels.size(), 3u);
        EXPECT_EQ(levels[0], 0.0f);
        EXPECT_EQ(levels[1], 0.0f);
        EXPECT_NEAR(levels[2], 0.3, 1e-7);
        EXPECT_EQ(q.Kwantyzuj(0.1f), 0.0f);
        EXPECT_EQ(q.Kwantyzuj(0.2f), levels[2]);
        EXPECT_EQ(q.Kwantyzuj(-1.0f), 0.0f);
    }
}

TEST(LloydMax, SharedBoundTrainsUpperButQuantisesLower) {
    // Uniform start over R = 0.5: levels -0.5 and 0.5 share the bound 0. The sample 0 trains the
    // upper cell (mean 0.25, not -0.25 for the lower one).
    Training t({-0.5f, 0.0f, 0.5f});
    Kwantyzery q = t.lloyd(2, 3);
    EXPECT_EQ(levelsOf(q), (std::vector<float>{-0.5f, 0.25f}));
    EXPECT_EQ(q.lloydPasses(), 2);
    // The final cells share -0.125, which Kwantyzuj gives to the lower cell.
    ASSERT_EQ(q.przedzialy()[0].Gorny, -0.125f);
    EXPECT_EQ(q.przedzialy()[1].Dolny, -0.125f);
    EXPECT_EQ(q.Kwantyzuj(-0.125f), -0.5f);
    EXPECT_EQ(q.Kwantyzuj(std::nextafter(-0.125f, 0.0f)), 0.25f);
    EXPECT_EQ(q.Kwantyzuj(std::numeric_limits<float>::quiet_NaN()), 0.0f);
}

TEST(LloydMax, StopsAfterSixPasses) {
    // A skewed, spread signal moves uniform levels for many passes.
    std::vector<float> samples;
    for (int k = -500; k <= 500; ++k)
        samples.push_back(float(k * k * k) / 1.25e8f);
    Training t(samples);
    EXPECT_EQ(t.lloyd(16, 3).lloydPasses(), 6);
    EXPECT_EQ(t.lloyd(16, 2).lloydPasses(), 6);
}

TEST(LloydMax, DeterministicCodebooksRepeatRandomOnesContinue) {
    const std::vector<float> samples = speechFixture("3_jackson_12.wav");
    ASSERT_GT(samples.size(), 1000u);
    Training t(samples);
    for (int code : {2, 3}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(levelsOf(t.lloyd(8, code)), levelsOf(t.lloyd(8, code)));
    }
    // Consecutive random designs continue one sequence; a fresh generator repeats the first.
    const std::vector<float> first = levelsOf(t.lloyd(8, 1));
    const std::vector<float> second = levelsOf(t.lloyd(8, 1));
    EXPECT_NE(first, second);
    t.random = std::minstd_rand();
    EXPECT_EQ(levelsOf(t.lloyd(8, 1)), first);
    for (const auto& levels : {first, second})
        EXPECT_TRUE(std::is_sorted(levels.begin(), levels.end()));
}

TEST(LloydMax, DistinctValuesForARandomCodebook) {
    struct Case {
        const char* what;
        std::vector<float> words; // header first
        int n;
        bool enough;
    };
    const std::vector<Case> cases = {
        {"header only", {0.0f}, 2, false},
        {"four values", {4, 0.1f, 0.2f, 0.3f, 0.4f}, 4, true},
        {"four values, five wanted", {4, 0.1f, 0.2f, 0.3f, 0.4f}, 5, false},
        {"repeats", {4, 0.5f, 0.5f, 0.25f, 0.5f}, 2, true},
        {"repeats, three wanted", {4, 0.5f, 0.5f, 0.25f, 0.5f}, 3, false},
        {"both zeros are one value", {2, 0.0f, -0.0f}, 2, false},
        {"header reaches two samples", {2, 0.5f, 0.5f, 0.25f}, 2, false},
        {"header beyond the samples", {9, 0.5f, 0.25f}, 2, true},
        {"negative header", {-3, 0.5f, 0.5f, 0.25f}, 2, true},
        {"header 0 draws sample 0", {0, 0.5f, 0.25f}, 2, false},
        {"NaN header", {std::numeric_limits<float>::quiet_NaN(), 0.5f, 0.25f}, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        writeStream(dir.tmp("001.tmp"), c.words);
        EXPECT_EQ(Kwantyzery::enoughDistinctSamples(dir.tmp("001.tmp"), c.n), c.enough);
    }
    TempDir empty;
    EXPECT_FALSE(Kwantyzery::enoughDistinctSamples(empty.tmp("001.tmp"), 2)) << "no stream";
}

TEST(LloydMax, TooFewDistinctValuesDrawNothing) {
    // Built anyway, the quantiser takes no random number and quantises to 0; it never loops.
    Training t({0.5f, 0.5f, 0.5f});
    Kwantyzery q = t.lloyd(2, 1);
    EXPECT_TRUE(q.przedzialy().empty());
    EXPECT_EQ(q.Kwantyzuj(0.5f), 0.0f);
    EXPECT_EQ(t.random, std::minstd_rand());

    // With enough values the draws skip indices past the samples held.
    t.write({0.5f, 0.25f});
    writeStream(t.path(), {1000, 0.5f, 0.25f});
    EXPECT_EQ(levelsOf(t.lloyd(2, 1)), (std::vector<float>{0.25f, 0.5f}));
}

TEST(LloydMax, MissingStreamWithADeterministicCodebook) {
    // No training data: R = 0, every level stays 0.
    TempDir dir;
    Mnozniki table = Mnozniki::defaults();
    std::minstd_rand random;
    for (int code : {2, 3}) {
        Kwantyzery q("LLOYD", 4, 1.0f, code, QuantiserInputs{table, dir.tmp("001.tmp"), random});
        EXPECT_EQ(levelsOf(q), (std::vector<float>(4, 0.0f)));
        EXPECT_EQ(q.Kwantyzuj(0.9f), 0.0f);
    }
}
