#pragma once

#include <QFont>
#include <QString>
#include <QWidget>

class QLabel;

// Small helpers that give Qt widgets the look the window's layout names: fonts by character
// height in pixels, geometry as left, top, width, height relative to the parent, and labels that
// size themselves to their text.
namespace look {

// The sans-serif face of every window (DejaVu Sans carries the Polish letters), condensed, at a
// pixel height.
QFont pixelFont(int pixels, bool bold = false);

// Places w at (left, top) with the given size and returns it, so construction and placement read
// as one line.
template <class W> W* place(W* w, int left, int top, int width, int height) {
    w->setGeometry(left, top, width, height);
    return w;
}

// A label anchored at its top-left corner that grows or shrinks with its text.
QLabel* autoLabel(const QString& text, QWidget* parent, int left, int top, const QFont& font);
void setAutoText(QLabel* label, const QString& text);

} // namespace look
