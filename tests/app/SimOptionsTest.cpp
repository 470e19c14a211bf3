#include "app/SimOptions.h"

#include <gtest/gtest.h>

using Status = SimParseResult::Status;
using Kind = SimInputAction::Kind;

namespace {

SimParseResult parse(std::vector<std::string> args) {
    return parseSimOptions(args);
}

} // namespace

TEST(SimOptions, DefaultsAreTheWindowsAfterStartUp) {
    const SimParseResult r = parse({});
    ASSERT_EQ(r.status, Status::Ok);
    const SimOptions& o = r.options;
    EXPECT_EQ(o.dir, "");
    EXPECT_TRUE(o.inputActions.empty());
    EXPECT_TRUE(o.multiplierEdits.empty());
    EXPECT_FALSE(o.mode);
    EXPECT_EQ(o.law, "ROW");
    EXPECT_EQ(o.levels, "");
    EXPECT_EQ(o.range, "1,0");
    EXPECT_EQ(o.codebook, Codebook::Random);
    EXPECT_EQ(o.algorithm, "SG");
    EXPECT_EQ(o.coefficients, "");
    EXPECT_EQ(o.parameter, "");
    EXPECT_FALSE(o.json);
}

TEST(SimOptions, InputActionsKeepTheirOrderAndTextsAsTyped) {
    const SimParseResult r =
        parse({"--sine", "440", "--attenuate", "6,0", "--source", "wav", "--wav", "a b.wav",
               "--attenuate=-3", "--source=sine", "--sine", " 1e3 "});
    ASSERT_EQ(r.status, Status::Ok) << r.error;
    const auto& a = r.options.inputActions;
    ASSERT_EQ(a.size(), 7u);
    const std::pair<Kind, std::string> expected[] = {
        {Kind::Sine, "440"},    {Kind::Attenuate, "6,0"}, {Kind::Source, "wav"},
        {Kind::Wav, "a b.wav"}, {Kind::Attenuate, "-3"},  {Kind::Source, "sine"},
        {Kind::Sine, " 1e3 "}};
    for (std::size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(a[i].kind, expected[i].first);
        EXPECT_EQ(a[i].text, expected[i].second);
    }
    EXPECT_EQ(a[2].source, InputSource::WaveFile);
    EXPECT_EQ(a[5].source, InputSource::Sine);
}

TEST(SimOptions, RunSettingsAndTheirDefaultsPerMode) {
    const SimParseResult r = parse({"--dir",           "/d",
                                    "--mode",          "adpcm",
                                    "--levels",        "8",
                                    "--range",         "0,5",
                                    "--codebook",      "uniform",
                                    "--algorithm",     "NSK",
                                    "--coefficients",  "11",
                                    "--parameter",     "0,99",
                                    "--multipliers4",  "1,6 0,8  0,8 1,6",
                                    "--multipliers16", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16",
                                    "--json"});
    ASSERT_EQ(r.status, Status::Ok) << r.error;
    const SimOptions& o = r.options;
    EXPECT_EQ(o.dir, "/d");
    EXPECT_EQ(o.mode, SimMode::Adpcm);
    EXPECT_EQ(o.law, "ADAP") << "adpcm starts with the adaptive quantiser";
    EXPECT_EQ(o.levels, "8");
    EXPECT_EQ(o.range, "0,5");
    EXPECT_EQ(o.codebook, Codebook::Uniform);
    EXPECT_EQ(o.algorithm, "NSK");
    EXPECT_EQ(o.coefficients, "11");
    EXPECT_EQ(o.parameter, "0,99");
    EXPECT_TRUE(o.json);
    ASSERT_EQ(o.multiplierEdits.size(), 2u);
    EXPECT_EQ(o.multiplierEdits[0].levels, 4);
    EXPECT_EQ(o.multiplierEdits[0].texts, (std::vector<std::string>{"1,6", "0,8", "0,8", "1,6"}));
    EXPECT_EQ(o.multiplierEdits[1].levels, 16);

    struct Case {
        std::vector<std::string> args;
        SimMode mode;
        std::string law;
        Codebook codebook;
    };
    const Case cases[] = {
        {{"--mode", "pcm"}, SimMode::Pcm, "ROW", Codebook::Random},
        {{"--mode", "prediction"}, SimMode::Prediction, "ROW", Codebook::Random},
        {{"--mode", "adpcm", "--law", "LOG"}, SimMode::Adpcm, "LOG", Codebook::Random},
        {{"--law", "LLOYD", "--mode", "pcm", "--codebook", "log"},
         SimMode::Pcm,
         "LLOYD",
         Codebook::Logarithmic},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[1]);
        const SimParseResult p = parse(c.args);
        ASSERT_EQ(p.status, Status::Ok) << p.error;
        EXPECT_EQ(p.options.mode, c.mode);
        EXPECT_EQ(p.options.law, c.law);
        EXPECT_EQ(p.options.codebook, c.codebook);
    }
}

TEST(SimOptions, BadUsageIsAnError) {
    const std::vector<std::string> cases[] = {
        {"--bogus"},
        {"input.wav"},
        {"--wav"},
        {"--sine", "440", "--attenuate"},
        {"--mode", "both"},
        {"--mode", "pcm", "--mode", "adpcm"},
        {"--law", "row"},
        {"--source", "file"},
        {"--codebook", "Losowanie"},
        {"--algorithm", "RLS"},
        {"--multipliers4", "1 2 3"},
        {"--multipliers8", "1 2 3 4 5 6 7 8 9"},
        {"--multipliers5", "1 2 3 4 5"},
        {"--json", "--json"},
        {"--levels", "4", "--levels", "8"},
        {"--dir", "a", "--dir", "b"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args[0] + (args.size() > 1 ? " " + args[1] : ""));
        const SimParseResult r = parse(args);
        EXPECT_EQ(r.status, Status::UsageError);
        EXPECT_FALSE(r.error.empty());
    }
    EXPECT_EQ(parse({"--sine", "440", "--help"}).status, Status::Help);
}
