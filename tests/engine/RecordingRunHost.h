#pragma once

#include "engine/RunHost.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// A run host that records every call, in order, for the tests to inspect.
class RecordingRunHost : public RunHost {
public:
    using Message = std::pair<std::string, std::string>; // text, title

    void showMessage(const std::string& text, const std::string& title) override {
        messages.emplace_back(text, title);
        events.push_back("message");
    }
    void setProgressRange(int maximum) override { progressMaximum = maximum; }
    void setProgress(int position) override { progress.push_back(position); }
    void setResultsRange(int maximum) override {
        resultsMaximum = maximum;
        events.push_back("results-range");
    }
    void drawResults() override { events.push_back("draw"); }
    SignalState& signal() override { return state; }
    void computationStarted() override { events.push_back("started"); }
    void computationFinished() override { events.push_back("finished"); }
    void releaseOutputWav() override { events.push_back("release"); }

    std::vector<Message> messages;
    std::vector<std::string> events;
    std::vector<int> progress;
    int progressMaximum = -100;
    int resultsMaximum = -100;
    SignalState state;
};

// The number of file descriptors this process holds: equal before and after a run when the run
// closed every file it opened.
inline int openDescriptorCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}
