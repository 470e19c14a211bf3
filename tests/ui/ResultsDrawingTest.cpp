// The results view's frame drawing and measure texts, from working files written by the test.
#include "ui/ResultsDrawing.h"
#include "TempDir.h"
#include "ui/CoefficientColours.h"
#include "ui/ViewGeometry.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

std::vector<float> signal(int n, float value) {
    std::vector<float> words{static_cast<float>(n)};
    words.resize(static_cast<std::size_t>(n) + 1, value);
    return words;
}

std::vector<Rgb> columnColours(const PixelCanvas& c, int x) {
    std::vector<Rgb> colours;
    for (int y = 1; y < c.height() - 1; ++y)
        if (c.pixel(x, y) != kWhite && y != view::kAxisY)
            colours.push_back(c.pixel(x, y));
    return colours;
}

// Rows of column x, border and axis left out, that hold the colour.
std::vector<int> rowsOf(const PixelCanvas& c, int x, Rgb colour) {
    std::vector<int> rows;
    for (int y = 1; y < c.height() - 1; ++y)
        if (c.pixel(x, y) == colour && y != view::kAxisY)
            rows.push_back(y);
    return rows;
}

class ResultsDrawingTest : public ::testing::Test {
protected:
    // The working files of a 1000-sample run: input 0.5 (row 35), output −0.5 (row 108),
    // quantisation error 0.25 (row 53), frame ratios 1, 10, …, the last frame silent.
    ResultsDrawingTest() {
        writeStream(dir.tmp("001.tmp"), signal(1000, 0.5f));
        writeStream(dir.tmp("002.tmp"), signal(1000, -0.5f));
        writeStream(dir.tmp("003.tmp"), signal(1000, 0.25f));
        writeStream(dir.tmp("006.tmp"), {7.0f, 1.0f, 10.0f, 100.0f, 2.0f, 1.0f, 1.0f, 1.0f, 0.0f});
        writeStream(dir.tmp("007.tmp"), {1.0f, 12.5f});
        writeStream(dir.tmp("008.tmp"), {1.0f, 1000.0f});
    }
    ResultsFrame draw(LowerTrace lower, int frame) {
        return drawResultsFrame(files, lower, frame, 0, upper, lowerSurface);
    }

    TempDir dir;
    WorkingFiles files{dir.path()};
    PixelCanvas upper{view::kWidth, view::kHeight};
    PixelCanvas lowerSurface{view::kWidth, view::kHeight};
};

} // namespace

TEST(ResultsText, RatiosInDecibels) {
    EXPECT_EQ(ratioMeasureText(0.0f), "-INF");
    EXPECT_EQ(ratioMeasureText(2.0f), "3,01029995663981");
    EXPECT_EQ(ratioMeasureText(1000.0f), "30");
    EXPECT_EQ(ratioMeasureText(std::numeric_limits<float>::max()), "385,318394191036");
}

TEST(ResultsText, LowerTraceFollowsTheBoxes) {
    EXPECT_EQ(lowerTraceFor(true, false), LowerTrace::QuantisationError);
    EXPECT_EQ(lowerTraceFor(false, true), LowerTrace::Coefficients);
    EXPECT_EQ(lowerTraceFor(true, true), LowerTrace::InputMinusOutput);
    EXPECT_EQ(lowerTraceFor(false, false), LowerTrace::None);
}

TEST_F(ResultsDrawingTest, LastPartialFrameEndsEveryTraceAtItsLastSample) {
    const ResultsFrame r = draw(LowerTrace::QuantisationError, 7);
    EXPECT_EQ(r.signalLength, 1000);
    // Samples 896 … 999 are i = 0 … 103; the last lies at x = 519, and nothing follows it.
    for (int x = 1; x < 519; ++x) {
        SCOPED_TRACE(x);
        ASSERT_EQ(rowsOf(upper, x, kBlack), std::vector<int>{35});
        ASSERT_EQ(rowsOf(upper, x, kRed), std::vector<int>{108});
        ASSERT_EQ(rowsOf(lowerSurface, x, kBlack), std::vector<int>{53});
    }
    for (int x = 519; x < 639; ++x) {
        SCOPED_TRACE(x);
        ASSERT_TRUE(columnColours(upper, x).empty());
        ASSERT_TRUE(columnColours(lowerSurface, x).empty());
    }
}

