#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The texts and selections of the set-up pages at the moment a run starts; nothing is checked
// before that moment. The window fills it from its controls, the command line from its options.
struct RunSettings {
    std::string levelsText;        // "Liczba poziomów kwantyzacji:"
    int quantiserItem = 0;         // quantiser tree: index of the selected item among its
                                   // siblings (the root reads as 0), −1 when none is selected
    std::string rangeText = "1,0"; // "Zakres pracy (max. 1,0):"
    int codebookCode = 1;          // 1 "Losowanie", 2 "Logarytmiczny", 3 "Równomierny", 0 none
    std::string coefficientsText;  // "Liczba współczynników predykcji (<12):"
    int predictorItem = 0;         // predictor tree, as quantiserItem
    std::string parameterText;     // the parameter field ("B:", "α:" or "λ:")
};

// Construction arguments of Kwantyzery, in its argument order.
struct QuantiserSettings {
    std::string kind; // "ROW", "ADAP", "LOG", "LLOYD", or empty (no item selected)
    std::int32_t levels = 0;
    float range = 0.0f;
    std::int32_t codebook = 0;
};

// Construction arguments of Predyktory, in its argument order.
struct PredictorSettings {
    std::string algorithm; // "SG", "SGN", "NSK", or empty (no item selected)
    std::int32_t coefficients = 0;
    float parameter = 0.0f;
};

struct AdpcmSettings {
    QuantiserSettings quantiser;
    PredictorSettings predictor;
};

// Either the accepted settings or the text of the first refusal (its title is always "Błąd").
template <class T> struct Checked {
    std::optional<T> value;
    std::string refusal;
};

// Each run reads and tests its settings in its own order and with its own wording, so the same
// texts can be refused with different messages by different runs.
Checked<QuantiserSettings> checkPcmSettings(const RunSettings& settings);
Checked<PredictorSettings> checkPredictionSettings(const RunSettings& settings);
Checked<AdpcmSettings> checkAdpcmSettings(const RunSettings& settings);

// The code of a tree item: 0 "ROW", 1 "ADAP", 2 "LOG", 3 "LLOYD"; any other index gives "".
std::string quantiserKind(int item);
// 0 "SG", 1 "SGN", 2 "NSK"; any other index gives "".
std::string predictorAlgorithm(int item);

namespace refusal {
inline constexpr const char* title = "Błąd";
inline constexpr const char* levels = "Niepoprawna wartość 'Liczba poziomów kwantyzacji'.";
inline constexpr const char* range = "Niepoprawna wartość 'Zakres pracy.'.";
// The prediction run's own wordings, kept as the users know them.
inline constexpr const char* predictionCoefficients =
    "Niepoprawna wartość 'Lizcba współczynników predykcji'.";
inline constexpr const char* predictionOrder = "Niepoprawna wartość 'Rząd predyktora'";
inline constexpr const char* predictionParameter = "Niepoprawna wartość 'Parametr predykcji'";
inline constexpr const char* adpcmCoefficients =
    "Niepoprawna wartość 'Liczba współczynników predykcji'.";
inline constexpr const char* adpcmParameter = "Niepoprawna wartość 'Parametr predykcji'.";
} // namespace refusal
