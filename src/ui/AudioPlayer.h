#pragma once

#include "ui/AudioBackend.h"
#include "ui/AudioClip.h"

#include <functional>
#include <optional>
#include <string>

// The audio player of the results page, in the manner of the platform's media player: a file
// name, open, the mode, play, pause, stop, close. Opening reads the whole WAV file into memory
// and closes it at once, so the file can be rewritten while the player holds it.
// Play starts the clip from the beginning when stopped (also after a playback that reached the
// end) and continues it when paused; pause toggles between playing and paused; stop ends the
// playback, so the next play starts from the beginning. Commands that do not fit the mode (any
// command while closed, play while playing) do nothing. Without an output device the player
// still opens and closes files but never plays.
class AudioPlayer {
public:
    enum class Mode { Closed, Stopped, Playing, Paused };

    explicit AudioPlayer(AudioBackend& backend);
    ~AudioPlayer();
    AudioPlayer(const AudioPlayer&) = delete;
    AudioPlayer& operator=(const AudioPlayer&) = delete;

    void setFileName(std::string path) { fileName_ = std::move(path); }
    const std::string& fileName() const { return fileName_; }

    // Opens the file named; false (and closed) when it cannot be read as a WAV file.
    bool open();
    void close();
    Mode mode() const { return mode_; }
    bool isOpen() const { return mode_ != Mode::Closed; }

    void play();
    void pause();
    void stop();

    // Empty when sound can be played, else why not.
    std::string unavailableReason() const { return backend_.unavailableReason(); }

    // Called after every change of the mode.
    void setModeHandler(std::function<void()> handler) { modeChanged_ = std::move(handler); }

private:
    void setMode(Mode mode);

    AudioBackend& backend_;
    std::string fileName_;
    std::optional<AudioClip> clip_;
    Mode mode_ = Mode::Closed;
    std::function<void()> modeChanged_;
};
