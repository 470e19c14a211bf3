// The page "Symulacja": the results view over working files, the choice of the file to play,
// the player's buttons and leaving the page.
#include "UiTestSupport.h"
#include "WindowFixture.h"
#include "ui/ClickableLineEdit.h"
#include "ui/FormModulacje.h"
#include "ui/SurfaceWidget.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

using Button = MediaPlayerWidget::Button;
using Mode = AudioPlayer::Mode;

struct Fixture : WindowFixture {
    explicit Fixture(const std::string& audioReason = {}) : WindowFixture(audioReason) {
        window->CheckBoxKwantyzer->click();
    }

    // Working files of a run over `frames` frames of 128 samples: the frame ratios 10^p (so frame
    // p measures 10·p dB) with the last frame silent, the segmental value 7,5 dB, the overall ratio
    // 100 (20 dB).
    void writeRun(int frames) {
        const int n = 128 * frames;
        std::vector<float> signal{static_cast<float>(n)};
        signal.resize(static_cast<std::size_t>(n) + 1, 0.5f);
        writeStream(dir.tmp("001.tmp"), signal);
        writeStream(dir.tmp("002.tmp"), signal);
        writeStream(dir.tmp("003.tmp"), signal);
        std::vector<float> ratios{static_cast<float>(frames - 1)};
        for (int p = 0; p < frames - 1; ++p)
            ratios.push_back(std::pow(10.0f, static_cast<float>(p)));
        ratios.push_back(0.0f);
        writeStream(dir.tmp("006.tmp"), ratios);
        writeStream(dir.tmp("007.tmp"), {1.0f, 7.5f});
        writeStream(dir.tmp("008.tmp"), {1.0f, 100.0f});
    }
    QStringList measures() {
        return {w().EditSnr->text(), w().EditSnrSeg->text(), w().EditSnrRamki->text()};
    }
    void press(Button b) { w().MediaPlayer->button(b)->click(); }
};

} // namespace

class ResultsPageTest : public QObject {
    Q_OBJECT
private slots:
    void scrollingChangesOnlyTheFrameMeasure();
    void shorterRunClampsTheScrollBar();
    void missingWorkingFilesDrawBorderAndAxis();
    void outputChosenBeforeAnyRunClosesThePlayer();
    void playPauseStopDriveThePlayer();
    void playbackThatReachedTheEndStartsAgain();
    void leavingThePageStopsPlayback();
    void withoutADeviceTheButtonsSayWhy();
};

void ResultsPageTest::scrollingChangesOnlyTheFrameMeasure() {
    Fixture f;
    f.writeRun(5);
    f.w().DrawResults();
    QCOMPARE(f.w().ScrollBar->maximum(), 4);
    QCOMPARE(f.measures(), (QStringList{"20", "7,5", "0"}));

    f.w().EditSnr->setText(QStringLiteral("typed")); // replaced at the next redraw
    f.w().ScrollBar->setValue(3);
    QCOMPARE(f.measures(), (QStringList{"20", "7,5", "30"}));
    f.w().ScrollBar->setValue(4);
    QCOMPARE(f.measures(), (QStringList{"20", "7,5", "-INF"}));
}

void ResultsPageTest::shorterRunClampsTheScrollBar() {
    Fixture f;
    f.writeRun(20);
    f.w().DrawResults();
    f.w().ScrollBar->setValue(15);
    f.w().ScrollBar->setValue(3);
    f.writeRun(10); // a position within the new range stays
    f.w().DrawResults();
    QCOMPARE(f.w().ScrollBar->value(), 3);
    QCOMPARE(f.w().EditSnrRamki->text(), QStringLiteral("30"));

    f.w().ScrollBar->setValue(8);
    f.writeRun(4); // beyond the new last frame: moved down to it, which is then shown
    f.w().DrawResults();
    QCOMPARE(f.w().ScrollBar->maximum(), 3);
    QCOMPARE(f.w().ScrollBar->value(), 3);
    QCOMPARE(f.w().EditSnrRamki->text(), QStringLiteral("-INF"));
    QCOMPARE(f.w().signalState().lastFrame, 3);
    QCOMPARE(f.w().signalState().signalLength, 512);
}

void ResultsPageTest::missingWorkingFilesDrawBorderAndAxis() {
    Fixture f;
    f.w().ScrollBar->setValue(30); // before any run: the range is still 0 … 100
    QCOMPARE(f.w().ScrollBar->maximum(), 100);
    for (SurfaceWidget* s : {f.w().ImageWeWy, f.w().ImageRozne}) {
        const QImage image = s->grab().toImage();
        for (int y = 1; y < 144; ++y)
            QCOMPARE(image.pixelColor(320, y) == QColor(Qt::black), y == 72);
    }
    QCOMPARE(f.measures(), (QStringList{"", "", ""}));
    QVERIFY(f.dialogs.messages.empty());
}

