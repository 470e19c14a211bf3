#include "ui/AudioPlayer.h"

AudioPlayer::AudioPlayer(AudioBackend& backend) : backend_(backend) {
    backend_.setFinishedHandler([this] {
        if (mode_ == Mode::Playing) {
            backend_.stop();
            setMode(Mode::Stopped);
        }
    });
}

AudioPlayer::~AudioPlayer() {
    backend_.setFinishedHandler({});
    if (mode_ == Mode::Playing || mode_ == Mode::Paused)
        backend_.stop();
}

bool AudioPlayer::open() {
    close();
    clip_ = loadAudioClip(fileName_);
    if (!clip_)
        return false;
    setMode(Mode::Stopped);
    return true;
}

void AudioPlayer::close() {
    stop();
    clip_.reset();
    if (mode_ != Mode::Closed)
        setMode(Mode::Closed);
}

void AudioPlayer::play() {
    if (mode_ == Mode::Paused) {
        backend_.resume();
        setMode(Mode::Playing);
    } else if (mode_ == Mode::Stopped && unavailableReason().empty()) {
        backend_.start(*clip_);
        setMode(Mode::Playing);
    }
}

void AudioPlayer::pause() {
    if (mode_ == Mode::Playing) {
        backend_.suspend();
        setMode(Mode::Paused);
    } else if (mode_ == Mode::Paused) {
        backend_.resume();
        setMode(Mode::Playing);
    }
}

void AudioPlayer::stop() {
    if (mode_ == Mode::Playing || mode_ == Mode::Paused) {
        backend_.stop();
        setMode(Mode::Stopped);
    }
}

void AudioPlayer::setMode(Mode mode) {
    mode_ = mode;
    if (modeChanged_)
        modeChanged_();
}
