#include "engine/CoderObjects.h"
#include "engine/FrameLoop.h"
#include "engine/RunMessages.h"
#include "engine/Runs.h"

#include <vector>

namespace {

// One open-loop prediction sample: p is taken before the predictor sees x, then the predictor
// adapts with x; p → 002.tmp, the coefficients after the update → 005.tmp, x − p → 004.tmp
// (guarded with the energies).
class PredictionStep {
public:
    PredictionStep(Predyktory& predictor, int order, StreamWriter& output,
                   StreamWriter& coefficients, StreamWriter& error)
        : predictor_(predictor), buffer_(order, 0.0f), output_(output), coefficients_(coefficients),
          error_(error) {}

    SampleResult operator()(float x, int n) {
        const float p = predictor_.Przewiduj();
        predictor_.NumerProbki = n;
        predictor_.Adaptuj(x);
        throwIfFaulted(predictor_);
        output_.write(p);
        predictor_.PobierzWspolczynniki(buffer_.data());
        coefficients_.write(buffer_.data(), buffer_.size());
        const float difference = x - p;
        if (std::isinf(difference)) [[unlikely]]
            return {p, 0.0, true};
        error_.write(difference);
        return {p, double(difference), false};
    }

private:
    Predyktory& predictor_;
    std::vector<float> buffer_; // the coefficient record of one sample
    StreamWriter& output_;
    StreamWriter& coefficients_;
    StreamWriter& error_;
};

} // namespace

int RunPrediction(const RunContext& context, const RunSettings& settings) {
    const auto checked = checkPredictionSettings(settings);
    if (!checked.value) {
        context.host.showMessage(checked.refusal, refusal::title);
        return -1;
    }
    if (!FrameLoop::checkInput(context.files, context.host))
        return -1;
    const PredictorSettings& config = *checked.value;
    FirstMessageOnly messages(context.host);
    Predyktory predictor = buildPredictor(context, config, messages);

    FrameLoop loop(context.files, context.host, Gate::SignalEnergy, config.coefficients);
    if (!loop.open({workfile::output, workfile::predError, workfile::coefficients,
                    workfile::frameRatios, workfile::segmental, workfile::overall}))
        return -1;
    PredictionStep step(predictor, config.coefficients, loop.writer(workfile::output),
                        loop.writer(workfile::coefficients), loop.writer(workfile::predError));
    return loop.run(step);
}
