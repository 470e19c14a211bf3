// The working files of complete runs, against worked values computed by hand.
#include "RunFixture.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

constexpr bool kQuantiser = true, kPredictor = true, kNo = false;

} // namespace

class RunResults : public RunFixture {};

TEST_F(RunResults, PcmUniformThreeLevels) {
    setInput({0.6f, -0.2f});
    ASSERT_EQ(simulate(kQuantiser, kNo, pcm("3")), 1);
    EXPECT_EQ(stream("002.tmp"), (std::vector<float>{2.0f, 1.0f, 0.0f}));
    EXPECT_EQ(stream("003.tmp"), (std::vector<float>{2.0f, 0.6f - 1.0f, -0.2f}));
    const auto ratios = stream("006.tmp");
    ASSERT_EQ(ratios.size(), 2u);
    EXPECT_EQ(ratios[0], 0.0f);
    EXPECT_FLOAT_EQ(ratios[1], 2.0f); // (0.36 + 0.04) / (0.16 + 0.04)
    EXPECT_EQ(stream("007.tmp")[0], 1.0f);
    EXPECT_NEAR(stream("007.tmp")[1], 3.0103f, 1e-4);
    EXPECT_FLOAT_EQ(stream("008.tmp")[1], 2.0f);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(fileExists(dir.tmp("wy.wav")));
}

TEST_F(RunResults, PredictionStochasticGradient) {
    setInput({1.0f, 1.0f, 1.0f});
    ASSERT_EQ(simulate(kNo, kPredictor, prediction("1", "0,5")), 1);
    EXPECT_EQ(stream("002.tmp"), (std::vector<float>{3.0f, 0.0f, 0.0f, 0.5f}));
    EXPECT_EQ(stream("004.tmp"), (std::vector<float>{3.0f, 1.0f, 1.0f, 0.5f}));
    EXPECT_EQ(stream("005.tmp"), (std::vector<float>{1.0f, 0.0f, 0.5f, 0.75f}));
    // Signal energy 3, error energy 2.25: both exact, so the ratio is 4/3 rounded once.
    EXPECT_EQ(stream("006.tmp"), (std::vector<float>{0.0f, float(3.0 / 2.25)}));
    EXPECT_NEAR(stream("007.tmp")[1], 1.2494f, 1e-4);
    EXPECT_EQ(stream("008.tmp"), (std::vector<float>{1.0f, float(3.0 / 2.25)}));
}

TEST_F(RunResults, AdpcmUniformThreeLevelsWithStochasticGradient) {
    setInput({0.6f, 0.6f});
    RunSettings s = prediction("1", "0,5");
    s.levelsText = "3";
    s.quantiserItem = 0;
    ASSERT_EQ(simulate(kQuantiser, kPredictor, s), 1);
    EXPECT_EQ(stream("002.tmp"), (std::vector<float>{2.0f, 1.0f, 1.0f}));
    EXPECT_EQ(stream("004.tmp"), (std::vector<float>{2.0f, 0.6f, 0.6f}));
    EXPECT_EQ(stream("003.tmp"), (std::vector<float>{2.0f, 1.0f - 0.6f, 1.0f - 0.6f}));
    EXPECT_EQ(stream("005.tmp"), (std::vector<float>{1.0f, 0.0f, 0.5f}));
    EXPECT_FLOAT_EQ(stream("006.tmp")[1], 2.25f); // 0.72 / 0.32
    EXPECT_NEAR(stream("007.tmp")[1], 3.5218f, 1e-4);
    EXPECT_FLOAT_EQ(stream("008.tmp")[1], 2.25f);
}

TEST_F(RunResults, FramesOfAPartialLastFrame) {
    struct Case {
        int samples;
        int lastFrame;
    };
    for (const Case c : {Case{127, 0}, Case{128, 0}, Case{256, 1}, Case{257, 2}}) {
        SCOPED_TRACE(c.samples);
        host = RecordingRunHost();
        setInput(std::vector<float>(c.samples, 0.25f));
        ASSERT_EQ(simulate(kQuantiser, kNo, pcm("3")), 1);
        const auto ratios = stream("006.tmp");
        EXPECT_EQ(ratios[0], float(c.lastFrame));
        EXPECT_EQ(ratios.size(), std::size_t(c.lastFrame + 2));
        EXPECT_EQ(stream("002.tmp").size(), std::size_t(c.samples + 1));
        EXPECT_EQ(host.state.signalLength, c.samples);
        EXPECT_EQ(host.state.lastFrame, c.lastFrame);
        EXPECT_EQ(host.progressMaximum, c.lastFrame);
        EXPECT_EQ(host.resultsMaximum, c.lastFrame);
        std::vector<int> positions(c.lastFrame + 1);
        for (int j = 0; j <= c.lastFrame; ++j)
            positions[j] = j;
        EXPECT_EQ(host.progress, positions);
    }
}

