// Runs that must not complete: refusals, bad input streams, overflows, failed writes. After each,
// every file is closed, wy.wav is as it was, and the next run works.
#include "RunFixture.h"

#include "engine/RunMessages.h"

#include <cmath>
#include <filesystem>

namespace {

constexpr bool kQuantiser = true, kPredictor = true, kNo = false;
const char* const kWorkingFiles[] = {"001.tmp", "002.tmp", "003.tmp", "004.tmp", "005.tmp",
                                     "006.tmp", "007.tmp", "008.tmp", "wy.wav"};
const RecordingRunHost::Message kGuarded{"Sprawdź ustawienia układu.", "Przekroczono zakres"};
const RecordingRunHost::Message kEscaped{"Przekroczono zakres. Sprawdź ustawienia układu.", "Błąd"};

} // namespace

class RunFaults : public RunFixture {
protected:
    // Every working file but 001.tmp gets recognisable content.
    void writeSentinels() {
        for (const char* name : kWorkingFiles)
            if (std::string(name) != "001.tmp")
                writeStream(dir.tmp(name), {-7.0f, -7.0f});
    }
    std::vector<std::vector<std::uint8_t>> snapshot() const {
        std::vector<std::vector<std::uint8_t>> bytes;
        for (const char* name : kWorkingFiles)
            bytes.push_back(readBytes(dir.tmp(name)));
        return bytes;
    }
    // After a stop: nothing left open, no new wy.wav, and a plain run goes through again.
    void expectCleanStopAndRecovery(int descriptorsBefore) {
        EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
        EXPECT_EQ(stream("wy.wav"), (std::vector<float>{-7.0f, -7.0f}));
        EXPECT_EQ(host.events.back(), "finished");
        setInput({0.6f, -0.2f});
        host = RecordingRunHost();
        EXPECT_EQ(simulate(kQuantiser, kNo, pcm("3")), 1);
        EXPECT_TRUE(host.messages.empty());
        EXPECT_EQ(stream("002.tmp"), (std::vector<float>{2.0f, 1.0f, 0.0f}));
    }
};

TEST_F(RunFaults, WithoutAnInputNothingStarts) {
    ASSERT_EQ(simulate(kQuantiser, kNo, pcm("3")), -1);
    EXPECT_EQ(host.messages,
              (std::vector<RecordingRunHost::Message>{{"Nie wybrano pliku wejściowego", "Błąd"}}));
    EXPECT_EQ(host.events, (std::vector<std::string>{"message"}));
}

TEST_F(RunFaults, NeitherBoxRunsNothing) {
    setInput({0.5f});
    EXPECT_EQ(simulate(kNo, kNo, pcm("3")), -1);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(fileExists(dir.tmp("002.tmp")));
}

TEST_F(RunFaults, SuccessCallsTheHostInOrder) {
    setInput({0.5f});
    ASSERT_EQ(simulate(kQuantiser, kNo, pcm("3")), 1);
    EXPECT_EQ(host.events, (std::vector<std::string>{"started", "results-range", "draw", "finished",
                                                     "release"}));
}

TEST_F(RunFaults, RefusalsTouchNoWorkingFile) {
    setInput({0.1f, 0.2f});
    writeSentinels();
    const auto before = snapshot();
    struct Case {
        const char* name;
        bool quantiser, predictor;
        RunSettings settings;
        RecordingRunHost::Message message;
    };
    RunSettings lloyd = pcm("3", 3); // two distinct values cannot give three random levels
    const Case cases[] = {
        {"pcm levels", kQuantiser, kNo, pcm(""), {refusal::levels, "Błąd"}},
        {"prediction order",
         kNo,
         kPredictor,
         prediction("12", "0"),
         {"Niepoprawna wartość 'Rząd predyktora'", "Błąd"}},
        {"adpcm range",
         kQuantiser,
         kPredictor,
         adpcm("4", 1, "0", "2", "0,1"),
         {refusal::range, "Błąd"}},
        {"lloyd random codebook",
         kQuantiser,
         kNo,
         lloyd,
         {"Za mało różnych wartości próbek do wylosowania słownika.", "Błąd"}},
    };
    const int descriptors = openDescriptorCount();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host = RecordingRunHost();
        EXPECT_EQ(simulate(c.quantiser, c.predictor, c.settings), -1);
        EXPECT_EQ(host.messages, std::vector<RecordingRunHost::Message>{c.message});
        EXPECT_EQ(host.events, (std::vector<std::string>{"started", "message", "finished"}));
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(openDescriptorCount(), descriptors);
    }
}

