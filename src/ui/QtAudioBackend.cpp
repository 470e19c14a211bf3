#include "ui/QtAudioBackend.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

QtAudioBackend::QtAudioBackend() = default;

QtAudioBackend::~QtAudioBackend() {
    if (sink_)
        sink_->stop();
}

std::string QtAudioBackend::unavailableReason() const {
    if (QMediaDevices::audioOutputs().isEmpty())
        return "Brak urządzenia odtwarzającego dźwięk: odsłuch jest niedostępny.";
    return {};
}

void QtAudioBackend::start(const AudioClip& clip) {
    stop();
    if (!unavailableReason().empty())
        return;
    QAudioFormat format;
    format.setSampleRate(clip.sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(clip.bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);

    data_ = QByteArray(reinterpret_cast<const char*>(clip.pcm.data()),
                       static_cast<qsizetype>(clip.pcm.size()));
    buffer_.setData(data_);
    buffer_.open(QIODevice::ReadOnly);
    sink_ = std::make_unique<QAudioSink>(QMediaDevices::defaultAudioOutput(), format);
    QAudioSink* sink = sink_.get();
    // The sink goes idle when the buffer is drained: the clip has played to its end.
    QObject::connect(sink, &QAudioSink::stateChanged, sink, [this, sink](QAudio::State state) {
        if (state == QAudio::IdleState && sink == sink_.get() && buffer_.atEnd())
            notifyFinished();
    });
    sink->start(&buffer_);
}

void QtAudioBackend::suspend() {
    if (sink_)
        sink_->suspend();
}

void QtAudioBackend::resume() {
    if (sink_)
        sink_->resume();
}

void QtAudioBackend::stop() {
    if (sink_) {
        sink_->stop();
        // Deleted once control is back in the event loop: stop may be called from the sink's
        // own signal (a finished clip), which must not delete its sender.
        sink_.release()->deleteLater();
    }
    buffer_.close();
}