void ResultsPageTest::outputChosenBeforeAnyRunClosesThePlayer() {
    Fixture f;
    f.w().EditCzestotliwosc->setText(QStringLiteral("1000"));
    f.w().ButtonGeneruj->click();
    f.w().RadioButtonSygnalWe->click();
    QCOMPARE(f.w().player().mode(), Mode::Stopped);
    QCOMPARE(f.w().player().fileName(), f.dir.tmp("we.wav"));
    QVERIFY(f.w().MediaPlayer->button(Button::Play)->isEnabled());

    f.w().RadioButtonSygnalWy->click(); // no wy.wav yet
    QCOMPARE(f.w().player().mode(), Mode::Closed);
    for (Button b : {Button::Play, Button::Pause, Button::Stop})
        QVERIFY(!f.w().MediaPlayer->button(b)->isEnabled());
    f.press(Button::Play);
    QVERIFY(f.audio.calls.empty());
}

void ResultsPageTest::playPauseStopDriveThePlayer() {
    Fixture f;
    writeWav16(f.dir.tmp("we.wav"), {100, -100, 200});
    f.w().RadioButtonSygnalWe->click();
    f.press(Button::Play);
    QCOMPARE(f.w().player().mode(), Mode::Playing);
    QVERIFY(f.audio.started.has_value());
    QCOMPARE(f.audio.started->sampleRate, 8000);
    QCOMPARE(f.audio.started->pcm.size(), std::size_t{6});
    f.press(Button::Play); // already playing: nothing
    f.press(Button::Pause);
    QCOMPARE(f.w().player().mode(), Mode::Paused);
    f.press(Button::Play); // continues where it paused
    f.press(Button::Pause);
    f.press(Button::Pause); // a second pause continues too
    f.press(Button::Stop);
    QCOMPARE(f.w().player().mode(), Mode::Stopped);
    f.press(Button::Play); // after a stop: from the beginning
    QCOMPARE(f.audio.calls, (std::vector<std::string>{"start", "suspend", "resume", "suspend",
                                                      "resume", "stop", "start"}));
}

void ResultsPageTest::playbackThatReachedTheEndStartsAgain() {
    Fixture f;
    writeWav16(f.dir.tmp("we.wav"), {1, 2, 3});
    f.w().RadioButtonSygnalWe->click();
    f.press(Button::Play);
    f.audio.finish();
    QCOMPARE(f.w().player().mode(), Mode::Stopped);
    f.press(Button::Play);
    QCOMPARE(f.w().player().mode(), Mode::Playing);
    QCOMPARE(std::count(f.audio.calls.begin(), f.audio.calls.end(), "start"), 2);
}

void ResultsPageTest::leavingThePageStopsPlayback() {
    Fixture f;
    writeWav16(f.dir.tmp("we.wav"), {1, 2, 3});
    f.w().PageControl->setCurrentIndex(4);
    f.w().RadioButtonSygnalWe->click();
    f.press(Button::Play);
    f.w().PageControl->setCurrentIndex(1);
    QCOMPARE(f.w().player().mode(), Mode::Closed);
    QCOMPARE(f.audio.calls.back(), std::string("stop"));
    QVERIFY(!f.w().MediaPlayer->button(Button::Play)->isEnabled());
}

void ResultsPageTest::withoutADeviceTheButtonsSayWhy() {
    Fixture f("Brak urządzenia");
    writeWav16(f.dir.tmp("we.wav"), {1, 2, 3});
    f.w().RadioButtonSygnalWe->click();
    QCOMPARE(f.w().player().mode(), Mode::Stopped); // the file is held as usual
    for (Button b : {Button::Play, Button::Pause, Button::Stop}) {
        QVERIFY(!f.w().MediaPlayer->button(b)->isEnabled());
        QCOMPARE(f.w().MediaPlayer->button(b)->toolTip(), QStringLiteral("Brak urządzenia"));
    }
    f.w().MediaPlayerClick(Button::Play); // even if a press got through
    QCOMPARE(f.w().player().mode(), Mode::Stopped);
    QVERIFY(f.audio.calls.empty());
}

QTEST_MAIN(ResultsPageTest)
#include "ResultsPageTest.moc"
