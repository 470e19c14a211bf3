// The button "SYMULACJA" of the main window, and what a run needs from the window around it.
#include "ui/FormModulacje.h"

#include "engine/SimulationRun.h"
#include "ui/EnterTreeWidget.h"
#include "ui/FormMnozniki.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

namespace {

// The code the runs read for the initial codebook: 1 "Losowanie", 2 "Logarytmiczny",
// 3 "Równomierny", 0 none selected.
int codebookCode(const QRadioButton* random, const QRadioButton* logarithmic,
                 const QRadioButton* uniform) {
    if (random->isChecked())
        return 1;
    if (logarithmic->isChecked())
        return 2;
    if (uniform->isChecked())
        return 3;
    return 0;
}

} // namespace

RunSettings TFormModulacje::runSettings() const {
    RunSettings s;
    s.levelsText = EditLiczbaPoziomow->text().toStdString();
    s.quantiserItem = TreeViewKwantyzer->selectedPosition();
    s.rangeText = EditZakres->text().toStdString();
    s.codebookCode = codebookCode(RadioButtonL, RadioButtonLog, RadioButtonR);
    s.coefficientsText = EditLiczbaWspPredykcji->text().toStdString();
    s.predictorItem = TreeViewPredyktor->selectedPosition();
    s.parameterText = EditParametrPredykcji->text().toStdString();
    return s;
}

void TFormModulacje::ButtonSymulacjaClick() {
    const Mnozniki& table = multipliers_ ? multipliers_->table() : defaultMultipliers_;
    SimulationRun run(files_, *this, table, random_);
    int result = -1;
    try {
        result = run.start(CheckBoxKwantyzer->isChecked(), CheckBoxPredyktor->isChecked(),
                           runSettings());
    } catch (...) {
        // Whatever escapes goes to the application's error report; the indicators go first.
        computationFinished();
        throw;
    }
    if (result != 1)
        return; // wy.wav and the player stay as they were

    // wy.wav has been rewritten (the player let go of it first); the player takes the file the
    // radio buttons choose.
    const std::string file =
        files_.path(RadioButtonSygnalWe->isChecked() ? workfile::inputWav : workfile::outputWav);
    player_.setFileName(file);
    if (!player_.open())
        reportFileError(QFile::decodeName(QByteArray::fromStdString(file)));
}

// RunHost

void TFormModulacje::setProgressRange(int maximum) {
    ProgressBarObliczenia->setRange(0, maximum);
    ProgressBarObliczenia->setValue(0);
}

// The run holds the interface thread: the bar is painted at once, without handling input.
void TFormModulacje::setProgress(int position) {
    ProgressBarObliczenia->setValue(position);
    ProgressBarObliczenia->repaint();
}

// The position is kept, only clamped into the new range; the run redraws afterwards.
void TFormModulacje::setResultsRange(int maximum) {
    const QSignalBlocker quiet(ScrollBar);
    ScrollBar->setRange(0, std::max(maximum, 0));
}

void TFormModulacje::drawResults() {
    DrawResults();
}

SignalState& TFormModulacje::signal() {
    return signal_;
}

void TFormModulacje::computationStarted() {
    LabelObliczenia->show();
    repaint(); // the label is on the screen before the computation starts
    ProgressBarObliczenia->show();
    ProgressBarObliczenia->repaint();
}

void TFormModulacje::computationFinished() {
    LabelObliczenia->hide();
    ProgressBarObliczenia->hide();
}

void TFormModulacje::releaseOutputWav() {
    player_.close();
}
