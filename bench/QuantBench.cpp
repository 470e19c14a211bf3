// Throughput of the quantisers on speech-like data, in samples per second.
//
// Targets: "ROW", "LOG" and "ADAP" at 16 levels quantise well above 10 M samples/s (the PCM run
// adds its stream reads and writes to this), and "LLOYD" at 16 levels designs and quantises at
// least 2 M samples/s. Run from the project root so the speech fixtures are found; without them a
// synthetic signal is used.
#include "engine/SampleStream.h"
#include "quant/Kwantyzery.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kSamples = 4'000'000;

// The fixture phrases (16-bit mono after a 44-byte header) repeated to kSamples, or a decaying
// noisy tone when they are missing.
std::vector<float> speechLike() {
    std::vector<float> phrase;
    const std::filesystem::path dir = "../shared/fixtures/speech";
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        if (entry.path().extension() != ".wav")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
        for (std::size_t i = 44; i + 1 < bytes.size(); i += 2)
            phrase.push_back(float(std::int16_t(bytes[i] | bytes[i + 1] << 8)) / 32768.0f);
    }
    if (phrase.empty()) {
        std::minstd_rand noise;
        for (int i = 0; i < 8000; ++i)
            phrase.push_back(float(0.5 * std::sin(i * 0.07) * std::exp(-i / 4000.0) +
                                   0.05 * (double(noise()) / noise.max() - 0.5)));
    }
    std::vector<float> signal(kSamples);
    for (std::size_t i = 0; i < kSamples; ++i)
        signal[i] = phrase[i % phrase.size()];
    return signal;
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The sum of the outputs keeps the compiler from dropping the calls.
double quantiseAll(Kwantyzery& q, const std::vector<float>& signal) {
    double sum = 0;
    for (float x : signal)
        sum += q.Kwantyzuj(x);
    return sum;
}

void report(const char* what, double samplesPerSecond, double target, double checksum) {
    std::printf("%-34s %8.1f M samples/s  (target %4.1f)  %s   [%g]\n", what,
                samplesPerSecond / 1e6, target / 1e6, samplesPerSecond >= target ? "ok" : "SLOW",
                checksum);
}

} // namespace

int main() {
    const std::vector<float> signal = speechLike();
    const std::string path =
        (std::filesystem::temp_directory_path() / "modulacje-quant-bench.tmp").string();
    {
        StreamWriter out(path);
        out.write(float(signal.size()));
        out.write(signal.data(), signal.size());
        if (!out.close()) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    const Mnozniki table = Mnozniki::defaults();
    std::minstd_rand random;
    const QuantiserInputs inputs{table, path, random};

    struct Law {
        const char* name;
        const char* kind;
        int levels;
    };
    for (const Law law :
         {Law{"ROW, 16 levels: quantise", "ROW", 16}, Law{"LOG, 16 levels: quantise", "LOG", 16},
          Law{"ADAP, 16 levels: quantise", "ADAP", 16},
          Law{"ROW, 256 levels: quantise", "ROW", 256}}) {
        Kwantyzery q(law.kind, law.levels, 1.0f, 0, inputs);
        const auto start = std::chrono::steady_clock::now();
        const double checksum = quantiseAll(q, signal);
        report(law.name, signal.size() / seconds(start), 10e6, checksum);
    }
    for (const int code : {1, 2, 3}) {
        const auto start = std::chrono::steady_clock::now();
        Kwantyzery q("LLOYD", 16, 1.0f, code, inputs);
        const double checksum = quantiseAll(q, signal);
        const std::string name = "LLOYD, 16 levels, code " + std::to_string(code) + ": design+run";
        report(name.c_str(), signal.size() / seconds(start), 2e6, checksum);
    }
    {
        const auto start = std::chrono::steady_clock::now();
        Kwantyzery q("LLOYD", 65536, 1.0f, 3, inputs);
        const double checksum = quantiseAll(q, signal);
        report("LLOYD, 65536 levels: design+run", signal.size() / seconds(start), 0, checksum);
    }
    std::filesystem::remove(path);
    return 0;
}