TEST_F(RunFaults, InputStreamsNoInputActionWrites) {
    writeSentinels();
    struct Case {
        const char* name;
        std::vector<float> words;
    };
    const Case cases[] = {
        {"no samples", {0.0f}},
        {"negative count", {-3.0f, 1.0f}},
        {"count NaN", {std::nanf(""), 1.0f}},
        {"count beyond 2^24", {16777218.0f, 1.0f}},
        {"fewer values than the header", {3.0f, 0.1f, 0.2f}},
        {"not even a header", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.words.empty())
            writeBytes(dir.tmp("001.tmp"), {0, 0}); // half a header word
        else
            writeStream(dir.tmp("001.tmp"), c.words);
        const auto before = snapshot();
        for (bool predictor : {false, true}) {
            host = RecordingRunHost();
            EXPECT_EQ(simulate(kQuantiser, predictor, adpcm("4", 1, "1,0", "2", "0,1")), -1);
            EXPECT_EQ(host.messages, (std::vector<RecordingRunHost::Message>{
                                         {"Niepoprawny plik wejściowy Tmp/001.tmp.", "Błąd"}}));
            EXPECT_EQ(snapshot(), before);
        }
    }
}

TEST_F(RunFaults, HugeInputStopsAtTheGuardInEveryRun) {
    struct Case {
        const char* name;
        bool quantiser, predictor;
    };
    RunSettings settings = prediction("2", "0,01");
    settings.levelsText = "3";
    for (const Case& c : {Case{"pcm", kQuantiser, kNo}, Case{"prediction", kNo, kPredictor},
                          Case{"adpcm", kQuantiser, kPredictor}}) {
        SCOPED_TRACE(c.name);
        writeSentinels();
        setInput({0.5f, 1e30f, 0.5f});
        host = RecordingRunHost();
        const int descriptors = openDescriptorCount();
        EXPECT_EQ(simulate(c.quantiser, c.predictor, settings), -1);
        ASSERT_FALSE(host.messages.empty());
        EXPECT_EQ(host.messages.back(), kGuarded);
        EXPECT_EQ(std::count(host.messages.begin(), host.messages.end(), kGuarded), 1);
        // The files hold what was written before the stop: the first sample's output.
        EXPECT_EQ(stream("002.tmp").size(), 3u);
        EXPECT_EQ(stream("006.tmp"), (std::vector<float>{0.0f}));
        EXPECT_EQ(std::find(host.events.begin(), host.events.end(), "draw"), host.events.end());
        expectCleanStopAndRecovery(descriptors);
    }
}

TEST_F(RunFaults, OverallRatioBeyondFloatEscapesTheRun) {
    // Frame 0: one tiny sample, error energy about 1e-38; frame 1 is reproduced exactly. Each
    // frame's ratio is finite, but S / E is not: an overflow outside the guarded places.
    std::vector<float> input(128, 0.0f);
    input[0] = 1e-19f;
    input.insert(input.end(), 128, 1.0f);
    setInput(input);
    writeSentinels();
    const int descriptors = openDescriptorCount();
    EXPECT_EQ(simulate(kQuantiser, kNo, pcm("3")), -1);
    EXPECT_EQ(host.messages, std::vector<RecordingRunHost::Message>{kEscaped});
    expectCleanStopAndRecovery(descriptors);
}

