#include "engine/CoderObjects.h"
#include "engine/FrameLoop.h"
#include "engine/Kanal.h"
#include "engine/RunMessages.h"
#include "engine/Runs.h"

#include <vector>

namespace {

// A sum or difference of the coder's own step that overflows is not one of the guarded places.
inline float unguarded(float value) {
    if (std::isinf(value)) [[unlikely]]
        throw EscapedFault{runmsg::escapedOverflow};
    return value;
}

// One ADPCM sample, coder then decoder, each with its own predictor:
//   coder:   p = P(coder), d = x − p, q = Kwantyzuj(d), z = q + p, adapt the coder with z;
//   channel: c = Przeslij(q);
//   decoder: p′ = P(decoder), y = c + p′, adapt the decoder with y.
// Written: y → 002.tmp, the coder's coefficients → 005.tmp, d → 004.tmp, q − d → 003.tmp (q − d
// is guarded with the energies). The loop's error is x − y, formed in double.
class AdpcmStep {
public:
    AdpcmStep(Predyktory& coder, Predyktory& decoder, Kwantyzery& quantiser, int order,
              StreamWriter& output, StreamWriter& coefficients, StreamWriter& predError,
              StreamWriter& quantError)
        : coder_(coder), decoder_(decoder), quantiser_(quantiser), buffer_(order, 0.0f),
          output_(output), coefficients_(coefficients), predError_(predError),
          quantError_(quantError) {}

    SampleResult operator()(float x, int n) {
        const float p = coder_.Przewiduj();
        // The decoder's prediction depends on nothing of this sample, so it is taken here, where
        // the processor can overlap it with the coder's. Nothing observable moves: the two
        // predictors hold equal states, so an overflow message of the decoder's prediction
        // always follows the same message of the coder's, and only the first is shown.
        const float decoderPrediction = decoder_.Przewiduj();
        coder_.NumerProbki = n;
        const float d = unguarded(x - p);
        const float q = quantiser_(d);
        const float z = unguarded(q + p);
        coder_.Adaptuj(z);
        throwIfFaulted(coder_);

        const float c = channel_.Przeslij(q);

        decoder_.NumerProbki = n;
        const float y = unguarded(c + decoderPrediction);
        decoder_.Adaptuj(y);
        throwIfFaulted(decoder_);

        output_.write(y);
        coder_.PobierzWspolczynniki(buffer_.data());
        coefficients_.write(buffer_.data(), buffer_.size());
        predError_.write(d);
        const float quantisationError = q - d;
        if (std::isinf(quantisationError)) [[unlikely]]
            return {y, 0.0, true};
        quantError_.write(quantisationError);
        return {y, double(x) - double(y), false};
    }

private:
    Predyktory& coder_;
    Predyktory& decoder_;
    CheckedQuantiser quantiser_;
    Kanal channel_;
    std::vector<float> buffer_; // the coder's coefficient record of one sample
    StreamWriter& output_;
    StreamWriter& coefficients_;
    StreamWriter& predError_;
    StreamWriter& quantError_;
};

} // namespace

int RunAdpcm(const RunContext& context, const RunSettings& settings) {
    const auto checked = checkAdpcmSettings(settings);
    if (!checked.value) {
        context.host.showMessage(checked.refusal, refusal::title);
        return -1;
    }
    if (!FrameLoop::checkInput(context.files, context.host))
        return -1;
    const AdpcmSettings& config = *checked.value;
    FirstMessageOnly messages(context.host);
    Predyktory coder = buildPredictor(context, config.predictor, messages);
    Predyktory decoder = buildPredictor(context, config.predictor, messages);
    // "NSK": behind the ideal channel the decoder adapts with the coder's own values, and both
    // update P from the same input; the decoder takes the coder's results instead of forming them
    // again, for as long as they are the same.
    decoder.polaczZeZrodlem(coder);
    const auto quantiser = buildQuantiser(context, config.quantiser);
    if (!quantiser)
        return -1;

    const int order = config.predictor.coefficients;
    FrameLoop loop(context.files, context.host, Gate::FrameRatio, order);
    if (!loop.open({workfile::output, workfile::predError, workfile::quantError,
                    workfile::coefficients, workfile::frameRatios, workfile::segmental,
                    workfile::overall}))
        return -1;
    AdpcmStep step(coder, decoder, *quantiser, order, loop.writer(workfile::output),
                   loop.writer(workfile::coefficients), loop.writer(workfile::predError),
                   loop.writer(workfile::quantError));
    return loop.run(step);
}
