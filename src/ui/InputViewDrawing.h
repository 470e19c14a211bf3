#pragma once

#include "ui/PixelCanvas.h"

#include <optional>
#include <string>

// The two ways the input view shows the input stream.
enum class InputViewMode {
    Frame,  // one 128-sample frame across the whole width ("Bieżąca ramka")
    Phrase, // every value of the stream compressed into the width ("Cała fraza")
};

// Draws the input view from the sample stream at streamPath (the input 001.tmp): the border, the
// zero axis, then the trace in black. In Frame mode the values 128·frame … 128·frame + 127 are
// drawn at x = (640·i) div 127; a value past the end of the stream counts as 0, so a partial
// frame falls to the axis. In Phrase mode the k-th value (from 1) is drawn at x = trunc(k·640/N)
// for every value present, whatever the header says; N = 0 draws no trace.
// Returns N, the header truncated toward zero, or nothing when the stream is missing or holds no
// header: then the view shows only the border and the axis and nothing is read.
std::optional<int> drawInputView(const std::string& streamPath, InputViewMode mode, int frame,
                                 PixelCanvas& canvas);

// Border and axis on a cleared surface, pen back at the axis start: how every view starts.
void clearView(PixelCanvas& canvas);
