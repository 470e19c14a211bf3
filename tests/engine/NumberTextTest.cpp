#include "engine/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(NumberText, IntegersFollowTheGrammarAndFit32Bits) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"4", 4},
        {"  16 ", 16},
        {"+7", 7},
        {"-3", -3},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", {}},
        {"", {}},
        {" ", {}},
        {"1,0", {}},
        {"4a", {}},
        {"+", {}},
        {"- 3", {}},
        {"\t4", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseInteger(c.text), c.value);
    }
}

TEST(NumberText, DecimalsTakeCommaOrPointAndRoundThroughDouble) {
    struct Case {
        const char* text;
        std::optional<float> value;
    } cases[] = {
        {"1,0", 1.0f},       {"0,5", 0.5f},     {" 3999,9 ", 3999.9f}, {"0.001", 0.001f},
        {"-6", -6.0f},       {"+2,5e1", 25.0f}, {"1E-3", 0.001f},      {"1e-400", 0.0f},
        {"3,4e38", 3.4e38f}, {"1e39", {}},      {"1e400", {}},         {"", {}},
        {"1,", {}},          {",5", {}},        {"1,0,0", {}},         {"1e", {}},
        {"abc", {}},         {"nan", {}},       {"inf", {}},           {"0x10", {}},
        {"1 0", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseDecimal(c.text), c.value);
    }
}

TEST(NumberText, MeasuresAndMultipliersInGeneralFormWithComma) {
    EXPECT_EQ(formatMeasure(10 * std::log10(2.0)), "3,01029995663981");
    EXPECT_EQ(formatMeasure(std::numeric_limits<float>::min()), "1,17549435082229E-38");
    EXPECT_EQ(formatMeasure(-std::numeric_limits<double>::infinity()), "-INF");
    EXPECT_EQ(formatMeasure(0.0), "0");
    EXPECT_EQ(formatMeasure(1e20), "1E+20");
    EXPECT_EQ(formatMultiplier(1.6f), "1,6");
    EXPECT_EQ(formatMultiplier(2.0f), "2");
    EXPECT_EQ(formatMultiplier(1.75f), "1,75");
}
