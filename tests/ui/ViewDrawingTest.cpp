// The Qt-free side of the drawing surfaces: the pixel mapping, the canvas's lines, and the input
// view drawn from a sample stream.
#include "TempDir.h"
#include "ui/InputViewDrawing.h"
#include "ui/PixelCanvas.h"
#include "ui/ViewGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

PixelCanvas surface() {
    return PixelCanvas(view::kWidth, view::kHeight);
}

// Rows of column x that are not white.
std::vector<int> inkRows(const PixelCanvas& c, int x) {
    std::vector<int> rows;
    for (int y = 0; y < c.height(); ++y)
        if (c.pixel(x, y) != kWhite)
            rows.push_back(y);
    return rows;
}

const std::vector<int> kBorderAndAxis{0, view::kAxisY, view::kHeight - 1};

// A stream holding the header n and the given values.
std::vector<float> stream(float header, const std::vector<float>& values) {
    std::vector<float> words{header};
    words.insert(words.end(), values.begin(), values.end());
    return words;
}

} // namespace

TEST(ViewGeometry, SampleColumnsSpanTheWidth) {
    struct Case {
        int i, x;
    } cases[] = {{0, 0}, {1, 5}, {2, 10}, {103, 519}, {104, 524}, {126, 634}, {127, 640}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.i);
        EXPECT_EQ(view::frameX(c.i), c.x);
    }
}

TEST(ViewGeometry, ValueRowsTruncateTowardZero) {
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float v;
        int y;
    } cases[] = {
        {0.0f, 72},
        {1.0f, 0},
        {-1.0f, 144}, // −0.5 and 144.5 cut toward zero
        {0.5f, 35},
        {-0.5f, 108},
        {1.007f, -1}, // 35.75, 108.25, −1.0075
        {0.01f, 71},
        {-0.01f, 72}, // 71.275, 72.725
        {1e30f, -1'000'000},
        {-inf, 1'000'000},                             // held far outside the surface
        {std::numeric_limits<float>::quiet_NaN(), 72}, // drawn on the axis
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.v);
        EXPECT_EQ(view::valueY(c.v), c.y);
    }
}

TEST(ViewGeometry, PhraseColumnsAndLengths) {
    EXPECT_EQ(view::phraseX(1, 640.0 / 320), 2);
    EXPECT_EQ(view::phraseX(320, 640.0 / 320), 640);
    EXPECT_EQ(view::phraseX(3, 640.0 / 2560), 0);
    EXPECT_EQ(view::phraseX(4, 640.0 / 2560), 1);
    EXPECT_EQ(view::phraseX(2560, 640.0 / 2560), 640);
    EXPECT_EQ(view::phraseX(999, 640.0 / 1000), 639); // 639.36

    EXPECT_EQ(view::lengthFromHeader(2560.0f), 2560);
    EXPECT_EQ(view::lengthFromHeader(2.9f), 2);
    EXPECT_EQ(view::lengthFromHeader(-1.5f), -1);
    EXPECT_EQ(view::lengthFromHeader(std::nanf("")), 0);
    EXPECT_EQ(view::lengthFromHeader(1e20f), std::numeric_limits<int>::max());
}

TEST(PixelCanvas, FrameRectLeavesAOnePixelBorder) {
    PixelCanvas c = surface();
    c.setPen(kRed);
    c.frameRect();
    EXPECT_EQ(c.pixel(0, 0), kRed);
    EXPECT_EQ(c.pixel(639, 144), kRed);
    EXPECT_EQ(c.pixel(320, 144), kRed);
    EXPECT_EQ(c.pixel(639, 72), kRed);
    EXPECT_EQ(c.pixel(1, 1), kWhite);
    EXPECT_EQ(c.pixel(638, 143), kWhite);
}

TEST(PixelCanvas, LinesCoverTheirStartButNotTheirEnd) {
    PixelCanvas c = surface();
    c.moveTo(10, 20);
    c.lineTo(15, 20);
    c.lineTo(15, 23);
    EXPECT_EQ(c.pixel(10, 20), kBlack);
    EXPECT_EQ(c.pixel(14, 20), kBlack);
    EXPECT_EQ(c.pixel(15, 20), kBlack); // start of the second line
    EXPECT_EQ(c.pixel(15, 22), kBlack);
    EXPECT_EQ(c.pixel(15, 23), kWhite); // end of the polyline
    EXPECT_EQ(c.pixel(9, 20), kWhite);

    // A diagonal steps one pixel in each direction.
    c.moveTo(100, 100);
    c.lineTo(104, 96);
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(c.pixel(100 + t, 100 - t), kBlack);
    EXPECT_EQ(c.pixel(104, 96), kWhite);
}

TEST(PixelCanvas, LinesFromFarOutsideAreClippedToTheSurface) {
    PixelCanvas c = surface();
    c.moveTo(3, -1'000'000);
    c.lineTo(3, 50);
    EXPECT_EQ(inkRows(c, 3).size(), 50u); // rows 0 … 49
    EXPECT_EQ(c.pixel(3, 50), kWhite);

    c.moveTo(-5000, 140);
    c.setPen(kRed);
    c.lineTo(5000, 140);
    EXPECT_EQ(c.pixel(0, 140), kRed);
    EXPECT_EQ(c.pixel(639, 140), kRed);

    // Entirely outside: nothing drawn, the pen moves.
    PixelCanvas d = surface();
    d.moveTo(-10, -10);
    d.lineTo(700, -10);
    d.lineTo(700, 200);
    for (int x = 0; x < d.width(); ++x)
        EXPECT_TRUE(inkRows(d, x).empty());
}

class InputViewTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string input = dir.tmp("001.tmp");
};

TEST_F(InputViewTest, MissingOrHeaderlessStreamShowsBorderAndAxisOnly) {
    for (bool partialHeader : {false, true}) {
        SCOPED_TRACE(partialHeader);
        if (partialHeader)
            writeBytes(input, {0x00, 0x20});
        for (InputViewMode mode : {InputViewMode::Frame, InputViewMode::Phrase}) {
            PixelCanvas c = surface();
            EXPECT_FALSE(drawInputView(input, mode, 0, c).has_value());
            for (int x : {1, 100, 638})
                EXPECT_EQ(inkRows(c, x), kBorderAndAxis);
        }
    }
}

TEST_F(InputViewTest, LastPartialFrameFallsToTheAxisAfterItsLastSample) {
    // 1000 samples: frame 7 holds samples 896 … 999 (i = 0 … 103) at 0.5 (row 35); the other
    // frames hold −0.5 (row 108), which frame 7 must not show.
    std::vector<float> values(1000, -0.5f);
    for (int n = 896; n < 1000; ++n)
        values[static_cast<std::size_t>(n)] = 0.5f;
    writeStream(input, stream(1000.0f, values));

    PixelCanvas c = surface();
    EXPECT_EQ(drawInputView(input, InputViewMode::Frame, 7, c), 1000);
    for (int x = 1; x < 519; ++x) {
        SCOPED_TRACE(x);
        ASSERT_EQ(inkRows(c, x), (std::vector<int>{0, 35, 72, 144}));
    }
    // From sample 103 at x = 519 the trace falls to the axis by x = 524 and runs along it.
    EXPECT_EQ(c.pixel(519, 35), kBlack);
    EXPECT_EQ(c.pixel(520, 35), kWhite);
    for (int x = 525; x < 639; ++x) {
        SCOPED_TRACE(x);
        ASSERT_EQ(inkRows(c, x), kBorderAndAxis);
    }
}

TEST_F(InputViewTest, FrameReadsExactlyItsOwnValues) {
    // Sample n of 384 rises as n / 384, so frame p spans the values p / 3 … (p + 1) / 3 and its
    // trace lies about 24 rows above the previous frame's.
    std::vector<float> values;
    for (int n = 0; n < 384; ++n)
        values.push_back(static_cast<float>(n) / 384.0f);
    writeStream(input, stream(384.0f, values));
    const auto value = [&values](int n) { return values[static_cast<std::size_t>(n)]; };
    for (int p = 0; p < 3; ++p) {
        SCOPED_TRACE(p);
        PixelCanvas c = surface();
        drawInputView(input, InputViewMode::Frame, p, c);
        for (int i = 1; i < 127; ++i) {
            SCOPED_TRACE(i);
            const int x = view::frameX(i);
            ASSERT_EQ(c.pixel(x, view::valueY(value(128 * p + i))), kBlack);
            if (p > 0) {
                ASSERT_EQ(c.pixel(x, view::valueY(value(128 * (p - 1) + i))), kWhite);
            }
        }
    }
}

TEST_F(InputViewTest, WholePhraseOf320SamplesPlacesSampleKAtColumn2K) {
    // Zero everywhere but single full-scale peaks: a peak's top pixel (row 0) is drawn only in its
    // own column 2k, since the line up to it ends there and the line down starts there.
    std::vector<float> values(320, 0.0f);
    const int peaks[] = {1, 2 + 3, 100, 250, 319};
    for (int k : peaks)
        values[static_cast<std::size_t>(k - 1)] = 1.0f;
    writeStream(input, stream(320.0f, values));

    PixelCanvas c = surface();
    EXPECT_EQ(drawInputView(input, InputViewMode::Phrase, 5, c), 320);
    for (int x = 1; x < 639; ++x) {
        SCOPED_TRACE(x);
        const bool peak = x % 2 == 0 && values[static_cast<std::size_t>(x / 2 - 1)] == 1.0f;
        EXPECT_EQ(c.pixel(x, 0), kBlack) << "border";
        EXPECT_EQ(c.pixel(x, 1) == kBlack, peak);
    }
}

TEST_F(InputViewTest, WholePhraseDrawsEveryValuePresentWhateverTheHeader) {
    // Header 0: no trace at all. Header 2 with four values: s = 320 and the values 3 and 4 lie
    // at x = 960 and 1280, off the surface, yet they are read and the trace heads there.
    writeStream(input, stream(0.0f, {0.5f, 0.5f}));
    PixelCanvas empty = surface();
    EXPECT_EQ(drawInputView(input, InputViewMode::Phrase, 0, empty), 0);
    for (int x : {1, 160, 320, 638})
        EXPECT_EQ(inkRows(empty, x), kBorderAndAxis);

    writeStream(input, stream(2.0f, {0.5f, 0.5f, 0.5f, 0.5f}));
    PixelCanvas c = surface();
    EXPECT_EQ(drawInputView(input, InputViewMode::Phrase, 0, c), 2);
    EXPECT_EQ(c.pixel(400, 35), kBlack);
    EXPECT_EQ(c.pixel(638, 35), kBlack);
}
