#pragma once

#include "engine/FrameLoop.h"
#include "engine/MessageSink.h"
#include "engine/RunMessages.h"
#include "engine/Runs.h"
#include "predict/Predyktory.h"
#include "quant/Kwantyzery.h"

#include <cmath>
#include <memory>

// Passes the first message of a run to the host and drops the others: a predictor that keeps
// overflowing goes on sample after sample, and its message is shown once per run.
class FirstMessageOnly : public MessageSink {
public:
    explicit FirstMessageOnly(MessageSink& target) : target_(target) {}
    void showMessage(const std::string& text, const std::string& title) override {
        if (shown_)
            return;
        shown_ = true;
        target_.showMessage(text, title);
    }

private:
    MessageSink& target_;
    bool shown_ = false;
};

// The quantiser of a run, or nothing after a refusal that has been shown: a random Lloyd-Max
// codebook needs at least N distinct sample values in 001.tmp, checked before any draw.
// Throws EscapedFault when the Lloyd-Max design overflowed (a training sum beyond float32).
std::unique_ptr<Kwantyzery> buildQuantiser(const RunContext& context,
                                           const QuantiserSettings& settings);

// Kwantyzuj with the overflow checks the quantiser leaves to its run. Only the adaptive law can
// overflow while it quantises: its step Krok grows without bound under multipliers above 1, and
// it keeps its first distance (x − level 0)² as a float32. Either result beyond float32 is a
// fault of the run, not one of the frame loop's guarded places.
class CheckedQuantiser {
public:
    explicit CheckedQuantiser(Kwantyzery& quantiser)
        : quantiser_(quantiser), adaptive_(!quantiser.poziomyWzorcowe().empty()),
          firstPattern_(adaptive_ ? quantiser.poziomyWzorcowe().front() : 0.0f) {}

    float operator()(float x) {
        if (!adaptive_)
            return quantiser_.Kwantyzuj(x);
        const float firstLevel = firstPattern_ * quantiser_.krok();
        const double difference = double(x) - double(firstLevel);
        if (std::isinf(float(difference * difference))) [[unlikely]]
            throw EscapedFault{runmsg::escapedOverflow};
        const float y = quantiser_.Kwantyzuj(x);
        if (std::isinf(quantiser_.krok())) [[unlikely]]
            throw EscapedFault{runmsg::escapedOverflow};
        return y;
    }

private:
    Kwantyzery& quantiser_;
    bool adaptive_;
    float firstPattern_;
};

Predyktory buildPredictor(const RunContext& context, const PredictorSettings& settings,
                          MessageSink& messages);

// The message of a fault that a predictor could not handle itself.
std::string predictorFaultText(const Predyktory& predictor);

// After Adaptuj: such a fault ends the run.
inline void throwIfFaulted(const Predyktory& predictor) {
    if (predictor.fault()) [[unlikely]]
        throw EscapedFault{predictorFaultText(predictor)};
}
