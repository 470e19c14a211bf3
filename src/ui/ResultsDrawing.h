#pragma once

#include "engine/Measures.h"
#include "engine/WorkingFiles.h"
#include "ui/PixelCanvas.h"

#include <optional>
#include <string>

// What the lower results surface shows, decided by the two check boxes at the moment of drawing
// (not by the kind of the last run).
enum class LowerTrace {
    None,              // neither box: the frame and the axis only
    QuantisationError, // "Kwantyzera" alone: 003.tmp
    Coefficients,      // "Predyktora" alone: the K tracks of 005.tmp in the coefficient colours
    InputMinusOutput,  // both: 001.tmp − 002.tmp, computed here
};
LowerTrace lowerTraceFor(bool quantiser, bool predictor);

// The three measure fields of the results page.
struct MeasureTexts {
    // Ratios are shown through ratioMeasureText, as the command line prints them.
    std::string overall;   // 10·log10 of 008.tmp's ratio, "-INF" for 0
    std::string segmental; // 007.tmp's value, already in dB
    std::string frame;     // 10·log10 of the frame's ratio in 006.tmp, "-INF" for 0
};

// The last frame index of the last run: the header of 006.tmp truncated toward zero; nothing when
// the file is missing or empty.
std::optional<int> readResultsLastFrame(const WorkingFiles& files);

struct ResultsFrame {
    MeasureTexts texts;              // a text whose file is missing or too short stays empty
    std::optional<int> signalLength; // the header of 001.tmp, when there is one
};

// Draws frame `frame` of the last run on the two surfaces and forms the measure texts. Both
// surfaces are cleared to the border and axis; the upper one gets the input (black) and the
// output (red), the lower one what `lower` names. Sample n = 128·frame + i (i = 0 … 127) is
// drawn at x = (640·i) div 127 only when it exists (n < the signal length: 001.tmp's header, or
// `signalLength` when 001.tmp is missing), so the traces of a partial frame end at its last
// sample. A trace whose working file is missing is skipped; no file that failed to open is read.
// At most 11 coefficient tracks are drawn, one per colour.
ResultsFrame drawResultsFrame(const WorkingFiles& files, LowerTrace lower, int frame,
                              int signalLength, PixelCanvas& upper, PixelCanvas& lowerCanvas);
