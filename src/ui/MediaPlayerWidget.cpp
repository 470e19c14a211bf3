#include "ui/MediaPlayerWidget.h"

#include <QStyle>
#include <QToolButton>

namespace {

constexpr int kButtonWidth = 29;
constexpr int kButtonHeight = 30;

} // namespace

MediaPlayerWidget::MediaPlayerWidget(QWidget* parent) : QWidget(parent) {
    const auto makeButton = [this](int index, QStyle::StandardPixmap icon, const QString& name,
                                   Button which) {
        auto* b = new QToolButton(this);
        b->setIcon(style()->standardIcon(icon));
        b->setAccessibleName(name);
        b->setGeometry(index * kButtonWidth, 0, kButtonWidth, kButtonHeight);
        connect(b, &QToolButton::clicked, this, [this, which] { emit pressed(which); });
        return b;
    };
    play_ = makeButton(0, QStyle::SP_MediaPlay, QStringLiteral("Play"), Button::Play);
    pause_ = makeButton(1, QStyle::SP_MediaPause, QStringLiteral("Pause"), Button::Pause);
    stop_ = makeButton(2, QStyle::SP_MediaStop, QStringLiteral("Stop"), Button::Stop);
    setFixedSize(3 * kButtonWidth, kButtonHeight);
    setUsable(false, QString());
}

void MediaPlayerWidget::setUsable(bool usable, const QString& reason) {
    for (QToolButton* b : {play_, pause_, stop_}) {
        b->setEnabled(usable);
        b->setToolTip(reason.isEmpty() ? b->accessibleName() : reason);
    }
    // A disabled button shows no tooltip; the widget itself carries the reason too.
    setToolTip(reason);
}

QToolButton* MediaPlayerWidget::button(Button which) const {
    switch (which) {
    case Button::Play:
        return play_;
    case Button::Pause:
        return pause_;
    case Button::Stop:
        return stop_;
    }
    return nullptr;
}
