#include "ui/WidgetLook.h"

#include <QLabel>

namespace look {

namespace {
// The layout's geometry was made for a narrower face than DejaVu Sans: at the same heights its
// captions are up to a fifth wider and would not fit their controls. Condensing the face to 80 % of
// its width keeps the heights and lets every caption fit.
constexpr int kStretch = 80;
} // namespace

QFont pixelFont(int pixels, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setStretch(kStretch);
    return font;
}

QLabel* autoLabel(const QString& text, QWidget* parent, int left, int top, const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->move(left, top);
    label->adjustSize();
    return label;
}

void setAutoText(QLabel* label, const QString& text) {
    label->setText(text);
    label->adjustSize();
}

} // namespace look
