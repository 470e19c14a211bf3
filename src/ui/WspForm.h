#pragma once

#include <QDialog>

class QTextEdit;

// The legend "Legenda": the eleven lines "współczynnik a0" … "współczynnik a10", each in the
// colour its coefficient track has in the results view (the shared coefficient colour table).
// The text is written once, when the window is created, so showing it again never adds lines; the
// user cannot edit it. Shown modally from the main window's "Legenda..." button.
class TWspForm : public QDialog {
    Q_OBJECT
public:
    explicit TWspForm(QWidget* parent = nullptr);

    QTextEdit* LegendaMemo = nullptr;

private:
    void FormCreate();
};
