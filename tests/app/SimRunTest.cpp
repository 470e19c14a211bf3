// modulacje-sim running simulations end to end: the measures it prints, its exit statuses, the
// multiplier edits, and what it leaves in Tmp.

#include "SimProcess.h"
#include "TempDir.h"
#include "engine/Measures.h"
#include "engine/NumberText.h"
#include "engine/WorkingFiles.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

class SimRunTest : public ::testing::Test {
protected:
    SimRunTest() {
        std::filesystem::copy_file("data/Tmp/wzorzec.wav", dir.tmp("wzorzec.wav"));
        speech = std::filesystem::absolute("../shared/fixtures/speech/5_lucas_7.wav").string();
    }

    // The program with `--dir` and `args`.
    SimOutcome sim(const std::vector<std::string>& args) {
        std::vector<std::string> all = {"--dir", dir.path()};
        all.insert(all.end(), args.begin(), args.end());
        return runSim(all, scratch.path());
    }

    // An input no input action could make: the samples as they are, we.wav the 8 kHz template.
    void handMadeInput(const std::vector<float>& samples) {
        std::vector<float> words{float(samples.size())};
        words.insert(words.end(), samples.begin(), samples.end());
        writeStream(dir.tmp("001.tmp"), words);
        std::filesystem::copy_file(dir.tmp("wzorzec.wav"), dir.tmp("we.wav"),
                                   std::filesystem::copy_options::overwrite_existing);
    }

    // The three lines the results page would show for frame 0, from the files in Tmp.
    std::string shownMeasures(const std::string& measure) const {
        const auto stored = readStoredMeasures(WorkingFiles(dir.path()));
        EXPECT_TRUE(stored);
        if (!stored)
            return "";
        return measure + "\t" + ratioMeasureText(stored->overallRatio) + "\n" + measure + "_SEG\t" +
               formatMeasure(stored->segmentalDb) + "\n" + measure + " bieżącej ramki\t" +
               ratioMeasureText(stored->frameRatios.front()) + "\n";
    }

    TempDir dir;
    TempDir scratch{false};
    std::string speech;
};

} // namespace

TEST_F(SimRunTest, EachModePrintsItsMeasuresAndWritesWyWav) {
    struct Case {
        std::vector<std::string> args;
        std::string measure;
        const char* outputOnly; // a working file only this mode writes
    };
    const Case cases[] = {
        {{"--mode", "pcm", "--law", "LOG", "--levels", "16"}, "SNR", "003.tmp"},
        {{"--mode", "prediction", "--algorithm", "SGN", "--coefficients", "11", "--parameter",
          "0,01"},
         "GP",
         "004.tmp"},
        {{"--mode", "adpcm", "--levels", "16", "--coefficients", "11", "--parameter", "0,01"},
         "SNR",
         "004.tmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[1]);
        std::filesystem::remove_all(dir.tmp(""));
        std::filesystem::create_directory(dir.tmp(""));
        std::filesystem::copy_file("data/Tmp/wzorzec.wav", dir.tmp("wzorzec.wav"));
        std::vector<std::string> args = {"--wav", speech};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const SimOutcome o = sim(args);
        ASSERT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(o.err, "");
        EXPECT_EQ(o.out, shownMeasures(c.measure));
        EXPECT_NE(o.out.find(','), std::string::npos) << "decimal comma";
        EXPECT_TRUE(fileExists(dir.tmp(c.outputOnly)));
        // wy.wav has we.wav's format and length: the same size for a 16-bit mono file.
        EXPECT_EQ(readBytes(dir.tmp("wy.wav")).size(), readBytes(dir.tmp("we.wav")).size());
    }
}

// Expected texts computed apart: 10·log10(3.4028234663852886e38) = 385.31839419103625.
TEST_F(SimRunTest, SilenceShowsMinusInfinityAndTheEmptyValues) {
    handMadeInput(std::vector<float>(300, 0.0f));
    const SimOutcome text = sim({"--mode", "pcm", "--levels", "3"});
    ASSERT_EQ(text.status, 0);
    EXPECT_EQ(text.out, "SNR\t385,318394191036\n"
                        "SNR_SEG\t1,17549435082229E-38\n"
                        "SNR bieżącej ramki\t-INF\n");
    const SimOutcome json = sim({"--mode", "pcm", "--levels", "3", "--json"});
    ASSERT_EQ(json.status, 0);
    EXPECT_EQ(json.out, "{\"measure\": \"SNR\", \"overall_db\": 385.31839419103625, "
                        "\"segmental_db\": 1.1754943508222875e-38, "
                        "\"frame_db\": [null, null, null]}\n");
}

TEST_F(SimRunTest, RefusalsAndStopsExitWithStatusOne) {
    handMadeInput({0.5f, 1e30f, 0.5f});
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {{"--mode", "pcm"}, "Błąd: Niepoprawna wartość 'Liczba poziomów kwantyzacji'.\n"},
        {{"--mode", "prediction", "--coefficients", "x", "--parameter", "1"},
         "Błąd: Niepoprawna wartość 'Lizcba współczynników predykcji'.\n"},
        {{"--mode", "adpcm", "--levels", "5", "--coefficients", "1", "--parameter", "0"},
         "Błąd: Niepoprawna wartość 'Liczba poziomów kwantyzacji'.\n"},
        {{"--mode", "pcm", "--levels", "3"}, "Przekroczono zakres: Sprawdź ustawienia układu.\n"},
        {{"--mode", "prediction", "--algorithm", "NSK", "--coefficients", "2", "--parameter", "0"},
         "Błąd: Dzielenie przez zero w algorytmie NSK. Sprawdź współczynnik zapominania.\n"},
        {{"--multipliers4", "1 2 x 4", "--mode", "pcm", "--levels", "3"},
         "Błąd: Niepoprawny format liczby\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        const SimOutcome o = sim(c.args);
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(o.err, c.err);
        EXPECT_FALSE(fileExists(dir.tmp("wy.wav")));
    }
}

TEST_F(SimRunTest, APredictorOverflowIsReportedButTheRunSucceeds) {
    handMadeInput({1.0f, 2.0f, 2.0f, 2.0f});
    const SimOutcome o =
        sim({"--mode", "prediction", "--coefficients", "1", "--parameter", "1,5e38"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.err, "Przekroczono zakres: Sprawdź ustawienia układu.\n");
    EXPECT_EQ(o.out, shownMeasures("GP"));
    EXPECT_TRUE(fileExists(dir.tmp("wy.wav")));
}

TEST_F(SimRunTest, MultiplierEditsReachTheAdaptiveQuantiser) {
    ASSERT_EQ(sim({"--wav", speech}).status, 0);
    const std::vector<std::string> adaptive = {"--mode", "pcm", "--law", "ADAP", "--levels", "4"};
    const auto outputWith = [&](std::vector<std::string> edits) {
        edits.insert(edits.end(), adaptive.begin(), adaptive.end());
        EXPECT_EQ(sim(edits).status, 0);
        return readBytes(dir.tmp("002.tmp"));
    };
    const auto defaults = outputWith({});
    EXPECT_EQ(outputWith({"--multipliers4", "1,6 0,8 0,8 1,6"}), defaults);
    EXPECT_NE(outputWith({"--multipliers4", "2 0,5 0,5 2"}), defaults);
    // Edits of the other rows do not touch the 4-level row.
    EXPECT_EQ(outputWith({"--multipliers8", "1 1 1 1 1 1 1 1"}), defaults);
}
