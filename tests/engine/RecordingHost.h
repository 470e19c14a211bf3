#pragma once

#include "engine/InputActions.h"

#include <string>
#include <vector>

// Records what the input actions ask of the window, one line per call, e.g. "message Blad: ...",
// "scroll 19", "source sine", "file name x.wav", "clear frequency", "enable", "draw".
class RecordingHost : public InputHost {
public:
    std::vector<std::string> calls;

    void showMessage(const std::string& text, const std::string& title) override {
        calls.push_back("message " + title + ": " + text);
    }
    void resetInputScrollBar(int lastFrame) override {
        calls.push_back("scroll " + std::to_string(lastFrame));
    }
    void selectSource(InputSource source) override {
        calls.push_back(source == InputSource::WaveFile ? "source wav" : "source sine");
    }
    void showFileName(const std::string& name) override { calls.push_back("file name " + name); }
    void clearFrequency() override { calls.push_back("clear frequency"); }
    void enableAttenuation() override { calls.push_back("enable"); }
    void drawInputView() override { calls.push_back("draw"); }
};
