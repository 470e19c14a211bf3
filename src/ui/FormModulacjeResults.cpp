// The page "Symulacja" of the main window: the results view and listening.
#include "ui/FormModulacje.h"

#include "ui/ResultsDrawing.h"
#include "ui/SurfaceWidget.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>
#include <filesystem>

namespace {

constexpr int kSymulacjaPage = 4;

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// A measure is shown from its first digit, as a text field shows a text set by the program.
void showMeasure(QLineEdit* field, const std::string& text) {
    field->setText(fromUtf8(text));
    field->setCursorPosition(0);
}

} // namespace

void TFormModulacje::DrawResults() {
    // The range comes from the last run; the position stays and is only clamped into it. The
    // clamp is not a move of the user's, so it does not redraw by itself.
    if (const std::optional<int> last = readResultsLastFrame(files_)) {
        signal_.lastFrame = *last;
        const QSignalBlocker quiet(ScrollBar);
        ScrollBar->setRange(0, std::max(*last, 0));
    }
    const LowerTrace lower =
        lowerTraceFor(CheckBoxKwantyzer->isChecked(), CheckBoxPredyktor->isChecked());
    const ResultsFrame frame =
        drawResultsFrame(files_, lower, ScrollBar->value(), signal_.signalLength,
                         ImageWeWy->drawingCanvas(), ImageRozne->drawingCanvas());
    if (frame.signalLength)
        signal_.signalLength = *frame.signalLength;
    showMeasure(EditSnr, frame.texts.overall);
    showMeasure(EditSnrSeg, frame.texts.segmental);
    showMeasure(EditSnrRamki, frame.texts.frame);
}

void TFormModulacje::ScrollBarChange() {
    DrawResults();
}

void TFormModulacje::RadioButtonSygnalWeClick() {
    choosePlaybackFile();
}

void TFormModulacje::RadioButtonSygnalWyClick() {
    choosePlaybackFile();
}

// The player gets we.wav or wy.wav as the radio buttons choose, when that file exists; else it is
// closed.
void TFormModulacje::choosePlaybackFile() {
    std::string file;
    const std::string input = files_.path(workfile::inputWav);
    const std::string output = files_.path(workfile::outputWav);
    if (RadioButtonSygnalWe->isChecked() && std::filesystem::exists(input))
        file = input;
    else if (RadioButtonSygnalWy->isChecked() && std::filesystem::exists(output))
        file = output;
    if (file.empty()) {
        player_.close();
        return;
    }
    player_.setFileName(file);
    if (player_.isOpen())
        player_.close();
    if (!player_.open())
        reportFileError(QFile::decodeName(QByteArray::fromStdString(file)));
}

void TFormModulacje::MediaPlayerClick(MediaPlayerWidget::Button button) {
    switch (button) {
    case MediaPlayerWidget::Button::Play:
        player_.play();
        break;
    case MediaPlayerWidget::Button::Pause:
        player_.pause();
        break;
    case MediaPlayerWidget::Button::Stop:
        // Stopping rewinds: the next Play starts from the beginning.
        player_.stop();
        break;
    }
}

// Leaving the page stops any playback and releases the file.
void TFormModulacje::TabSheetSymulacjaExit() {
    player_.close();
}

void TFormModulacje::pageChanged(int page) {
    if (currentPage_ == kSymulacjaPage && page != kSymulacjaPage)
        TabSheetSymulacjaExit();
    currentPage_ = page;
}

void TFormModulacje::showPlayerState() {
    const QString reason = fromUtf8(player_.unavailableReason());
    MediaPlayer->setUsable(player_.isOpen() && reason.isEmpty(), reason);
}