TEST_F(RunFaults, ExplodingAdaptiveStepEscapesTheRun) {
    mnozniki.Mnozniki4 = {1e10f, 1e10f, 1e10f, 1e10f};
    for (bool predictor : {false, true}) {
        SCOPED_TRACE(predictor ? "adpcm" : "pcm");
        setInput(std::vector<float>(1000, 0.5f));
        writeSentinels();
        host = RecordingRunHost();
        const int descriptors = openDescriptorCount();
        EXPECT_EQ(simulate(kQuantiser, predictor, adpcm("4", 1, "1,0", "1", "0")), -1);
        EXPECT_EQ(host.messages, std::vector<RecordingRunHost::Message>{kEscaped});
        // The step passes 1e20 after a few samples: it stops long before the signal's end.
        EXPECT_LT(stream("002.tmp").size(), 20u);
        expectCleanStopAndRecovery(descriptors);
    }
}

TEST_F(RunFaults, LloydMaxDesignBeyondFloatEscapesTheRun) {
    // Two samples of 3e38 train the upper level: their float32 sum, and so the level, overflow
    // while the quantiser is built, before any working file is opened.
    setInput({3e38f, 3e38f, 1e-3f, -1e-3f});
    RunSettings lloyd = pcm("2", 3);
    lloyd.codebookCode = 3;
    writeSentinels();
    const auto before = snapshot();
    const int descriptors = openDescriptorCount();
    EXPECT_EQ(simulate(kQuantiser, kNo, lloyd), -1);
    EXPECT_EQ(host.messages, std::vector<RecordingRunHost::Message>{kEscaped});
    EXPECT_EQ(snapshot(), before);
    expectCleanStopAndRecovery(descriptors);
}

TEST_F(RunFaults, LeastSquaresWithoutForgettingStopsOnItsDivisionByZero) {
    for (bool quantiser : {false, true}) {
        SCOPED_TRACE(quantiser ? "adpcm" : "prediction");
        setInput({0.1f, 0.2f, 0.3f});
        writeSentinels();
        host = RecordingRunHost();
        const int descriptors = openDescriptorCount();
        EXPECT_EQ(simulate(quantiser, kPredictor, adpcm("4", 1, "1,0", "2", "0", 2)), -1);
        EXPECT_EQ(host.messages,
                  (std::vector<RecordingRunHost::Message>{{runmsg::divisionByZero, "Błąd"}}));
        expectCleanStopAndRecovery(descriptors);
    }
}

TEST_F(RunFaults, APredictorOverflowIsShownOnceAndTheRunGoesOn) {
    // μ·e·x reaches 3e38 at the second sample; from the third on every prediction overflows
    // (and yields 0), so the error stays the input.
    setInput({1.0f, 2.0f, 2.0f, 2.0f, 2.0f, 2.0f});
    EXPECT_EQ(simulate(kNo, kPredictor, prediction("1", "1,5e38")), 1);
    EXPECT_EQ(host.messages, std::vector<RecordingRunHost::Message>{kGuarded});
    EXPECT_EQ(stream("002.tmp"), (std::vector<float>{6.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f}));
    EXPECT_TRUE(fileExists(dir.tmp("wy.wav")));
}

TEST_F(RunFaults, AFullDiskIsNotReportedAsSuccess) {
    if (!fileExists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    for (const char* name : {"003.tmp", "008.tmp"}) {
        SCOPED_TRACE(name);
        writeSentinels();
        std::filesystem::remove(dir.tmp(name));
        std::filesystem::create_symlink("/dev/full", dir.tmp(name));
        setInput(std::vector<float>(5000, 0.25f));
        host = RecordingRunHost();
        const int descriptors = openDescriptorCount();
        EXPECT_EQ(simulate(kQuantiser, kNo, pcm("3")), -1);
        EXPECT_EQ(host.messages,
                  (std::vector<RecordingRunHost::Message>{{runmsg::writeFailed, "Błąd"}}));
        std::filesystem::remove(dir.tmp(name));
        expectCleanStopAndRecovery(descriptors);
    }
}
