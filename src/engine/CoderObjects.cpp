#include "engine/CoderObjects.h"

#include "engine/RunMessages.h"

#include <cmath>

std::unique_ptr<Kwantyzery> buildQuantiser(const RunContext& context,
                                           const QuantiserSettings& settings) {
    const std::string input = context.files.path(workfile::input);
    const bool randomCodebook = settings.codebook == 0 || settings.codebook == 1;
    if (settings.kind == "LLOYD" && randomCodebook &&
        !Kwantyzery::enoughDistinctSamples(input, settings.levels)) {
        context.host.showMessage(runmsg::tooFewDistinct, runmsg::errorTitle);
        return nullptr;
    }
    auto quantiser = std::make_unique<Kwantyzery>(
        settings.kind, settings.levels, settings.range, settings.codebook,
        QuantiserInputs{context.mnozniki, input, context.random});
    for (const Przedzial& cell : quantiser->przedzialy())
        if (!std::isfinite(cell.Dolny) || !std::isfinite(cell.Gorny) || !std::isfinite(cell.Poziom))
            throw EscapedFault{runmsg::escapedOverflow};
    return quantiser;
}

Predyktory buildPredictor(const RunContext& context, const PredictorSettings& settings,
                          MessageSink& messages) {
    return Predyktory(settings.algorithm, settings.coefficients, settings.parameter,
                      PredictorInputs{context.files.path(workfile::input), messages});
}

std::string predictorFaultText(const Predyktory& predictor) {
    switch (predictor.faultKind()) {
    case PredictorFault::DivisionByZero:
        return runmsg::divisionByZero;
    case PredictorFault::InputUnreadable:
        return runmsg::badInput;
    case PredictorFault::InvalidOperation:
    case PredictorFault::None:
        break;
    }
    return runmsg::invalidOperation;
}
