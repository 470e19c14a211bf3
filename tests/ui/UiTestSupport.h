#pragma once

#include "TempDir.h"
#include "ui/UiDialogs.h"

#include <cstdint>
#include <deque>
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
    std::deque<std::optional<std::string>> fileAnswers;
    int fileDialogOpened = 0;
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
