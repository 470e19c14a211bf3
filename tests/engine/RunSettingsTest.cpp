#include "engine/RunSettings.h"

#include <gtest/gtest.h>

namespace {

enum class Run { Pcm, Prediction, Adpcm };

// The refusal text of a run for the given settings; empty when they are accepted.
std::string refusalOf(Run run, const RunSettings& s) {
    switch (run) {
    case Run::Pcm:
        return checkPcmSettings(s).refusal;
    case Run::Prediction:
        return checkPredictionSettings(s).refusal;
    case Run::Adpcm:
        return checkAdpcmSettings(s).refusal;
    }
    return "?";
}

// Valid settings of every field; each case spoils some of them.
RunSettings valid() {
    RunSettings s;
    s.levelsText = "16";
    s.quantiserItem = 0; // "ROW"
    s.rangeText = "1,0";
    s.codebookCode = 1;
    s.coefficientsText = "4";
    s.predictorItem = 0; // "SG"
    s.parameterText = "0,01";
    return s;
}

struct Case {
    const char* name;
    Run run;
    std::string levels, range, coefficients, parameter;
    int quantiserItem;
    std::string expected; // empty: accepted
};

const std::string kLevels = refusal::levels;
const std::string kRange = refusal::range;
const std::string kLizcba = "Niepoprawna wartość 'Lizcba współczynników predykcji'.";
const std::string kOrder = "Niepoprawna wartość 'Rząd predyktora'";
const std::string kPredParam = "Niepoprawna wartość 'Parametr predykcji'";
const std::string kAdpcmCoef = "Niepoprawna wartość 'Liczba współczynników predykcji'.";
const std::string kAdpcmParam = "Niepoprawna wartość 'Parametr predykcji'.";

constexpr int ROW = 0, ADAP = 1, LOG = 2, LLOYD = 3, NONE = -1;

} // namespace

