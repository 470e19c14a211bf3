#pragma once

#include "RecordingRunHost.h"
#include "TempDir.h"

#include "engine/SimulationRun.h"
#include "engine/WorkingFiles.h"
#include "quant/Mnozniki.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

// A start-up directory with an input signal, and the objects the window would hand to a run.
class RunFixture : public ::testing::Test {
protected:
    RunFixture() {
        // we.wav is the format reference of wy.wav: the shipped 8 kHz tone template will do.
        std::filesystem::copy_file("data/Tmp/wzorzec.wav", dir.tmp("we.wav"));
    }

    // Writes Tmp/001.tmp: header N, then the samples.
    void setInput(const std::vector<float>& samples) {
        std::vector<float> words{float(samples.size())};
        words.insert(words.end(), samples.begin(), samples.end());
        writeStream(dir.tmp("001.tmp"), words);
    }

    std::vector<float> stream(const std::string& name) const { return readStream(dir.tmp(name)); }

    // One simulation as the button starts it; host records the calls.
    int simulate(bool quantiser, bool predictor, const RunSettings& settings) {
        SimulationRun run(files, host, mnozniki, random);
        return run.start(quantiser, predictor, settings);
    }

    static RunSettings pcm(const char* levels, int kind = 0, const char* range = "1,0") {
        RunSettings s;
        s.levelsText = levels;
        s.quantiserItem = kind;
        s.rangeText = range;
        return s;
    }
    static RunSettings adpcm(const char* levels, int kind, const char* range, const char* order,
                             const char* parameter, int algorithm = 0) {
        RunSettings s = pcm(levels, kind, range);
        s.predictorItem = algorithm;
        s.coefficientsText = order;
        s.parameterText = parameter;
        return s;
    }
    static RunSettings prediction(const char* order, const char* parameter, int algorithm = 0) {
        RunSettings s;
        s.coefficientsText = order;
        s.parameterText = parameter;
        s.predictorItem = algorithm;
        return s;
    }

    TempDir dir;
    WorkingFiles files{dir.path()};
    RecordingRunHost host;
    Mnozniki mnozniki = Mnozniki::defaults();
    std::minstd_rand random;
};
