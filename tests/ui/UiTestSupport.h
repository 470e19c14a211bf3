#pragma once

#include "TempDir.h"
#include "ui/AudioBackend.h"
#include "ui/UiDialogs.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Stands in for the message box and the open-file dialog: records every message and answers the
// dialog from a queue (an empty queue answers as a cancelled dialog).
class FakeDialogs : public UiDialogs {
public:
    using Message = std::pair<std::string, std::string>; // text, title

    void message(const std::string& text, const std::string& title) override {
        messages.emplace_back(text, title);
        if (onMessage)
            onMessage();
    }
    std::optional<std::string> openWaveFile() override {
        ++fileDialogOpened;
        if (fileAnswers.empty())
            return std::nullopt;
        std::optional<std::string> answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }

    std::vector<Message> messages;
    std::function<void()> onMessage; // runs while the box would be open
    std::deque<std::optional<std::string>> fileAnswers;
    int fileDialogOpened = 0;
};

// Stands in for the sound output: records the commands, plays nothing; finish() acts as the end
// of the clip. `reason` non-empty plays the machine without an output device.
class FakeAudio : public AudioBackend {
public:
    std::string unavailableReason() const override { return reason; }
    void start(const AudioClip& clip) override {
        calls.push_back("start");
        started = clip;
    }
    void suspend() override { calls.push_back("suspend"); }
    void resume() override { calls.push_back("resume"); }
    void stop() override { calls.push_back("stop"); }
    void finish() { notifyFinished(); }

    std::string reason;
    std::vector<std::string> calls;
    std::optional<AudioClip> started;
};

// A fresh start-up directory: Tmp with the shipped template wzorzec.wav, and four schematic
// bitmaps told apart by their widths (kBitmapWidth), white with one black pixel at (1, 1).
class StartupDir {
public:
    StartupDir();
    const std::string& path() const { return dir.path(); }
    std::string tmp(const std::string& name) const { return dir.tmp(name); }
    std::string file(const std::string& name) const { return dir.file(name); }

    TempDir dir;
};

inline constexpr int kAdpcmBitmapWidth = 40;
inline constexpr int kQuantiserBitmapWidth = 30;
inline constexpr int kPredictorBitmapWidth = 20;
inline constexpr int kEmptyBitmapWidth = 10;

// A canonical 16-bit mono 8000 Hz WAV file holding the given codes.
void writeWav16(const std::string& path, const std::vector<std::int16_t>& codes);
