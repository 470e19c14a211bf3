#pragma once

#include <optional>
#include <string>

// The platform services the windows call on and a test must be able to answer: the modal message
// box and the open-file dialog for input files. The program uses QtDialogs; tests give a fake that
// records the messages and answers the dialog from a script. Texts are UTF-8, paths are in the
// file system's own encoding.
class UiDialogs {
public:
    virtual ~UiDialogs() = default;

    // A modal box with the text, the title and one OK button, no icon; returns once it is closed.
    virtual void message(const std::string& text, const std::string& title) = 0;

    // The open-file dialog for WAV files (filter "Pliki wave (*.wav)"), starting in "Frazy" under
    // the current directory and, after the first choice, at the last file accepted. The full path
    // of the accepted file, or nothing when the user cancelled.
    virtual std::optional<std::string> openWaveFile() = 0;
};
