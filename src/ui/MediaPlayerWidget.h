#pragma once

#include <QWidget>

class QToolButton;

// The three buttons of the audio player: Play, Pause, Stop. A press is passed on as `pressed`
// (the window's handler then acts on the player). The buttons are usable only while a file is
// open and sound can be played; without an output device they stay inactive and their tooltip
// says why.
class MediaPlayerWidget : public QWidget {
    Q_OBJECT
public:
    enum class Button { Play, Pause, Stop };

    explicit MediaPlayerWidget(QWidget* parent = nullptr);

    // usable: a file is open and a device exists; reason: why sound cannot be played, or empty.
    void setUsable(bool usable, const QString& reason);
    QToolButton* button(Button which) const;

signals:
    void pressed(MediaPlayerWidget::Button button);

private:
    QToolButton* play_;
    QToolButton* pause_;
    QToolButton* stop_;
};
