// The second half of modulacje-sim: the multiplier edits, one simulation run as the button
// "SYMULACJA" starts it, and the measures of frame 0 on the output stream.
#include "app/SimSession.h"

#include "engine/Measures.h"
#include "engine/NumberText.h"
#include "engine/SimulationRun.h"
#include "quant/Mnozniki.h"

#include <charconv>
#include <cmath>
#include <random>
#include <unistd.h>

namespace {

// The run's side of the window for a console: messages as "TITLE: TEXT" on the error stream,
// and a progress bar there while the run goes, when that stream is a terminal.
class ConsoleRunHost : public RunHost {
public:
    ConsoleRunHost(std::ostream& err, SignalState& signal, bool progressBar)
        : err_(err), signal_(signal), progressBar_(progressBar) {}

    void showMessage(const std::string& text, const std::string& title) override {
        clearBar();
        err_ << title << ": " << text << std::endl;
    }
    void setProgressRange(int maximum) override { maximum_ = maximum; }
    void setProgress(int position) override {
        if (!progressBar_ || maximum_ < 1)
            return;
        const int percent = static_cast<int>(100LL * position / maximum_);
        if (percent == shownPercent_)
            return;
        shownPercent_ = percent;
        const int filled = percent * kBarWidth / 100;
        err_ << "\r[" << std::string(filled, '#') << std::string(kBarWidth - filled, ' ') << "] "
             << percent << "%" << std::flush;
    }
    void setResultsRange(int) override {}
    void drawResults() override {}
    SignalState& signal() override { return signal_; }
    void computationFinished() override { clearBar(); }

private:
    static constexpr int kBarWidth = 40;

    void clearBar() {
        if (shownPercent_ < 0)
            return;
        err_ << "\r" << std::string(kBarWidth + 8, ' ') << "\r" << std::flush;
        shownPercent_ = -1;
    }

    std::ostream& err_;
    SignalState& signal_;
    bool progressBar_;
    int maximum_ = 0;
    int shownPercent_ = -1;
};

// The multipliers dialog's OK: each text is stored as soon as it converts; the first that does
// not stops the edit with the dialog's message, leaving it and the later ones as they were.
bool applyMultiplierEdit(const MultiplierEdit& edit, Mnozniki& table, MessageSink& messages) {
    float* row = edit.levels == 4   ? table.Mnozniki4.data()
                 : edit.levels == 8 ? table.Mnozniki8.data()
                                    : table.Mnozniki16.data();
    for (std::size_t k = 0; k < edit.texts.size(); ++k) {
        const auto value = parseDecimal(edit.texts[k]);
        if (!value) {
            messages.showMessage("Niepoprawny format liczby", "Błąd");
            return false;
        }
        row[k] = *value;
    }
    return true;
}

int treeItem(const std::string& code, std::initializer_list<const char*> items) {
    int index = 0;
    for (const char* item : items) {
        if (code == item)
            return index;
        ++index;
    }
    return -1;
}

RunSettings runSettings(const SimOptions& options) {
    RunSettings settings;
    settings.levelsText = options.levels;
    settings.quantiserItem = treeItem(options.law, {"ROW", "ADAP", "LOG", "LLOYD"});
    settings.rangeText = options.range;
    settings.codebookCode = static_cast<int>(options.codebook);
    settings.coefficientsText = options.coefficients;
    settings.predictorItem = treeItem(options.algorithm, {"SG", "SGN", "NSK"});
    settings.parameterText = options.parameter;
    return settings;
}

// A number in JSON: the shortest text that reads back as the same double; null for -INF.
std::string jsonNumber(double value) {
    if (!std::isfinite(value))
        return "null";
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

std::string jsonDecibels(float ratio) {
    return ratio == 0.0f ? std::string("null") : jsonNumber(ratioDecibels(ratio));
}

void printMeasures(const StoredMeasures& measures, bool predictionOnly, bool json,
                   std::ostream& out) {
    const std::string measure = predictionOnly ? "GP" : "SNR";
    if (json) {
        out << "{\"measure\": \"" << measure
            << "\", \"overall_db\": " << jsonDecibels(measures.overallRatio)
            << ", \"segmental_db\": " << jsonNumber(measures.segmentalDb) << ", \"frame_db\": [";
        for (std::size_t p = 0; p < measures.frameRatios.size(); ++p)
            out << (p ? ", " : "") << jsonDecibels(measures.frameRatios[p]);
        out << "]}\n";
        return;
    }
    out << measure << "\t" << ratioMeasureText(measures.overallRatio) << "\n";
    out << measure << "_SEG\t" << formatMeasure(measures.segmentalDb) << "\n";
    out << measure << " bieżącej ramki\t" << ratioMeasureText(measures.frameRatios.front()) << "\n";
}

} // namespace

int runSimulation(const SimOptions& options, SimSession& session) {
    Mnozniki multipliers = Mnozniki::defaults();
    for (const MultiplierEdit& edit : options.multiplierEdits)
        if (!applyMultiplierEdit(edit, multipliers, session.host))
            return kExitRefused;
    if (!options.mode)
        return kExitDone;

    const bool quantiser = *options.mode != SimMode::Prediction;
    const bool predictor = *options.mode != SimMode::Pcm;
    ConsoleRunHost host(session.err, session.signal, isatty(STDERR_FILENO) == 1);
    std::minstd_rand random; // the process's generator, default-seeded as at every start
    SimulationRun run(session.files, host, multipliers, random);
    if (run.start(quantiser, predictor, runSettings(options)) != 1)
        return kExitRefused;

    const auto measures = readStoredMeasures(session.files);
    if (!measures || measures->frameRatios.empty()) {
        host.showMessage("Nie można odczytać wyników symulacji z katalogu Tmp.", "Błąd");
        return kExitRefused;
    }
    printMeasures(*measures, !quantiser, options.json, session.out);
    return kExitDone;
}
