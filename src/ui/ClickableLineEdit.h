#pragma once

#include <QLineEdit>

// A text field that also reports a mouse click into it (the input page selects the tone source
// when the user clicks into the frequency field).
class ClickableLineEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
