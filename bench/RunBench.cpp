// Throughput and memory of whole simulation runs, as the button "SYMULACJA" starts them: the
// run with its working files, then wy.wav.
//
// The input is the speech fixtures repeated with varying gain up to the requested length
// (2^22 samples by default). Each run is measured in a child process of its own, which first
// measures the I/O floor of that run (reading 001.tmp and writing the run's streams, four bytes
// at a time through the same buffered streams, no arithmetic) and then the run; the child's peak
// resident memory comes from the kernel when it ends. Memory is measured at 2^20 and at the full
// length, to show that it does not grow with the signal.
//
// Run from the project root (for ../shared/fixtures/speech), in a Release build:
//   build/release/bench/run_bench [samples [text]]
// where only the runs whose name contains `text` (e.g. "NSK") are measured.
#include "engine/Runs.h"
#include "engine/SampleStream.h"
#include "engine/SimulationRun.h"
#include "engine/WorkingFiles.h"
#include "quant/Mnozniki.h"
#include "wave/WaveFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr long kDefaultSamples = 1L << 22;
constexpr long kSmallSamples = 1L << 20;

struct RunKind {
    const char* name;
    bool quantiser, predictor;
    RunSettings settings;
    std::vector<std::string_view> streams; // written per sample (besides the measures)
    int coefficients;                      // values per sample in 005.tmp
};

RunSettings settingsOf(const char* levels, int law, int algorithm, const char* order,
                       const char* parameter) {
    RunSettings s;
    s.levelsText = levels;
    s.quantiserItem = law;
    s.predictorItem = algorithm;
    s.coefficientsText = order;
    s.parameterText = parameter;
    return s;
}

std::vector<RunKind> runKinds() {
    using namespace workfile;
    const std::vector<std::string_view> pcm{output, quantError};
    const std::vector<std::string_view> prediction{output, predError};
    const std::vector<std::string_view> adpcm{output, predError, quantError};
    enum { ROW, ADAP, LOG, LLOYD };
    enum { SG, SGN, NSK };
    return {
        {"PCM ROW 16", true, false, settingsOf("16", ROW, SG, "", ""), pcm, 0},
        {"PCM LOG 16", true, false, settingsOf("16", LOG, SG, "", ""), pcm, 0},
        {"PCM ADAP 16", true, false, settingsOf("16", ADAP, SG, "", ""), pcm, 0},
        {"PCM LLOYD 16", true, false, settingsOf("16", LLOYD, SG, "", ""), pcm, 0},
        {"prediction SG K=11", false, true, settingsOf("", ROW, SG, "11", "0,01"), prediction, 11},
        {"prediction SGN K=11", false, true, settingsOf("", ROW, SGN, "11", "0,01"), prediction,
         11},
        {"prediction NSK K=11", false, true, settingsOf("", ROW, NSK, "11", "1"), prediction, 11},
        {"ADPCM SG K=11", true, true, settingsOf("16", ADAP, SG, "11", "0,01"), adpcm, 11},
        {"ADPCM SGN K=11", true, true, settingsOf("16", ADAP, SGN, "11", "0,01"), adpcm, 11},
        {"ADPCM NSK K=11", true, true, settingsOf("16", ADAP, NSK, "11", "1"), adpcm, 11},
    };
}

// Writes Tmp/001.tmp: the fixture phrases one after another, each repetition of the whole set
// at the next gain of a cycle, until `samples` values are written.
bool writeSpeechInput(const WorkingFiles& files, long samples) {
    std::vector<fs::path> phrases;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("../shared/fixtures/speech", error))
        if (entry.path().extension() == ".wav")
            phrases.push_back(entry.path());
    std::sort(phrases.begin(), phrases.end());
    if (phrases.empty())
        return false;
    const float gains[] = {1.0f, 0.5f, 0.8f, 0.25f, 0.65f};
    StreamWriter out(files.path(workfile::input));
    out.write(float(samples));
    long written = 0;
    for (int repetition = 0; written < samples; ++repetition) {
        const float gain = gains[repetition % std::size(gains)];
        for (const fs::path& phrase : phrases) {
            WaveFile wav;
            if (!wav.OpenForReading(phrase.string()))
                return false;
            float value;
            while (written < samples && wav.ReadSample(value)) {
                out.write(value * gain);
                ++written;
            }
            wav.Close();
        }
    }
    return out.close();
}

// A start-up directory with the input and the format reference of wy.wav.
bool prepareDirectory(const fs::path& dir, long samples) {
    fs::create_directories(dir / "Tmp");
    std::error_code error;
    fs::copy_file("data/Tmp/wzorzec.wav", dir / "Tmp" / "we.wav",
                  fs::copy_options::overwrite_existing, error);
    return !error && writeSpeechInput(WorkingFiles(dir.string()), samples);
}

