#pragma once

#include "ui/PixelCanvas.h"

#include <QWidget>

// A drawing surface of the window (640 × 145 pixels): shows the pixels of its canvas, which keep
// the last picture until the next redraw, as a bitmap-backed image control does. Blank (nothing
// painted, the parent shows through) until something is first drawn on it.
class SurfaceWidget : public QWidget {
    Q_OBJECT
public:
    explicit SurfaceWidget(QWidget* parent = nullptr);

    // The canvas to draw a new picture on; the surface shows it from the next paint on.
    PixelCanvas& drawingCanvas();
    const PixelCanvas& canvas() const { return canvas_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PixelCanvas canvas_;
    bool drawn_ = false;
};
