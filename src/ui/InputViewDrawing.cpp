#include "ui/InputViewDrawing.h"

#include "engine/SampleStream.h"
#include "engine/WorkingFiles.h"
#include "ui/ViewGeometry.h"

#include <cstdint>

void clearView(PixelCanvas& canvas) {
    canvas.setPen(kBlack);
    canvas.frameRect();
    canvas.moveTo(0, view::kAxisY);
    canvas.lineTo(view::kWidth, view::kAxisY);
    canvas.moveTo(0, view::kAxisY);
}

namespace {

void drawFrame(StreamReader& reader, int frame, PixelCanvas& canvas) {
    const bool placed = frame >= 0 && reader.seekWord(1 + std::uint64_t{kFrameLength} *
                                                              static_cast<unsigned>(frame));
    for (int i = 0; i < kFrameLength; ++i) {
        float v = 0.0f; // a read past the end leaves it 0: the trace falls to the axis
        if (placed)
            reader.read(v);
        canvas.lineTo(view::frameX(i), view::valueY(v));
    }
}

void drawPhrase(StreamReader& reader, int length, PixelCanvas& canvas) {
    const double step = static_cast<double>(view::kWidth) / length;
    float v = 0.0f;
    for (std::int64_t k = 1; reader.read(v); ++k) {
        const int x = view::phraseX(k, step), y = view::valueY(v);
        canvas.lineTo(x, y);
        canvas.moveTo(x, y);
    }
}

} // namespace

std::optional<int> drawInputView(const std::string& streamPath, InputViewMode mode, int frame,
                                 PixelCanvas& canvas) {
    StreamReader reader(streamPath);
    float header = 0.0f;
    const bool haveHeader = reader.read(header);
    clearView(canvas);
    if (!haveHeader)
        return std::nullopt;
    const int length = view::lengthFromHeader(header);
    if (mode == InputViewMode::Frame)
        drawFrame(reader, frame, canvas);
    else if (length != 0)
        drawPhrase(reader, length, canvas);
    return length;
}
