#include "ui/ResultsDrawing.h"

#include "engine/NumberText.h"
#include "engine/SampleStream.h"
#include "ui/CoefficientColours.h"
#include "ui/InputViewDrawing.h"
#include "ui/ViewGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

LowerTrace lowerTraceFor(bool quantiser, bool predictor) {
    if (quantiser && predictor)
        return LowerTrace::InputMinusOutput;
    if (quantiser)
        return LowerTrace::QuantisationError;
    if (predictor)
        return LowerTrace::Coefficients;
    return LowerTrace::None;
}

std::optional<int> readResultsLastFrame(const WorkingFiles& files) {
    float header = 0.0f;
    if (!StreamReader::readHeader(files.path(workfile::frameRatios), header))
        return std::nullopt;
    return view::lengthFromHeader(header);
}

namespace {

// Word `word` of an open stream; nothing when it lies past the end (or the file is not open).
std::optional<float> wordAt(StreamReader& stream, std::uint64_t word) {
    float value = 0.0f;
    if (!stream.isOpen() || !stream.seekWord(word) || !stream.read(value))
        return std::nullopt;
    return value;
}

// The samples of one frame, the way every trace walks them.
struct FrameWalk {
    std::int64_t first; // sample number of i = 0
    int count;          // samples of the frame that exist (0 … 128)
};

FrameWalk frameWalk(int frame, int signalLength) {
    const std::int64_t first = std::int64_t{kFrameLength} * std::max(frame, 0);
    const std::int64_t left = std::int64_t{signalLength} - first;
    return {first, static_cast<int>(std::clamp<std::int64_t>(left, 0, kFrameLength))};
}

// A trace of value(n) over the existing samples of the frame, from the axis start.
template <class Value>
void drawTrace(PixelCanvas& canvas, Rgb colour, const FrameWalk& walk, Value value) {
    canvas.setPen(colour);
    canvas.moveTo(0, view::kAxisY);
    for (int i = 0; i < walk.count; ++i) {
        const std::optional<long double> v = value(walk.first + i);
        if (!v)
            break; // the file ends early: the trace ends there
        canvas.lineTo(view::frameX(i), view::valueY(*v));
    }
    canvas.setPen(kBlack);
}

// A trace of value n of a sample stream; none when the stream is missing.
void drawStreamTrace(PixelCanvas& canvas, Rgb colour, const FrameWalk& walk, StreamReader& stream) {
    if (!stream.isOpen())
        return;
    drawTrace(canvas, colour, walk, [&stream](std::int64_t n) -> std::optional<long double> {
        return wordAt(stream, static_cast<std::uint64_t>(n) + 1);
    });
}

void drawCoefficients(PixelCanvas& canvas, const FrameWalk& walk, StreamReader& stream) {
    float header = 0.0f;
    if (!stream.isOpen() || !stream.read(header))
        return;
    const int k =
        std::clamp(view::lengthFromHeader(header), 0, static_cast<int>(kCoefficientColours.size()));
    for (int c = 0; c < k; ++c)
        drawTrace(canvas, kCoefficientColours[static_cast<std::size_t>(c)], walk,
                  [&stream, k, c](std::int64_t n) -> std::optional<long double> {
                      return wordAt(stream,
                                    1 + static_cast<std::uint64_t>(n) * static_cast<unsigned>(k) +
                                        static_cast<unsigned>(c));
                  });
}

void drawDifference(PixelCanvas& canvas, const FrameWalk& walk, StreamReader& input,
                    StreamReader& output) {
    if (!input.isOpen() || !output.isOpen())
        return;
    // The difference is formed in extended precision, as the mapping is, and not rounded.
    drawTrace(canvas, kBlack, walk, [&](std::int64_t n) -> std::optional<long double> {
        const std::optional<float> a = wordAt(input, static_cast<std::uint64_t>(n) + 1);
        const std::optional<float> b = wordAt(output, static_cast<std::uint64_t>(n) + 1);
        if (!a || !b)
            return std::nullopt;
        return static_cast<long double>(*a) - static_cast<long double>(*b);
    });
}

} // namespace

ResultsFrame drawResultsFrame(const WorkingFiles& files, LowerTrace lower, int frame,
                              int signalLength, PixelCanvas& upper, PixelCanvas& lowerCanvas) {
    StreamReader input(files.path(workfile::input));
    StreamReader output(files.path(workfile::output));
    StreamReader frameRatios(files.path(workfile::frameRatios));
    StreamReader segmental(files.path(workfile::segmental));
    StreamReader overall(files.path(workfile::overall));

    ResultsFrame result;
    if (const std::optional<float> header = wordAt(input, 0)) {
        result.signalLength = view::lengthFromHeader(*header);
        signalLength = *result.signalLength;
    }
    if (const std::optional<float> r = wordAt(overall, 1))
        result.texts.overall = ratioMeasureText(*r);
    if (const std::optional<float> s = wordAt(segmental, 1))
        result.texts.segmental = formatMeasure(*s);
    if (const std::optional<float> r =
            wordAt(frameRatios, 1 + static_cast<std::uint64_t>(std::max(frame, 0))))
        result.texts.frame = ratioMeasureText(*r);

    clearView(upper);
    clearView(lowerCanvas);
    const FrameWalk walk = frameWalk(frame, signalLength);
    drawStreamTrace(upper, kBlack, walk, input);
    drawStreamTrace(upper, kRed, walk, output);
    switch (lower) {
    case LowerTrace::QuantisationError: {
        StreamReader error(files.path(workfile::quantError));
        drawStreamTrace(lowerCanvas, kBlack, walk, error);
        break;
    }
    case LowerTrace::Coefficients: {
        StreamReader coefficients(files.path(workfile::coefficients));
        drawCoefficients(lowerCanvas, walk, coefficients);
        break;
    }
    case LowerTrace::InputMinusOutput:
        drawDifference(lowerCanvas, walk, input, output);
        break;
    case LowerTrace::None:
        break;
    }
    return result;
}
