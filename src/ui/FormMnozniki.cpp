#include "ui/FormMnozniki.h"

#include "engine/NumberText.h"
#include "ui/UiDialogs.h"
#include "ui/WidgetLook.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <span>

using look::place;

namespace {

constexpr std::array<int, 4> kColumnLeft{16, 152, 288, 424};
constexpr int kEditWidth = 121;
constexpr int kEditHeight = 24;

// Lays out the fields of one table row group: four per line, lines from `top` 40 pixels apart.
template <std::size_t N>
void createEdits(std::array<QLineEdit*, N>& edits, const char* prefix, int top, QWidget* parent) {
    for (std::size_t k = 0; k < N; ++k) {
        auto* edit = new QLineEdit(parent);
        edit->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(prefix)).arg(k + 1));
        place(edit, kColumnLeft[k % 4], top + 40 * static_cast<int>(k / 4), kEditWidth,
              kEditHeight);
        edits[k] = edit;
    }
}

} // namespace

TFormMnozniki::TFormMnozniki(UiDialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs) {
    createUi();
    showTable();
    connect(ButtonOK, &QPushButton::clicked, this, &TFormMnozniki::ButtonOKClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormMnozniki::ButtonCancelClick);
}

void TFormMnozniki::createUi() {
    setWindowTitle(QStringLiteral("Mnożniki"));
    setFont(look::pixelFont(11));
    setFixedSize(562, 407);
    move(185, 121);

    Label1 = look::autoLabel(QStringLiteral("4 poziomy kwantyzacji"), this, 16, 8, font());
    createEdits(Edit4, "Edit4_", 32, this);
    Label2 = look::autoLabel(QStringLiteral("8 poziomów kwantyzacji"), this, 16, 72, font());
    createEdits(Edit8, "Edit8_", 96, this);
    Label3 = look::autoLabel(QStringLiteral("16 poziomów kwantyzacji"), this, 16, 176, font());
    createEdits(Edit16, "Edit16_", 200, this);
    ButtonOK = place(new QPushButton(QStringLiteral("OK"), this), 200, 368, 75, 25);
    ButtonCancel = place(new QPushButton(QStringLiteral("Cancel"), this), 288, 368, 75, 25);
    // Enter in a field does not press a button: each button acts only when pressed.
    ButtonOK->setAutoDefault(false);
    ButtonCancel->setAutoDefault(false);

    // Tab order: the fields row by row, then OK and Cancel.
    QWidget* previous = nullptr;
    forEachField([&previous](QLineEdit* edit, float&) {
        if (previous)
            setTabOrder(previous, edit);
        previous = edit;
        return true;
    });
    setTabOrder(previous, ButtonOK);
    setTabOrder(ButtonOK, ButtonCancel);
}

template <class F> bool TFormMnozniki::forEachField(F f) {
    const auto row = [&f](std::span<QLineEdit* const> edits, std::span<float> values) {
        for (std::size_t k = 0; k < edits.size(); ++k)
            if (!f(edits[k], values[k]))
                return false;
        return true;
    };
    return row(Edit4, table_.Mnozniki4) && row(Edit8, table_.Mnozniki8) &&
           row(Edit16, table_.Mnozniki16);
}

void TFormMnozniki::showTable() {
    forEachField([](QLineEdit* edit, float& value) {
        edit->setText(QString::fromStdString(formatMultiplier(value)));
        return true;
    });
}

void TFormMnozniki::ButtonOKClick() {
    // Each element is stored as soon as its text converts, so a bad text leaves the elements
    // before it changed and those from it on as they were.
    const bool allStored = forEachField([](QLineEdit* edit, float& value) {
        const std::optional<float> parsed = parseDecimal(edit->text().toStdString());
        if (!parsed)
            return false;
        value = *parsed;
        return true;
    });
    if (!allStored) {
        dialogs_.message("Niepoprawny format liczby", "Błąd");
        return;
    }
    accept();
}

void TFormMnozniki::ButtonCancelClick() {
    showTable();
    reject();
}
