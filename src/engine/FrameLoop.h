#pragma once

#include "engine/RunHost.h"
#include "engine/SampleStream.h"
#include "engine/WorkingFiles.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What a run's per-sample step hands back to the frame loop for one input sample x.
struct SampleResult {
    float y = 0.0f;     // the value the step wrote to 002.tmp
    double error = 0.0; // x − y as the loop squares it (the stored difference in PCM/prediction)
    bool overflow = false; // the step's own guarded difference overflowed and was not written
};

// A fault outside the frame loop's guarded places (an overflow in a coder's step or in the
// overall ratio, a division by zero in a predictor). It ends the whole run: the working files are
// closed as the objects holding them unwind, and SimulationRun::start shows `text` titled "Błąd".
struct EscapedFault {
    std::string text;
};

// Which frame value decides whether a frame enters the segmental measure.
enum class Gate {
    FrameRatio,   // PCM and ADPCM: the frame's SNR
    SignalEnergy, // prediction: the frame's input energy, so near-silence is left out of GP_SEG
};

// The skeleton shared by the three runs. It reads Tmp/001.tmp in frames of 128 samples, lets the
// run's step turn each x into y, and measures y against x:
//   s, e   signal and error energy of a frame; S, E of the whole signal (float32 accumulators,
//          each square formed in double and added with one rounding);
//   r      the frame ratio s / e (3.4028235e38 when e = 0 < s, 0 when both are 0) → 006.tmp;
//   the segmental measure, the mean of 10·log10 r over the frames whose gate value exceeds the
//          double 0.00128 (1.1754944e-38 when none does) → 007.tmp;
//   the overall ratio S / E (3.4028235e38 when E = 0) → 008.tmp.
// An overflow of an energy or of the step's difference (guard A), or of a frame ratio or the
// segmental sum (guard B), stops the run with "Sprawdź ustawienia układu." / "Przekroczono
// zakres" and result −1; the files keep what was written so far.
class FrameLoop {
public:
    static constexpr double kGateThreshold = 0.00128;
    static constexpr float kRatioCeiling = FLT_MAX;
    static constexpr float kEmptySegmental = FLT_MIN;

    // coefficientCount: the header of 005.tmp when the run writes it.
    FrameLoop(const WorkingFiles& files, RunHost& host, Gate gate, int coefficientCount = 0);

    // The header of Tmp/001.tmp when the file is a signal a run can process: a whole number of
    // 1 … 16777216 samples (after truncation), all present. Otherwise shows the refusal and gives
    // nothing. Runs call it before they build their coder objects.
    static std::optional<float> checkInput(const WorkingFiles& files, RunHost& host);

    // Opens 001.tmp and the run's streams, in the order given, writes their headers and sets
    // signalLength and lastFrame. False (after a message) when a file cannot be opened.
    bool open(std::initializer_list<std::string_view> outputs);

    // One of the streams passed to open().
    StreamWriter& writer(std::string_view name);

    // Runs the frames, writes the measures, closes the files and refreshes the results view.
    // 1 on completion, −1 after a guarded overflow or a failed write (both with a message).
    // Throws EscapedFault when the overall ratio overflows, and lets the step's faults through.
    template <class Step> int run(Step& step);

private:
    float sampleCountHeader_ = 0.0f;
    int signalLength_ = 0;
    int lastFrame_ = 0;

    int guardedOverflow();
    int writeFailure();
    int inputFailure();
    bool writersOk() const;
    // Writes the segmental measure and the overall ratio, closes every file and refreshes the
    // results page.
    int finish(float segSum, int segCount, float signalEnergy, float errorEnergy);

    const WorkingFiles& files_;
    RunHost& host_;
    Gate gate_;
    int coefficientCount_;
    std::unique_ptr<StreamReader> input_;
    std::vector<std::pair<std::string_view, std::unique_ptr<StreamWriter>>> writers_;
    StreamWriter* ratios_ = nullptr;
};

template <class Step> int FrameLoop::run(Step& step) {
    host_.setProgressRange(lastFrame_);
    float S = 0.0f, E = 0.0f, segSum = 0.0f;
    int segCount = 0;
    for (int j = 0; j <= lastFrame_; ++j) {
        float s = 0.0f, e = 0.0f;
        const int first = j * kFrameLength;
        const int end = std::min(first + kFrameLength, signalLength_);
        for (int n = first; n < end; ++n) {
            float x;
            if (!input_->read(x))
                return inputFailure();
            const SampleResult out = step(x, n);
            if (out.overflow)
                return guardedOverflow();
            // Guard A. Rounding is monotonic and S, E start no lower than s, e, so an overflow
            // of s or e shows in S or E.
            const double xx = double(x) * double(x);
            const double ee = out.error * out.error;
            s = float(double(s) + xx);
            S = float(double(S) + xx);
            e = float(double(e) + ee);
            E = float(double(E) + ee);
            if (std::isinf(S) || std::isinf(E))
                return guardedOverflow();
        }
        float r = 0.0f;
        if (e != 0.0f)
            r = float(double(s) / double(e));
        else if (s != 0.0f)
            r = kRatioCeiling;
        if (std::isinf(r)) // guard B
            return guardedOverflow();
        ratios_->write(r);
        const float gateValue = gate_ == Gate::FrameRatio ? r : s;
        if (gateValue > kGateThreshold) {
            segSum = float(double(segSum) + 10.0 * std::log10(double(r)));
            ++segCount;
            if (std::isinf(segSum)) // guard B
                return guardedOverflow();
        }
        host_.setProgress(j);
        if (!writersOk())
            return writeFailure();
    }
    return finish(segSum, segCount, S, E);
}
