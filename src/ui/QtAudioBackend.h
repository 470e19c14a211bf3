#pragma once

#include "ui/AudioBackend.h"

#include <QBuffer>
#include <QByteArray>

#include <memory>

class QAudioSink;

// AudioBackend on Qt Multimedia: a QAudioSink pulls the clip from a memory buffer. A new sink is
// made for every start (a sink used again was seen to stall); suspend and resume map onto the
// sink's own. Without an output device nothing is started and unavailableReason() says why.
class QtAudioBackend : public AudioBackend {
public:
    QtAudioBackend();
    ~QtAudioBackend() override;

    std::string unavailableReason() const override;
    void start(const AudioClip& clip) override;
    void suspend() override;
    void resume() override;
    void stop() override;

private:
    QByteArray data_;
    QBuffer buffer_;
    std::unique_ptr<QAudioSink> sink_;
};
