// The input page of the main window: the group "Wejście" drives the input actions, the group
// "Widok" draws the input view.
#include "ui/FormModulacje.h"

#include "ui/ClickableLineEdit.h"
#include "ui/InputViewDrawing.h"
#include "ui/SurfaceWidget.h"
#include "ui/UiDialogs.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

void TFormModulacje::ButtonPrzegladajClick() {
    const std::optional<std::string> path = dialogs_.openWaveFile();
    if (!path)
        return; // cancelled: nothing changes, not even the radio buttons
    input_.chooseFile(*path);
}

void TFormModulacje::ButtonGenerujClick() {
    input_.generateTone(EditCzestotliwosc->text().toStdString());
}

void TFormModulacje::EditCzestotliwoscClick() {
    RadioButtonSinus->setChecked(true);
    input_.selectSource(InputSource::Sine);
}

void TFormModulacje::RadioButtonPlikWeClick() {
    input_.selectSource(InputSource::WaveFile);
}

void TFormModulacje::RadioButtonSinusClick() {
    input_.selectSource(InputSource::Sine);
}

void TFormModulacje::ButtonTlumClick() {
    input_.attenuate(EditTlumienie->text().toStdString());
}

void TFormModulacje::DrawInputView() {
    const InputViewMode mode =
        RadioButtonRamka->isChecked() ? InputViewMode::Frame : InputViewMode::Phrase;
    const std::optional<int> length =
        ::drawInputView(files_.path(workfile::input), mode, ScrollBarSygnalWe->value(),
                        ImageSygnalWe->drawingCanvas());
    if (length)
        signal_.signalLength = *length;
}

void TFormModulacje::ScrollBarSygnalWeChange() {
    DrawInputView();
}

void TFormModulacje::RadioButtonRamkaClick() {
    ScrollBarSygnalWe->setEnabled(true);
    DrawInputView();
}

void TFormModulacje::RadioButtonFrazaClick() {
    ScrollBarSygnalWe->setEnabled(false);
    DrawInputView();
}

// InputHost

void TFormModulacje::resetInputScrollBar(int lastFrame) {
    ScrollBarSygnalWe->setMinimum(0);
    ScrollBarSygnalWe->setMaximum(lastFrame);
    ScrollBarSygnalWe->setValue(0);
}

void TFormModulacje::selectSource(InputSource source) {
    if (source == InputSource::WaveFile)
        RadioButtonPlikWe->setChecked(true);
    else
        RadioButtonSinus->setChecked(true);
}

void TFormModulacje::showFileName(const std::string& name) {
    EditPlikWe->setText(QFile::decodeName(QByteArray::fromStdString(name)));
}

void TFormModulacje::clearFrequency() {
    EditCzestotliwosc->clear();
}

void TFormModulacje::enableAttenuation() {
    ButtonTlum->setEnabled(true);
    EditTlumienie->setEnabled(true);
    Label4->setEnabled(true);
}

void TFormModulacje::drawInputView() {
    DrawInputView();
}
