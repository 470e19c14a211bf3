#pragma once

#include "ui/AudioClip.h"

#include <functional>
#include <string>

// The sound output under the audio player, so that tests never touch a device: the program uses
// QtAudioBackend, tests a fake that records the calls. Each start plays a clip from its
// beginning on a fresh output; suspend and resume pause and continue it; stop ends it.
class AudioBackend {
public:
    virtual ~AudioBackend() = default;

    // Why nothing can be played (no output device), or empty when sound can be played.
    virtual std::string unavailableReason() const = 0;

    virtual void start(const AudioClip& clip) = 0;
    virtual void suspend() = 0;
    virtual void resume() = 0;
    virtual void stop() = 0;

    // Called (on the interface thread) when a started clip has played to its end.
    void setFinishedHandler(std::function<void()> handler) { finished_ = std::move(handler); }

protected:
    void notifyFinished() {
        if (finished_)
            finished_();
    }

private:
    std::function<void()> finished_;
};
