#include "ui/WspForm.h"

#include "ui/CoefficientColours.h"
#include "ui/WidgetLook.h"

#include <QTextCursor>
#include <QTextEdit>

TWspForm::TWspForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Legenda"));
    setFont(look::pixelFont(13));
    setFixedSize(236, 222);
    move(605, 109);
    LegendaMemo = look::place(new QTextEdit(this), 0, 0, 236, 222);
    LegendaMemo->setReadOnly(true);
    FormCreate();
}

void TWspForm::FormCreate() {
    // Each line is inserted in the colour set just before it.
    QTextCursor cursor(LegendaMemo->document());
    for (std::size_t k = 0; k < kCoefficientColours.size(); ++k) {
        const Rgb c = kCoefficientColours[k];
        QTextCharFormat format;
        format.setForeground(QColor(c.r, c.g, c.b));
        if (k > 0)
            cursor.insertBlock();
        cursor.insertText(QStringLiteral("współczynnik a%1").arg(k), format);
    }
}
