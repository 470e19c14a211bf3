#include "engine/InputActions.h"

#include "FileSizeLimit.h"
#include "RecordingHost.h"
#include "TempDir.h"
#include "WavBytes.h"
#include "wave/WaveFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

using Calls = std::vector<std::string>;

namespace {

const char* const kFileError = "message Blad: Blad pliku wejsciowego";
const char* const kFrequencyError = "message Błąd: Niepoprawna wartość częstotliwości.";
const char* const kAttenuationError = "message Błąd: Niepoprawna wartość tłumienia.";
const char* const kWriteError =
    "message Błąd: Nie udało się zapisać plików roboczych w katalogu Tmp.";

// 10^(-6/20) and 10^(6/20), rounded to float.
constexpr float kGainMinus6dB = 0.501187233627272f;
constexpr float kGainPlus6dB = 1.99526231496888f;

Bytes bits24() {
    return riff(
        "WAVE",
        {chunk("fmt ", concat({le16(1), le16(1), le32(8000), le32(24000), le16(3), le16(24)})),
         chunk("data", Bytes(6, 0))});
}

// What an action may change: the two input files and the two fields.
struct Input {
    Bytes stream;
    Bytes wav;
    int signalLength;
    int lastFrame;
    bool operator==(const Input&) const = default;
};

} // namespace

class InputActionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy_file("data/Tmp/wzorzec.wav", dir.tmp("wzorzec.wav"));
    }

    Input input() const {
        return {readBytes(dir.tmp("001.tmp")), readBytes(dir.tmp("we.wav")), signal.signalLength,
                signal.lastFrame};
    }
    std::string file(const std::string& name, const Bytes& bytes) const {
        writeBytes(dir.file(name), bytes);
        return dir.file(name);
    }
    // Values of we.wav as the WAV reader gives them.
    std::vector<float> wavValues() const {
        WaveFile wav;
        EXPECT_TRUE(wav.OpenForReading(dir.tmp("we.wav")));
        std::vector<float> v(wav.SampleCount());
        for (float& x : v)
            EXPECT_TRUE(wav.ReadSample(x));
        return v;
    }
    std::vector<std::string> tmpFiles() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.path() + "/Tmp"))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir dir;
    WorkingFiles files{dir.path()};
    SignalState signal;
    RecordingHost host;
    InputActions actions{files, signal, host};
};

TEST_F(InputActionsTest, ChoosingAFileWritesTheInputAndItsPlayableCopy) {
    const auto path = file("mowa.wav", wav16({1, 3, 100, -32768, 16383, 32767}));
    ASSERT_TRUE(actions.chooseFile(path));
    EXPECT_EQ(readStream(dir.tmp("001.tmp")),
              (std::vector<float>{6.0f, 1.0f / 32767.0f, 3.0f / 32767.0f, 100.0f / 32767.0f,
                                  -32768.0f / 32767.0f, 16383.0f / 32767.0f, 1.0f}));
    // we.wav is the file passed through float samples, so codes move toward zero.
    EXPECT_EQ(readBytes(dir.tmp("we.wav")), wav16({0, 2, 99, -32767, 16383, 32767}));
    EXPECT_EQ(signal.signalLength, 6);
    EXPECT_EQ(signal.lastFrame, 0);
    EXPECT_EQ(host.calls, (Calls{"source wav", "clear frequency", "file name mowa.wav", "scroll 0",
                                 "draw", "enable"}));
    EXPECT_EQ(actions.chosenFile(), path);
    EXPECT_EQ(actions.source(), InputSource::WaveFile);
}

TEST_F(InputActionsTest, LastFrameFollowsTheNumberOfSamples) {
    for (auto [n, lastFrame] :
         {std::pair{1, 0}, {128, 0}, {129, 1}, {1000, 7}, {1024, 7}, {1025, 8}}) {
        SCOPED_TRACE(n);
        ASSERT_TRUE(actions.chooseFile(file("n.wav", wav8(Bytes(n, 127)))));
        EXPECT_EQ(signal.signalLength, n);
        EXPECT_EQ(signal.lastFrame, lastFrame);
        EXPECT_EQ(host.calls.at(host.calls.size() - 3), "scroll " + std::to_string(lastFrame));
    }
}

