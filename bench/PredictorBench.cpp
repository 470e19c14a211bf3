// Speed of the predictor alone, per algorithm at the largest order K = 11: samples per second of
// the per-sample calls a run makes (Przewiduj, NumerProbki, Adaptuj, PobierzWspolczynniki), on a
// speech-like signal in a working stream. Targets: SG and SGN well above 4 M samples/s, NSK above
// 1 M samples/s (a run adds its own file I/O on top).
//
// Usage: predict_bench [SAMPLES [SG|SGN|NSK]]   (default 1000000 samples, every algorithm)

#include "engine/MessageSink.h"
#include "engine/SampleStream.h"
#include "predict/Predyktory.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kBlock = 1000;

class CountingSink : public MessageSink {
public:
    void showMessage(const std::string&, const std::string&) override { ++count; }
    int count = 0;
};

// A decaying sum of a few tones with a little deterministic noise: coloured like voiced speech,
// so the least-squares matrix stays well conditioned and never overflows.
std::vector<float> signal(std::size_t n) {
    std::vector<float> x(n);
    std::uint32_t seed = 12345;
    for (std::size_t i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const double t = double(i) / 8000.0;
        const double noise = (double(seed >> 8) / double(1u << 24) - 0.5) * 0.01;
        x[i] = float(0.3 * std::sin(2 * M_PI * 220 * t) + 0.2 * std::sin(2 * M_PI * 660 * t + 1) +
                     0.1 * std::sin(2 * M_PI * 1500 * t) + noise);
    }
    return x;
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t n = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;
    const auto dir = std::filesystem::temp_directory_path() / "modulacje_predict_bench";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "001.tmp").string();
    const std::vector<float> x = signal(n);
    {
        StreamWriter out(path);
        out.write(float(n));
        out.write(x.data(), x.size());
        if (!out.close()) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }

    // Each algorithm runs a few times over the whole signal; the best time is reported, since on a
    // shared machine the others are slowed by work that is not ours.
    const std::string only = argc > 2 ? argv[2] : "";
    for (const char* code : {"SG", "SGN", "NSK"}) {
        if (!only.empty() && only != code)
            continue;
        const float parameter = std::string(code) == "NSK" ? 0.99f : 0.01f;
        double bestWall = 1e30, bestCpu = 1e30, bestBlock = 1e30;
        int messages = 0;
        bool fault = false;
        double check = 0;
        for (int repeat = 0; repeat < 3; ++repeat) {
            CountingSink sink;
            Predyktory p(code, 11, parameter, PredictorInputs{path, sink});
            float coefficients[11];
            const auto start = std::chrono::steady_clock::now();
            const std::clock_t cpuStart = std::clock();
            // The fastest block of kBlock samples estimates the speed of an idle processor.
            auto blockStart = start;
            for (std::size_t i = 0; i < n; ++i) {
                check += p.Przewiduj();
                p.NumerProbki = std::int32_t(i);
                p.Adaptuj(x[i]);
                p.PobierzWspolczynniki(coefficients);
                if ((i + 1) % kBlock == 0) {
                    const auto now = std::chrono::steady_clock::now();
                    bestBlock = std::min(bestBlock,
                                         std::chrono::duration<double>(now - blockStart).count());
                    blockStart = now;
                }
            }
            const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
            // Processor time as well: the wall clock also counts other programs' turns.
            const double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
            bestWall = std::min(bestWall, wall.count());
            bestCpu = std::min(bestCpu, cpu);
            messages += sink.count;
            fault = fault || p.fault();
            check += coefficients[0];
        }
        std::printf("%-4s K=11: %6.2f M samples/s wall, %6.2f processor time, %6.2f fastest "
                    "block (best of 3 x %zu samples; messages %d, fault %d, checksum %g)\n",
                    code, double(n) / bestWall / 1e6, double(n) / bestCpu / 1e6,
                    double(kBlock) / bestBlock / 1e6, n, messages, int(fault), check);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
