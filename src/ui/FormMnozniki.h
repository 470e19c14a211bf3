#pragma once

#include "quant/Mnozniki.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class UiDialogs;

// The dialog "Mnożniki": the step multipliers of the adaptive quantiser for 4, 8 and 16 levels,
// one text field per level (28 in all), shown with 7 significant digits and a decimal comma.
// It owns the program's multiplier table, set to the defaults when it is created; the main window
// hands table() to every run. OK stores the fields in order and stops at the first text that is
// not a number ("Niepoprawny format liczby" / "Błąd"): the elements before it keep their new
// values, the rest their old ones, and the dialog stays open. Cancel writes the table back into
// the fields. The window's close button runs neither, so typed texts survive until the next
// opening. No range check: zero, negative and large multipliers are stored as typed.
class TFormMnozniki : public QDialog {
    Q_OBJECT
public:
    explicit TFormMnozniki(UiDialogs& dialogs, QWidget* parent = nullptr);

    const Mnozniki& table() const { return table_; }

    // Edit4[k] shows element k of Mnozniki4 (the layout's Edit4_<k+1>), and so on.
    std::array<QLineEdit*, 4> Edit4{};
    std::array<QLineEdit*, 8> Edit8{};
    std::array<QLineEdit*, 16> Edit16{};
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonCancel = nullptr;

public slots:
    void ButtonOKClick();
    void ButtonCancelClick();

private:
    void createUi();
    // Writes every element into its field in the display format.
    void showTable();
    // Calls f(field, element) for the 28 pairs in the order 4, 8, 16 levels, level 0 first; stops
    // when f returns false.
    template <class F> bool forEachField(F f);

    UiDialogs& dialogs_;
    Mnozniki table_ = Mnozniki::defaults();
};
