#include "ui/SurfaceWidget.h"

#include "ui/ViewGeometry.h"

#include <QImage>
#include <QPainter>

SurfaceWidget::SurfaceWidget(QWidget* parent)
    : QWidget(parent), canvas_(view::kWidth, view::kHeight) {
    setFixedSize(view::kWidth, view::kHeight);
}

PixelCanvas& SurfaceWidget::drawingCanvas() {
    drawn_ = true;
    update();
    return canvas_;
}

void SurfaceWidget::paintEvent(QPaintEvent*) {
    if (!drawn_)
        return;
    // The image wraps the canvas's words without copying; it lives only for this paint.
    const QImage image(reinterpret_cast<const uchar*>(canvas_.data()), canvas_.width(),
                       canvas_.height(), canvas_.width() * 4, QImage::Format_RGB32);
    QPainter painter(this);
    painter.drawImage(0, 0, image);
}