TEST_F(RunResults, SilenceAndErrorFreeFramesTakeTheEmptyAndCeilingValues) {
    // Frame 0 silent, frame 1 reproduced exactly by the levels −1, 0, 1.
    std::vector<float> input(128, 0.0f);
    for (int i = 0; i < 128; ++i)
        input.push_back(i % 2 ? 1.0f : -1.0f);
    setInput(input);
    ASSERT_EQ(simulate(kQuantiser, kNo, pcm("3")), 1);
    EXPECT_EQ(stream("006.tmp"), (std::vector<float>{1.0f, 0.0f, FLT_MAX}));
    // Only the error-free frame passes the gate: 10·log10 of the ceiling, about 385.32 dB.
    EXPECT_NEAR(stream("007.tmp")[1], 385.3184f, 1e-3);
    EXPECT_EQ(stream("008.tmp")[1], FLT_MAX);

    setInput(std::vector<float>(300, 0.0f));
    ASSERT_EQ(simulate(kQuantiser, kNo, pcm("3")), 1);
    EXPECT_EQ(stream("006.tmp"), (std::vector<float>{2.0f, 0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(stream("007.tmp")[1], FLT_MIN);
    EXPECT_EQ(stream("008.tmp")[1], FLT_MAX);
}

// A PCM frame enters the segmental measure when its ratio exceeds 0.00128. Two levels ±1 turn a
// small positive x into 1, so one sample x gives the ratio x² / (1 − x)².
TEST_F(RunResults, RatioGateOfTheSegmentalMeasure) {
    struct Case {
        float x;
        bool enters;
    };
    for (const Case c : {Case{0.034411f, false}, Case{0.034801f, true}}) {
        SCOPED_TRACE(c.x);
        setInput({c.x});
        ASSERT_EQ(simulate(kQuantiser, kNo, pcm("2")), 1);
        const float r = stream("006.tmp")[1];
        EXPECT_NEAR(r, c.enters ? 0.0013 : 0.00127, 0.000005);
        EXPECT_EQ(stream("007.tmp")[1], c.enters ? float(10.0 * std::log10(double(r))) : FLT_MIN);
    }
}

// The prediction run gates a frame by its signal energy. A predictor with step 0 predicts 0, so
// every frame's gain is 0 dB and the segmental measure tells whether any frame entered.
TEST_F(RunResults, SignalEnergyGateOfThePredictionRun) {
    // A frame whose energy is exactly the float32 nearest to 0.00128, just below the double
    // threshold: samples a·2^-17 whose squares a²·2^-34 add exactly. The small squares come
    // first, so every partial sum but the last stays below 2^24 units and is exact.
    const float nearest = 0.00128f;
    ASSERT_LT(double(nearest), 0.00128);
    const auto units = static_cast<long>(std::ldexp(double(nearest), 34));
    ASSERT_EQ(std::ldexp(double(units), -34), double(nearest));
    // Greedy squares: each step leaves less than 2a + 1, so a handful of samples.
    const auto frameOfEnergy = [](long target) {
        std::vector<float> frame;
        for (long rest = target; rest > 0;) {
            const long a = static_cast<long>(std::sqrt(double(rest)));
            frame.push_back(float(std::ldexp(double(a), -17)));
            rest -= a * a;
        }
        std::reverse(frame.begin(), frame.end());
        return frame;
    };
    const std::vector<float> exact = frameOfEnergy(units);
    const std::vector<float> above = frameOfEnergy(units + 2); // the next float32 up
    ASSERT_LE(exact.size(), 128u);

    struct Case {
        const char* name;
        std::vector<float> frame;
        bool enters;
    };
    const Case cases[] = {
        {"energy 0.001", {std::sqrt(0.001f)}, false},
        {"energy 0.002", {std::sqrt(0.002f)}, true},
        {"energy 0.002 spread", std::vector<float>(128, std::sqrt(0.002f / 128)), true},
        {"float32 nearest to 0.00128", exact, false},
        {"next float32 above it", above, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setInput(c.frame);
        ASSERT_EQ(simulate(kNo, kPredictor, prediction("1", "0")), 1);
        EXPECT_EQ(stream("006.tmp")[1], 1.0f);
        EXPECT_EQ(stream("007.tmp")[1], c.enters ? 0.0f : FLT_MIN);
    }
}

TEST_F(RunResults, EachModeWritesItsOwnFilesAndLeavesTheOthers) {
    const std::vector<float> sentinel{-7.0f};
    struct Case {
        const char* name;
        bool quantiser, predictor;
        std::vector<std::string> untouched;
    };
    const Case cases[] = {
        {"pcm", kQuantiser, kNo, {"004.tmp", "005.tmp"}},
        {"prediction", kNo, kPredictor, {"003.tmp"}},
        {"adpcm", kQuantiser, kPredictor, {}},
    };
    setInput({0.1f, 0.2f, 0.3f});
    RunSettings s = prediction("2", "0,1");
    s.levelsText = "4";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* name :
             {"002.tmp", "003.tmp", "004.tmp", "005.tmp", "006.tmp", "007.tmp", "008.tmp"})
            writeStream(dir.tmp(name), sentinel);
        ASSERT_EQ(simulate(c.quantiser, c.predictor, s), 1);
        for (const char* name :
             {"002.tmp", "003.tmp", "004.tmp", "005.tmp", "006.tmp", "007.tmp", "008.tmp"}) {
            const bool keep =
                std::find(c.untouched.begin(), c.untouched.end(), name) != c.untouched.end();
            EXPECT_EQ(stream(name) == sentinel, keep) << name;
        }
    }
}
