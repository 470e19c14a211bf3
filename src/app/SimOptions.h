#pragma once

#include "engine/InputActions.h"

#include <optional>
#include <string>
#include <vector>

// The command line of modulacje-sim as a plain struct. Every text option holds the text a user
// would type into the named field, unparsed: the field's own checks (with their messages) are
// made later, in the order the window makes them.

// "Kwantyzera" ticked (pcm), "Predyktora" (prediction), both (adpcm).
enum class SimMode { Pcm, Prediction, Adpcm };

// The radio buttons "Losowanie" / "Logarytmiczny" / "Równomierny", valued as the initial codebook
// code the quantiser receives.
enum class Codebook { Random = 1, Logarithmic = 2, Uniform = 3 };

struct SimInputAction {
    enum class Kind { Wav, Sine, Source, Attenuate };
    Kind kind;
    std::string text;                           // path (Wav), frequency or attenuation text
    InputSource source = InputSource::WaveFile; // Source only
};

// The multipliers dialog for `levels` (4, 8 or 16) levels: one text per field, then OK.
struct MultiplierEdit {
    int levels;
    std::vector<std::string> texts;
};

struct SimOptions {
    std::string dir;                             // start-up directory; empty: the current directory
    std::vector<SimInputAction> inputActions;    // in command-line order
    std::vector<MultiplierEdit> multiplierEdits; // in command-line order
    std::optional<SimMode> mode;                 // none: only input actions and multiplier edits
    std::string law;                             // ROW|ADAP|LOG|LLOYD; default ROW, in adpcm ADAP
    std::string levels;                          // "Liczba poziomów kwantyzacji:"
    std::string range = "1,0";                   // "Zakres pracy (max. 1,0):"
    Codebook codebook = Codebook::Random;
    std::string algorithm = "SG"; // SG|SGN|NSK
    std::string coefficients;     // "Liczba współczynników predykcji (<12):"
    std::string parameter;        // the predictor's parameter field
    bool json = false;
};

struct SimParseResult {
    enum class Status { Ok, Help, UsageError };
    Status status = Status::Ok;
    SimOptions options;
    std::string error; // what was wrong, for UsageError
};

// Parses the arguments after the program name. Options take their value as the next argument
// or after '=' (--levels=16). Input actions may repeat; every other option may appear once.
SimParseResult parseSimOptions(const std::vector<std::string>& args);

// The usage text printed with a usage error and for --help.
const char* simUsage();