TEST_F(InputActionsTest, FilesAreAcceptedOrRefusedByWhetherTheirSamplesCanBeRead) {
    struct Case {
        const char* name;
        Bytes bytes;
        std::vector<float> stream; // empty: refused
    };
    Bytes truncatedHeader = wav16({1, 2});
    truncatedHeader.resize(30);
    Bytes shortFmt = fmtBody(1, 16);
    shortFmt.resize(14);
    Bytes floatFmt = fmtBody(1, 32);
    floatFmt[0] = 3;
    Bytes tag3 = fmtBody(1, 16);
    tag3[0] = 3;
    const float a = 16383.0f / 32767.0f;
    const Case cases[] = {
        {"empty", {}, {}},
        {"not RIFF", concat({Bytes{'J', 'U', 'N', 'K'}, Bytes(40, 1)}), {}},
        {"not WAVE", riff("AVI ", {chunk("fmt ", fmtBody(1, 16)), chunk("data", pcm16({1}))}), {}},
        {"header cut short", truncatedHeader, {}},
        {"24-bit", bits24(), {}},
        {"32-bit float", riff("WAVE", {chunk("fmt ", floatFmt), chunk("data", Bytes(8, 0))}), {}},
        {"fmt shorter than 16 bytes",
         riff("WAVE", {chunk("fmt ", shortFmt), chunk("data", pcm16({1, 2}))}),
         {}},
        {"no data chunk", riff("WAVE", {chunk("fmt ", fmtBody(1, 16))}), {}},
        {"no samples", wav16({}), {}},
        {"data shorter than one frame", wav16({7}, 2), {}},
        {"data before fmt",
         riff("WAVE", {chunk("data", pcm16({16383, -16383})), chunk("fmt ", fmtBody(1, 16))}),
         {2.0f, a, -a}},
        {"odd chunk before data",
         riff("WAVE", {chunk("fmt ", fmtBody(1, 16)), chunk("odd ", {1, 2, 3}),
                       chunk("data", pcm16({16383}))}),
         {1.0f, a}},
        {"LIST between fmt and data",
         riff("WAVE", {chunk("fmt ", fmtBody(1, 16)), chunk("LIST", {'I', 'N', 'F', 'O', 1, 2}),
                       chunk("data", pcm16({-16383}))}),
         {1.0f, -a}},
        {"fmt of 18 bytes",
         riff("WAVE",
              {chunk("fmt ", concat({fmtBody(1, 16), le16(0)})), chunk("data", pcm16({16383}))}),
         {1.0f, a}},
        {"data longer than the file",
         concat({Bytes{'R', 'I', 'F', 'F'}, le32(1000), Bytes{'W', 'A', 'V', 'E'},
                 chunk("fmt ", fmtBody(1, 16)), Bytes{'d', 'a', 't', 'a'}, le32(1000),
                 pcm16({16383, 16383}), Bytes{0x01}}),
         {2.0f, a, a}},
        {"stereo", wav16({16383, 1, -16383, 2}, 2), {2.0f, a, -a}},
        {"8-bit", wav8({0, 127, 254}), {3.0f, -1.0f, 0.0f, 1.0f}},
        {"format tag 3 with 16-bit samples",
         riff("WAVE", {chunk("fmt ", tag3), chunk("data", pcm16({16383}))}),
         {1.0f, a}},
    };
    ASSERT_TRUE(actions.generateTone("440"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Input before = input();
        host.calls.clear();
        const auto path = file("in.wav", c.bytes);
        const bool accepted = actions.chooseFile(path);
        EXPECT_EQ(accepted, !c.stream.empty());
        if (accepted) {
            EXPECT_EQ(readStream(dir.tmp("001.tmp")), c.stream);
            EXPECT_EQ(wavValues().size(), c.stream.size() - 1);
            EXPECT_EQ(host.calls.back(), "enable");
        } else {
            EXPECT_EQ(input(), before);
            EXPECT_EQ(host.calls,
                      (Calls{"source wav", "clear frequency", "file name in.wav", kFileError}));
        }
        // Restore the tone as the previous input for the next case.
        ASSERT_TRUE(actions.generateTone("440"));
    }
    EXPECT_FALSE(actions.chooseFile(dir.file("missing.wav")));
    EXPECT_EQ(host.calls.back(), kFileError);
}

TEST_F(InputActionsTest, TheToneIsTwentyFramesAtEightThousandSamplesPerSecond) {
    for (const char* text : {"440", "3999,9", "0,001", " 1000.5 ", "1e3"}) {
        SCOPED_TRACE(text);
        host.calls.clear();
        ASSERT_TRUE(actions.generateTone(text));
        EXPECT_EQ(readBytes(dir.tmp("001.tmp")).size(), 10244u);
        EXPECT_EQ(readStream(dir.tmp("001.tmp"))[0], 2560.0f);
        EXPECT_EQ(signal.signalLength, 2560);
        EXPECT_EQ(signal.lastFrame, 19);
        EXPECT_EQ(host.calls, (Calls{"source sine", "file name ", "scroll 19", "draw", "enable"}));
        // we.wav has the template's format: 16-bit, one channel, 8000 Hz.
        WaveFile wav;
        ASSERT_TRUE(wav.OpenForReading(dir.tmp("we.wav")));
        EXPECT_EQ(wav.SampleCount(), 2560u);
        EXPECT_EQ(wav.bitsPerSample(), 16);
        EXPECT_EQ(wav.sampleRate(), 8000u);
    }
    EXPECT_EQ(actions.source(), InputSource::Sine);
}

TEST_F(InputActionsTest, ATemplateThatCannotTakeSamplesRefusesTheToneAndKeepsTheInput) {
    ASSERT_TRUE(actions.generateTone("440"));
    const Input before = input();
    writeBytes(dir.tmp("wzorzec.wav"), bits24());
    host.calls.clear();
    EXPECT_FALSE(actions.generateTone("1000"));
    EXPECT_EQ(host.calls, (Calls{"message Błąd: Plik wzorca nie nadaje się do zapisu próbek: " +
                                 dir.tmp("wzorzec.wav")}));
    EXPECT_EQ(input(), before);
}

TEST_F(InputActionsTest, ToneValuesFollowTheFrequency) {
    ASSERT_TRUE(actions.generateTone("2000"));
    std::vector<float> v = readStream(dir.tmp("001.tmp"));
    v.erase(v.begin());
    for (int i = 0; i < 2560; ++i) {
        SCOPED_TRACE(i);
        const float expected[] = {0.0f, 1.0f, 0.0f, -1.0f};
        if (i % 2 == 1)
            ASSERT_EQ(v[i], expected[i % 4]);
        else
            ASSERT_NEAR(v[i], 0.0f, 1e-9); // sin(πi) only to within the rounding of the phase
    }

    ASSERT_TRUE(actions.generateTone("1000"));
    v = readStream(dir.tmp("001.tmp"));
    v.erase(v.begin());
    EXPECT_EQ(v[2], 1.0f);
    for (int i = 0; i + 8 < 2560; ++i)
        ASSERT_NEAR(v[i + 8], v[i], 1e-6) << i;

    ASSERT_TRUE(actions.generateTone("440"));
    v = readStream(dir.tmp("001.tmp"));
    for (int i : {0, 1, 17, 2559})
        EXPECT_NEAR(v[1 + i], std::sin(2 * M_PI * 440 * i / 8000.0), 1e-7) << i;
}

TEST_F(InputActionsTest, FrequenciesOutsideTheBandAreRefusedWithNothingChanged) {
    ASSERT_TRUE(actions.chooseFile(file("x.wav", wav8({1, 2, 3}))));
    const Input before = input();
    for (const char* text : {"0", "-5", "4000", "4000,0", "1e4", "", "abc", "440Hz", "1,2,3"}) {
        SCOPED_TRACE(text);
        host.calls.clear();
        EXPECT_FALSE(actions.generateTone(text));
        EXPECT_EQ(host.calls, Calls{kFrequencyError});
        EXPECT_EQ(input(), before);
        EXPECT_EQ(actions.source(), InputSource::WaveFile);
    }
}

TEST_F(InputActionsTest, AttenuationGainsOnAFile) {
    const auto path = file("x.wav", wav16({16000, -32768, 32767, 1}));
    const float x[] = {16000.0f / 32767.0f, -32768.0f / 32767.0f, 1.0f, 1.0f / 32767.0f};
    ASSERT_TRUE(actions.chooseFile(path));
    for (auto [text, gain] : {std::pair{"6", kGainMinus6dB},
                              {"-6", kGainPlus6dB},
                              {"0,0", 1.0f},
                              {"6,0", kGainMinus6dB}}) {
        SCOPED_TRACE(text);
        host.calls.clear();
        ASSERT_TRUE(actions.attenuate(text));
        const std::vector<float> s = readStream(dir.tmp("001.tmp"));
        ASSERT_EQ(s.size(), 5u);
        EXPECT_EQ(s[0], 4.0f);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(s[1 + i], static_cast<float>(static_cast<double>(x[i]) * gain)) << i;
        EXPECT_EQ(host.calls, (Calls{"file name x.wav", "scroll 0", "draw"}));
    }
}

TEST_F(InputActionsTest, AttenuatingTwiceScalesTheFileOnceButTheToneTwice) {
    ASSERT_TRUE(actions.chooseFile("../shared/fixtures/speech/0_george_0.wav"));
    ASSERT_TRUE(actions.attenuate("6"));
    const Input once = input();
    ASSERT_TRUE(actions.attenuate("6"));
    EXPECT_EQ(input(), once) << "a file input is scaled from the untouched file";

    ASSERT_TRUE(actions.generateTone("440"));
    const std::vector<float> tone = wavValues();
    ASSERT_TRUE(actions.attenuate("6"));
    std::vector<float> s = readStream(dir.tmp("001.tmp"));
    EXPECT_EQ(s[0], 2560.0f);
    for (int i = 0; i < 2560; ++i)
        ASSERT_EQ(s[1 + i], static_cast<float>(static_cast<double>(tone[i]) * kGainMinus6dB));
    ASSERT_TRUE(actions.attenuate("6"));
    s = readStream(dir.tmp("001.tmp"));
    for (int i = 0; i < 2560; ++i)
        ASSERT_NEAR(s[1 + i], tone[i] * kGainMinus6dB * kGainMinus6dB, 2.0 / 32767) << i;
    EXPECT_EQ(signal.signalLength, 2560);
    EXPECT_FALSE(fileExists(dir.tmp("tmp_we.wav")));
}

TEST_F(InputActionsTest, ZeroAttenuationOfAToneStillRequantisesWeWav) {
    ASSERT_TRUE(actions.generateTone("440"));
    const std::vector<float> tone = wavValues();
    ASSERT_TRUE(actions.attenuate("0,0"));
    std::vector<float> s = readStream(dir.tmp("001.tmp"));
    s.erase(s.begin());
    EXPECT_EQ(s, tone) << "001.tmp now holds we.wav's values, not the computed sine";
    const std::vector<float> after = wavValues();
    int moved = 0;
    for (int i = 0; i < 2560; ++i) {
        ASSERT_LE(std::fabs(after[i]), std::fabs(tone[i]));
        ASSERT_LE(std::fabs(after[i] - tone[i]), 2.5f / 32767) << "at most two steps";
        moved += after[i] != tone[i];
    }
    EXPECT_GT(moved, 0);
    EXPECT_FALSE(fileExists(dir.tmp("tmp_we.wav")));
}

TEST_F(InputActionsTest, AttenuationRefusals) {
    // A text that does not parse, or a gain beyond float: files unchanged, but the frame index
    // has been recomputed and the scroll bar reset, as before the text is read.
    ASSERT_TRUE(actions.chooseFile(file("x.wav", wav8(Bytes(1000, 1)))));
    signal.lastFrame = 3;
    const Bytes stream = readBytes(dir.tmp("001.tmp"));
    for (const char* text : {"", "abc", "6 dB", "-800", "1e39"}) {
        SCOPED_TRACE(text);
        host.calls.clear();
        EXPECT_FALSE(actions.attenuate(text));
        EXPECT_EQ(host.calls, (Calls{"file name x.wav", "scroll 7", kAttenuationError}));
        EXPECT_EQ(readBytes(dir.tmp("001.tmp")), stream);
    }
    EXPECT_TRUE(actions.attenuate("-770")) << "a large gain that float still holds";

    // The chosen file gone: refused before anything changes.
    std::filesystem::remove(dir.file("x.wav"));
    host.calls.clear();
    const Input before = input();
    EXPECT_FALSE(actions.attenuate("6"));
    EXPECT_EQ(host.calls, (Calls{"file name x.wav", kFileError}));
    EXPECT_EQ(input(), before);
}

TEST_F(InputActionsTest, AttenuationWithoutAnInput) {
    // At start "Plik wave" is selected and no file was chosen.
    EXPECT_FALSE(actions.attenuate("6"));
    EXPECT_EQ(host.calls, (Calls{"file name ", kFileError}));
    EXPECT_EQ(tmpFiles(), std::vector<std::string>{"wzorzec.wav"});

    // A tone, then "Plik wave" selected by hand: still no file to scale.
    ASSERT_TRUE(actions.generateTone("440"));
    actions.selectSource(InputSource::WaveFile);
    const Input tone = input();
    host.calls.clear();
    EXPECT_FALSE(actions.attenuate("6"));
    EXPECT_EQ(host.calls, (Calls{"file name ", kFileError}));
    EXPECT_EQ(input(), tone);

    // "Sinus" selected with no working files: nothing to scale either.
    std::filesystem::remove(dir.tmp("001.tmp"));
    actions.selectSource(InputSource::Sine);
    host.calls.clear();
    EXPECT_FALSE(actions.attenuate("6"));
    EXPECT_EQ(host.calls, (Calls{"message Błąd: Brak sygnału wejściowego w katalogu Tmp."}));
    EXPECT_FALSE(fileExists(dir.tmp("001.tmp")));
}

TEST_F(InputActionsTest, FailedWritesKeepThePreviousInput) {
    std::vector<std::int16_t> codes(40000, 1000);
    const auto longFile = file("long.wav", wav16(codes));
    ASSERT_TRUE(actions.chooseFile(file("short.wav", wav16({1, 2, 3}))));
    const Input before = input();
    {
        FileSizeLimit full(32 * 1024);
        host.calls.clear();
        EXPECT_FALSE(actions.chooseFile(longFile));
        EXPECT_EQ(host.calls.back(), kWriteError);
        EXPECT_EQ(input(), before);

        host.calls.clear();
        EXPECT_FALSE(actions.attenuate("6")) << "long.wav is now the chosen file";
        EXPECT_EQ(host.calls.back(), kWriteError);
        EXPECT_EQ(input(), before) << "signalLength restored with the files";
    }
    EXPECT_EQ(tmpFiles(), (std::vector<std::string>{"001.tmp", "we.wav", "wzorzec.wav"}));

    // Tmp gone: the tone cannot be written.
    std::filesystem::remove_all(dir.path() + "/Tmp");
    host.calls.clear();
    EXPECT_FALSE(actions.generateTone("440"));
    EXPECT_EQ(host.calls, Calls{kWriteError});
    EXPECT_EQ(actions.source(), InputSource::WaveFile);
    EXPECT_EQ(signal.signalLength, 3);
}
