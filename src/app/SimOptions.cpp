#include "app/SimOptions.h"

#include <set>
#include <sstream>

namespace {

using Kind = SimInputAction::Kind;

struct Parser {
    SimParseResult result;
    std::set<std::string> seen;
    bool lawGiven = false;

    bool error(const std::string& text) {
        result.status = SimParseResult::Status::UsageError;
        result.error = text;
        return false;
    }

    bool once(const std::string& name) {
        return seen.insert(name).second || error(name + " given more than once");
    }

    // One of `allowed`, exactly as written.
    bool choice(const std::string& name, const std::string& value,
                std::initializer_list<const char*> allowed) {
        for (const char* a : allowed)
            if (value == a)
                return true;
        std::string list;
        for (const char* a : allowed)
            list += list.empty() ? a : std::string("|") + a;
        return error(name + " takes " + list + ", not '" + value + "'");
    }

    bool multipliers(const std::string& name, int levels, const std::string& value) {
        std::istringstream words(value);
        MultiplierEdit edit{levels, {}};
        for (std::string w; words >> w;)
            edit.texts.push_back(w);
        if (static_cast<int>(edit.texts.size()) != levels)
            return error(name + " takes " + std::to_string(levels) + " texts separated by spaces");
        result.options.multiplierEdits.push_back(std::move(edit));
        return true;
    }

    bool option(const std::string& name, const std::string& value);
};

bool Parser::option(const std::string& name, const std::string& value) {
    SimOptions& o = result.options;
    if (name == "--wav")
        o.inputActions.push_back({Kind::Wav, value});
    else if (name == "--sine")
        o.inputActions.push_back({Kind::Sine, value});
    else if (name == "--attenuate")
        o.inputActions.push_back({Kind::Attenuate, value});
    else if (name == "--source") {
        if (!choice(name, value, {"wav", "sine"}))
            return false;
        o.inputActions.push_back(
            {Kind::Source, value, value == "wav" ? InputSource::WaveFile : InputSource::Sine});
    } else if (!once(name))
        return false;
    else if (name == "--dir")
        o.dir = value;
    else if (name == "--multipliers4")
        return multipliers(name, 4, value);
    else if (name == "--multipliers8")
        return multipliers(name, 8, value);
    else if (name == "--multipliers16")
        return multipliers(name, 16, value);
    else if (name == "--mode") {
        if (!choice(name, value, {"pcm", "prediction", "adpcm"}))
            return false;
        o.mode = value == "pcm"          ? SimMode::Pcm
                 : value == "prediction" ? SimMode::Prediction
                                         : SimMode::Adpcm;
    } else if (name == "--law") {
        if (!choice(name, value, {"ROW", "ADAP", "LOG", "LLOYD"}))
            return false;
        o.law = value;
        lawGiven = true;
    } else if (name == "--levels")
        o.levels = value;
    else if (name == "--range")
        o.range = value;
    else if (name == "--codebook") {
        if (!choice(name, value, {"random", "log", "uniform"}))
            return false;
        o.codebook = value == "random" ? Codebook::Random
                     : value == "log"  ? Codebook::Logarithmic
                                       : Codebook::Uniform;
    } else if (name == "--algorithm") {
        if (!choice(name, value, {"SG", "SGN", "NSK"}))
            return false;
        o.algorithm = value;
    } else if (name == "--coefficients")
        o.coefficients = value;
    else if (name == "--parameter")
        o.parameter = value;
    else
        return error("unknown option " + name);
    return true;
}

const std::set<std::string> kValueOptions = {
    "--dir",       "--wav",          "--sine",         "--source",
    "--attenuate", "--multipliers4", "--multipliers8", "--multipliers16",
    "--mode",      "--law",          "--levels",       "--range",
    "--codebook",  "--algorithm",    "--coefficients", "--parameter"};

} // namespace

SimParseResult parseSimOptions(const std::vector<std::string>& args) {
    Parser p;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            p.result.status = SimParseResult::Status::Help;
            return p.result;
        }
        if (arg == "--json") {
            if (!p.once(arg))
                return p.result;
            p.result.options.json = true;
            continue;
        }
        const std::size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        if (!kValueOptions.contains(name)) {
            p.error(arg.starts_with("-") ? "unknown option " + name
                                         : "unexpected argument '" + arg + "'");
            return p.result;
        }
        std::string value;
        if (eq != std::string::npos)
            value = arg.substr(eq + 1);
        else if (i + 1 < args.size())
            value = args[++i];
        else {
            p.error(name + " needs a value");
            return p.result;
        }
        if (!p.option(name, value))
            return p.result;
    }
    SimOptions& o = p.result.options;
    if (!p.lawGiven)
        o.law = o.mode == SimMode::Adpcm ? "ADAP" : "ROW";
    return p.result;
}

const char* simUsage() {
    return R"(usage: modulacje-sim [--dir DIR] [INPUT ACTIONS] [--multipliers4 T] [--multipliers8 T]
                     [--multipliers16 T] [--mode pcm|prediction|adpcm] [CODER SETTINGS] [--json]

Does in one process what a user does in the window: the input actions in the order given, the
multiplier edits, then one simulation run. Each TEXT is what the user would type into the field
(decimal comma). Working files are read and written in DIR/Tmp.

  --dir DIR                    start-up directory (default: the current directory)
input actions, in the order given, each repeatable:
  --wav PATH                   choose PATH as the input file ("Przeglądaj...")
  --sine TEXT                  generate the tone of TEXT Hz ("Generuj")
  --source wav|sine            select "Plik wave" or "Sinus o częstotliwości" by hand
  --attenuate TEXT             attenuate the input by TEXT dB ("Tłumienie")
  --multipliersN T             N = 4, 8 or 16: the multipliers dialog's N texts, space-separated
  --mode pcm|prediction|adpcm  "Kwantyzera", "Predyktora" or both ticked; without it no run
coder settings (defaults: the window after ticking the boxes of the mode):
  --law ROW|ADAP|LOG|LLOYD     quantiser (default ROW; ADAP in adpcm mode)
  --levels TEXT                "Liczba poziomów kwantyzacji:" (default empty)
  --range TEXT                 "Zakres pracy (max. 1,0):" (default "1,0")
  --codebook random|log|uniform  initial codebook (default random)
  --algorithm SG|SGN|NSK       predictor (default SG)
  --coefficients TEXT          "Liczba współczynników predykcji (<12):" (default empty)
  --parameter TEXT             the predictor's parameter (default empty)
  --json                       print the measures as one JSON object

Exit status: 0 done, 1 refused (stderr: "TITLE: TEXT"), 2 bad usage (nothing touched).
)";
}