TEST(RunSettings, EachRunRefusesInItsOwnOrderWithItsOwnWords) {
    const Case cases[] = {
        // The levels text is the first thing PCM looks at, whatever else is wrong.
        {"pcm empty levels", Run::Pcm, "", "x", "x", "x", ROW, kLevels},
        {"pcm levels with a fraction", Run::Pcm, "16,0", "1,0", "", "", ROW, kLevels},
        // PCM tests the range before the kind; ADPCM the kind first.
        {"pcm ROW 300 range 2", Run::Pcm, "300", "2", "", "", ROW, kRange},
        {"adpcm ROW 300 range 2", Run::Adpcm, "300", "2", "4", "0,1", ROW, kLevels},
        // ADPCM tests the range before the range of K, but parses K before the range.
        {"adpcm K 0 range 0", Run::Adpcm, "16", "0", "0", "0,1", ADAP, kRange},
        {"adpcm K x range 0", Run::Adpcm, "16", "0", "x", "0,1", ADAP, kAdpcmCoef},
        {"adpcm K 12", Run::Adpcm, "16", "1,0", "12", "0,1", ADAP, kAdpcmCoef},
        {"adpcm parameter x", Run::Adpcm, "16", "1,0", "11", "x", ADAP, kAdpcmParam},
        {"prediction K 12", Run::Prediction, "", "", "12", "0,1", ROW, kOrder},
        {"prediction K 0", Run::Prediction, "", "", "0", "0,1", ROW, kOrder},
        {"prediction K x", Run::Prediction, "", "", "x", "0,1", ROW, kLizcba},
        {"prediction parameter empty", Run::Prediction, "", "", "11", "", ROW, kPredParam},
        // The prediction run reads no quantiser field.
        {"prediction ignores quantiser", Run::Prediction, "x", "x", "1", "-2", ROW, ""},
        // Levels per kind.
        {"ROW 256", Run::Pcm, "256", "1,0", "", "", ROW, ""},
        {"ROW 257", Run::Pcm, "257", "1,0", "", "", ROW, kLevels},
        {"ROW 1", Run::Pcm, "1", "1,0", "", "", ROW, kLevels},
        {"ADAP 16", Run::Pcm, "16", "1,0", "", "", ADAP, ""},
        {"ADAP 32", Run::Pcm, "32", "1,0", "", "", ADAP, kLevels},
        {"ADAP 5", Run::Adpcm, "5", "1,0", "1", "0", ADAP, kLevels},
        {"LOG 1000", Run::Pcm, "1000", "1,0", "", "", LOG, ""},
        {"LLOYD 1000", Run::Adpcm, "1000", "1,0", "1", "0", LLOYD, ""},
        {"LOG 1", Run::Pcm, "1", "1,0", "", "", LOG, kLevels},
        {"LLOYD 0", Run::Adpcm, "0", "1,0", "1", "0", LLOYD, kLevels},
        {"LOG 65536", Run::Pcm, "65536", "1,0", "", "", LOG, ""},
        {"LLOYD 65537", Run::Pcm, "65537", "1,0", "", "", LLOYD, kLevels},
        {"no kind, 1 level", Run::Pcm, "1", "1,0", "", "", NONE, ""},
        // The working range, for every kind (LLOYD hides the field but its text still counts).
        {"range 1,0", Run::Pcm, "16", "1,0", "", "", ROW, ""},
        {"range 1.0 with a point", Run::Pcm, "16", " 1.0 ", "", "", ROW, ""},
        {"range 1,01", Run::Pcm, "16", "1,01", "", "", ROW, kRange},
        {"range 0", Run::Pcm, "16", "0", "", "", ROW, kRange},
        {"range negative", Run::Pcm, "16", "-0,5", "", "", ROW, kRange},
        {"range bad text for LLOYD", Run::Pcm, "16", "abc", "", "", LLOYD, kRange},
        // Any parameter value is accepted.
        {"parameter zero", Run::Adpcm, "4", "0,5", "1", "0", ADAP, ""},
        {"parameter negative", Run::Prediction, "", "", "3", "-1e3", ROW, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunSettings s = valid();
        s.levelsText = c.levels;
        s.rangeText = c.range;
        s.coefficientsText = c.coefficients;
        s.parameterText = c.parameter;
        s.quantiserItem = c.quantiserItem;
        EXPECT_EQ(refusalOf(c.run, s), c.expected);
    }
}

TEST(RunSettings, AcceptedTextsBecomeTheConstructionArguments) {
    RunSettings s = valid();
    s.levelsText = " 8 ";
    s.quantiserItem = LOG;
    s.rangeText = "0,5";
    s.codebookCode = 3;
    s.coefficientsText = "+11";
    s.predictorItem = 2;
    s.parameterText = "0,99";
    const auto adpcm = checkAdpcmSettings(s);
    ASSERT_TRUE(adpcm.value);
    EXPECT_EQ(adpcm.value->quantiser.kind, "LOG");
    EXPECT_EQ(adpcm.value->quantiser.levels, 8);
    EXPECT_EQ(adpcm.value->quantiser.range, 0.5f);
    EXPECT_EQ(adpcm.value->quantiser.codebook, 3);
    EXPECT_EQ(adpcm.value->predictor.algorithm, "NSK");
    EXPECT_EQ(adpcm.value->predictor.coefficients, 11);
    EXPECT_EQ(adpcm.value->predictor.parameter, 0.99f);
}

TEST(RunSettings, TreeItemsMapToCodesAndNoSelectionToAnEmptyCode) {
    const std::pair<int, const char*> kinds[] = {{0, "ROW"},   {1, "ADAP"}, {2, "LOG"},
                                                 {3, "LLOYD"}, {-1, ""},    {4, ""}};
    for (const auto& [item, code] : kinds)
        EXPECT_EQ(quantiserKind(item), code) << item;
    const std::pair<int, const char*> algorithms[] = {
        {0, "SG"}, {1, "SGN"}, {2, "NSK"}, {-1, ""}, {3, ""}};
    for (const auto& [item, code] : algorithms)
        EXPECT_EQ(predictorAlgorithm(item), code) << item;
}
