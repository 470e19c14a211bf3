#include "engine/RunSettings.h"

#include "engine/NumberText.h"

namespace {

constexpr std::int32_t kMaxUniformLevels = 256;
// The cell tables of "LOG" and "LLOYD" are scanned per sample; beyond this a run would crawl.
constexpr std::int32_t kMaxTableLevels = 65536;
constexpr std::int32_t kMaxCoefficients = 11;

template <class T> Checked<T> refuse(const char* text) {
    return {std::nullopt, text};
}

// The levels test made where a run looks at the kind. Beyond the ranges the window's users know
// ("ROW" up to 256, "ADAP" 4, 8 or 16), every law needs two levels: the uniform grid divides by
// N − 1 and the Lloyd-Max cells read the second level.
bool levelsAccepted(const std::string& kind, std::int32_t levels) {
    if (kind == "ROW")
        return levels >= 2 && levels <= kMaxUniformLevels;
    if (kind == "ADAP")
        return levels == 4 || levels == 8 || levels == 16;
    if (kind == "LOG" || kind == "LLOYD")
        return levels >= 2 && levels <= kMaxTableLevels;
    return true; // no law selected: the quantiser builds nothing and returns 0
}

// The working range: 0 < V ≤ 1.0, compared exactly.
bool rangeAccepted(float range) {
    return range > 0.0f && range <= 1.0f;
}

bool orderAccepted(std::int32_t k) {
    return k >= 1 && k <= kMaxCoefficients;
}

} // namespace

std::string quantiserKind(int item) {
    switch (item) {
    case 0:
        return "ROW";
    case 1:
        return "ADAP";
    case 2:
        return "LOG";
    case 3:
        return "LLOYD";
    default:
        return "";
    }
}

std::string predictorAlgorithm(int item) {
    switch (item) {
    case 0:
        return "SG";
    case 1:
        return "SGN";
    case 2:
        return "NSK";
    default:
        return "";
    }
}

Checked<QuantiserSettings> checkPcmSettings(const RunSettings& settings) {
    using Result = QuantiserSettings;
    const auto levels = parseInteger(settings.levelsText);
    if (!levels)
        return refuse<Result>(refusal::levels);
    const std::int32_t codebook = settings.codebookCode;
    const auto range = parseDecimal(settings.rangeText);
    if (!range || !rangeAccepted(*range))
        return refuse<Result>(refusal::range);
    std::string kind = quantiserKind(settings.quantiserItem);
    if (!levelsAccepted(kind, *levels))
        return refuse<Result>(refusal::levels);
    return {Result{std::move(kind), *levels, *range, codebook}, {}};
}

Checked<PredictorSettings> checkPredictionSettings(const RunSettings& settings) {
    using Result = PredictorSettings;
    const int item = settings.predictorItem;
    const auto order = parseInteger(settings.coefficientsText);
    if (!order)
        return refuse<Result>(refusal::predictionCoefficients);
    if (!orderAccepted(*order))
        return refuse<Result>(refusal::predictionOrder);
    const auto parameter = parseDecimal(settings.parameterText);
    if (!parameter)
        return refuse<Result>(refusal::predictionParameter);
    return {Result{predictorAlgorithm(item), *order, *parameter}, {}};
}

Checked<AdpcmSettings> checkAdpcmSettings(const RunSettings& settings) {
    using Result = AdpcmSettings;
    const auto levels = parseInteger(settings.levelsText);
    if (!levels)
        return refuse<Result>(refusal::levels);
    std::string kind = quantiserKind(settings.quantiserItem);
    if (!levelsAccepted(kind, *levels))
        return refuse<Result>(refusal::levels);
    const int item = settings.predictorItem;
    const auto order = parseInteger(settings.coefficientsText);
    if (!order)
        return refuse<Result>(refusal::adpcmCoefficients);
    const std::int32_t codebook = settings.codebookCode;
    const auto range = parseDecimal(settings.rangeText);
    if (!range || !rangeAccepted(*range))
        return refuse<Result>(refusal::range);
    if (!orderAccepted(*order))
        return refuse<Result>(refusal::adpcmCoefficients);
    const auto parameter = parseDecimal(settings.parameterText);
    if (!parameter)
        return refuse<Result>(refusal::adpcmParameter);
    return {Result{{std::move(kind), *levels, *range, codebook},
                   {predictorAlgorithm(item), *order, *parameter}},
            {}};
}
