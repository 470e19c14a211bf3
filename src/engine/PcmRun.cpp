#include "engine/CoderObjects.h"
#include "engine/FrameLoop.h"
#include "engine/RunMessages.h"
#include "engine/Runs.h"

namespace {

// One PCM sample: q = Kwantyzuj(x) → 002.tmp, then x − q → 003.tmp. The difference is guarded
// with the energies: when it overflows it is not written and the loop stops.
class PcmStep {
public:
    PcmStep(Kwantyzery& quantiser, StreamWriter& output, StreamWriter& error)
        : quantiser_(quantiser), output_(output), error_(error) {}

    SampleResult operator()(float x, int) {
        const float q = quantiser_(x);
        output_.write(q);
        const float difference = x - q;
        if (std::isinf(difference)) [[unlikely]]
            return {q, 0.0, true};
        error_.write(difference);
        return {q, double(difference), false};
    }

private:
    CheckedQuantiser quantiser_;
    StreamWriter& output_;
    StreamWriter& error_;
};

} // namespace

int RunPcm(const RunContext& context, const RunSettings& settings) {
    const auto checked = checkPcmSettings(settings);
    if (!checked.value) {
        context.host.showMessage(checked.refusal, refusal::title);
        return -1;
    }
    if (!FrameLoop::checkInput(context.files, context.host))
        return -1;
    const auto quantiser = buildQuantiser(context, *checked.value);
    if (!quantiser)
        return -1;

    FrameLoop loop(context.files, context.host, Gate::FrameRatio);
    if (!loop.open({workfile::output, workfile::quantError, workfile::frameRatios,
                    workfile::segmental, workfile::overall}))
        return -1;
    PcmStep step(*quantiser, loop.writer(workfile::output), loop.writer(workfile::quantError));
    return loop.run(step);
}