TEST_F(ResultsDrawingTest, MeasureTextsFollowTheFrame) {
    struct Case {
        int frame;
        const char* frameText;
    } cases[] = {{0, "0"}, {1, "10"}, {2, "20"}, {3, "3,01029995663981"}, {7, "-INF"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        const MeasureTexts t = draw(LowerTrace::None, c.frame).texts;
        EXPECT_EQ(t.overall, "30");
        EXPECT_EQ(t.segmental, "12,5");
        EXPECT_EQ(t.frame, c.frameText);
    }
    EXPECT_EQ(readResultsLastFrame(files), 7);
}

TEST_F(ResultsDrawingTest, CoefficientTracksStartOnTheAxisInTheirColours) {
    // K = 2: coefficient 0 is 0.5 (row 35), coefficient 1 is −0.5 (row 108).
    std::vector<float> words{2.0f};
    for (int n = 0; n < 1000; ++n) {
        words.push_back(0.5f);
        words.push_back(-0.5f);
    }
    writeStream(dir.tmp("005.tmp"), words);
    draw(LowerTrace::Coefficients, 0);

    EXPECT_EQ(rowsOf(lowerSurface, 300, kCoefficientColours[0]), std::vector<int>{35});
    EXPECT_EQ(rowsOf(lowerSurface, 300, kCoefficientColours[1]), std::vector<int>{108});
    // Each track rises or falls from (0, 72) at x = 0.
    EXPECT_EQ(lowerSurface.pixel(0, 50), kCoefficientColours[0]);
    EXPECT_EQ(lowerSurface.pixel(0, 90), kCoefficientColours[1]);

    // A header beyond the colour table draws at most eleven tracks and reads no further.
    writeStream(dir.tmp("005.tmp"), {50.0f, 0.1f, 0.2f});
    draw(LowerTrace::Coefficients, 0);
}

TEST_F(ResultsDrawingTest, BothBoxesDrawInputMinusOutputNotTheStoredError) {
    writeStream(dir.tmp("002.tmp"), signal(1000, 0.25f));
    writeStream(dir.tmp("003.tmp"), signal(1000, 0.9f));
    draw(LowerTrace::InputMinusOutput, 2);
    EXPECT_EQ(rowsOf(lowerSurface, 300, kBlack), std::vector<int>{view::valueY(0.25f)});
}

TEST_F(ResultsDrawingTest, MissingFilesSkipTheirTracesAndTexts) {
    for (const char* name : {"002.tmp", "003.tmp", "006.tmp", "007.tmp", "008.tmp"})
        std::remove(dir.tmp(name).c_str());
    for (LowerTrace lower :
         {LowerTrace::QuantisationError, LowerTrace::Coefficients, LowerTrace::InputMinusOutput}) {
        const ResultsFrame r = draw(lower, 0);
        EXPECT_EQ(r.texts.overall, "");
        EXPECT_EQ(r.texts.segmental, "");
        EXPECT_EQ(r.texts.frame, "");
        EXPECT_EQ(rowsOf(upper, 300, kBlack), std::vector<int>{35});
        EXPECT_TRUE(rowsOf(upper, 300, kRed).empty());
        EXPECT_TRUE(columnColours(lowerSurface, 300).empty());
        EXPECT_EQ(lowerSurface.pixel(300, view::kAxisY), kBlack);
    }
    EXPECT_FALSE(readResultsLastFrame(files).has_value());

    // Without 001.tmp the signal length comes from the caller.
    std::remove(dir.tmp("001.tmp").c_str());
    writeStream(dir.tmp("002.tmp"), signal(1000, -0.5f));
    const ResultsFrame r = drawResultsFrame(files, LowerTrace::None, 0, 64, upper, lowerSurface);
    EXPECT_FALSE(r.signalLength.has_value());
    EXPECT_EQ(rowsOf(upper, view::frameX(62), kRed), std::vector<int>{108});
    EXPECT_TRUE(columnColours(upper, view::frameX(63) + 1).empty());
}