// A host with nothing to show; messages are printed, since a benchmark run should have none.
class QuietHost : public RunHost {
public:
    void showMessage(const std::string& text, const std::string& title) override {
        std::fprintf(stderr, "  message: %s: %s\n", title.c_str(), text.c_str());
    }
    void setProgressRange(int) override {}
    void setProgress(int) override {}
    void setResultsRange(int) override {}
    void drawResults() override {}
    SignalState& signal() override { return state_; }

private:
    SignalState state_;
};

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The least a run could cost: its input read and its per-sample streams written value by value.
double ioFloorSeconds(const WorkingFiles& files, const RunKind& kind, long samples) {
    const auto start = std::chrono::steady_clock::now();
    StreamReader in(files.path(workfile::input));
    std::vector<std::unique_ptr<StreamWriter>> out;
    for (std::string_view name : kind.streams)
        out.push_back(std::make_unique<StreamWriter>(files.path(name)));
    std::unique_ptr<StreamWriter> coefficients;
    if (kind.coefficients > 0)
        coefficients = std::make_unique<StreamWriter>(files.path(workfile::coefficients));
    float x;
    in.read(x);
    for (long n = 0; n < samples && in.read(x); ++n) {
        for (auto& stream : out)
            stream->write(x);
        for (int k = 0; k < kind.coefficients; ++k)
            coefficients->write(x);
    }
    for (auto& stream : out)
        stream->close();
    if (coefficients)
        coefficients->close();
    return secondsSince(start);
}

struct Measurement {
    int result = 0;
    double runSeconds = 0.0;    // wall clock
    double runCpuSeconds = 0.0; // user + system time of the run alone
    double floorSeconds = 0.0;
    long peakKiB = 0;
};

// User and system time this process has used so far.
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Measures one run in a child process, so that its peak memory is its own.
Measurement measureInChild(const fs::path& dir, const RunKind& kind, long samples) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        const WorkingFiles files(dir.string());
        Measurement m;
        // Each timed part starts with no dirty pages left by the one before, so it does not pay
        // for their write-back.
        sync();
        m.floorSeconds = ioFloorSeconds(files, kind, samples);
        sync();
        QuietHost host;
        const Mnozniki multipliers = Mnozniki::defaults();
        std::minstd_rand random;
        SimulationRun run(files, host, multipliers, random);
        const double cpuStart = cpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        m.result = run.start(kind.quantiser, kind.predictor, kind.settings);
        m.runSeconds = secondsSince(start);
        m.runCpuSeconds = cpuSeconds() - cpuStart;
        const bool sent = write(pipeEnds[1], &m, sizeof m) == ssize_t(sizeof m);
        _exit(sent ? 0 : 1);
    }
    close(pipeEnds[1]);
    Measurement m;
    const bool received = read(pipeEnds[0], &m, sizeof m) == ssize_t(sizeof m);
    close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!received)
        return {};
    m.peakKiB = usage.ru_maxrss;
    return m;
}

} // namespace

int main(int argc, char** argv) {
    const long samples = argc > 1 ? std::atol(argv[1]) : kDefaultSamples;
    const std::string only = argc > 2 ? argv[2] : "";
    if (samples < kSmallSamples || samples > 16777216) {
        std::fprintf(stderr, "usage: run_bench [samples: %ld … 16777216 [part of a run's name]]\n",
                     kSmallSamples);
        return 2;
    }
    const fs::path root =
        fs::temp_directory_path() / ("modulacje-bench-" + std::to_string(getpid()));
    const fs::path large = root / "large", small = root / "small";
    if (!prepareDirectory(large, samples) || !prepareDirectory(small, kSmallSamples)) {
        std::fprintf(stderr, "cannot build the input (run from the project root)\n");
        return 1;
    }
    std::printf("%ld samples of speech-like input; peak memory also at %ld samples\n\n", samples,
                kSmallSamples);
    std::printf("%-22s %8s %8s %8s %9s %6s %10s %10s\n", "run", "time [s]", "M/s", "M/s CPU",
                "floor M/s", "ratio", "peak 2^20", "peak full");
    for (const RunKind& kind : runKinds()) {
        if (std::string(kind.name).find(only) == std::string::npos)
            continue;
        const Measurement full = measureInChild(large, kind, samples);
        const Measurement smallRun = measureInChild(small, kind, kSmallSamples);
        if (full.result != 1 || smallRun.result != 1) {
            std::printf("%-22s did not complete\n", kind.name);
            continue;
        }
        std::printf("%-22s %8.3f %8.2f %8.2f %9.2f %6.2f %6.1f MiB %6.1f MiB\n", kind.name,
                    full.runSeconds, samples / full.runSeconds / 1e6,
                    samples / full.runCpuSeconds / 1e6, samples / full.floorSeconds / 1e6,
                    full.runSeconds / full.floorSeconds, smallRun.peakKiB / 1024.0,
                    full.peakKiB / 1024.0);
    }
    std::error_code error;
    fs::remove_all(root, error);
    return 0;
}
