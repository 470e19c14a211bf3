// The button "SYMULACJA" end to end: runs over a chosen input, the results they draw, the
// indicators, wy.wav and the player afterwards.
#include "UiTestSupport.h"
#include "WindowFixture.h"
#include "ui/EnterTreeWidget.h"
#include "ui/FormModulacje.h"
#include "ui/SurfaceWidget.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

const QColor kBlackColour(Qt::black);
const QColor kRedColour(Qt::red);

struct Fixture : WindowFixture {

    // A 1000-sample 16-bit input: a slow ramp with a sign change every 50 samples.
    void chooseInput() {
        std::vector<std::int16_t> codes;
        for (int n = 0; n < 1000; ++n)
            codes.push_back(static_cast<std::int16_t>(((n / 50) % 2 ? -1 : 1) * (200 + 20 * n)));
        writeWav16(dir.file("fraza.wav"), codes);
        choose(dir.file("fraza.wav"));
    }
    void tick(bool quantiser, bool predictor) {
        if (w().CheckBoxKwantyzer->isChecked() != quantiser)
            w().CheckBoxKwantyzer->click();
        if (w().CheckBoxPredyktor->isChecked() != predictor)
            w().CheckBoxPredyktor->click();
    }
    void run() { w().ButtonSymulacja->click(); }
};

// Columns of a grabbed surface holding the colour anywhere but on the border and the axis.
QList<int> columnsWith(const QImage& image, const QColor& colour) {
    QList<int> columns;
    for (int x = 1; x < image.width() - 1; ++x)
        for (int y = 1; y < image.height() - 1; ++y)
            if (y != 72 && image.pixelColor(x, y) == colour) {
                columns << x;
                break;
            }
    return columns;
}

} // namespace

class SimulationPageTest : public QObject {
    Q_OBJECT
private slots:
    void withoutAnInputOnlyTheMessageAppears();
    void pcmRunDrawsThePartialLastFrame();
    void predictionRunDrawsTheCoefficientTracks();
    void bothBoxesDrawInputMinusOutput();
    void refusedRunLeavesWyWavAndThePlayer();
    void successfulRunReopensThePlayerOnTheNewOutput();
    void faultEscapingTheRunLeavesTheWindowWorking();
};

void SimulationPageTest::withoutAnInputOnlyTheMessageAppears() {
    Fixture f;
    f.tick(true, false);
    f.w().show();
    bool indicatorsSeen = false;
    f.dialogs.onMessage = [&] {
        indicatorsSeen =
            f.w().LabelObliczenia->isVisible() || f.w().ProgressBarObliczenia->isVisible();
    };
    f.run();
    QCOMPARE(f.dialogs.messages,
             (std::vector<FakeDialogs::Message>{{"Nie wybrano pliku wejściowego", "Błąd"}}));
    QVERIFY(!indicatorsSeen);
    QVERIFY(f.w().LabelObliczenia->isHidden() && f.w().ProgressBarObliczenia->isHidden());
    QVERIFY(!fileExists(f.dir.tmp("wy.wav")));
}

void SimulationPageTest::pcmRunDrawsThePartialLastFrame() {
    Fixture f;
    f.tick(true, false);
    f.chooseInput();
    f.w().EditLiczbaPoziomow->setText(QStringLiteral("16"));
    f.run();
    QVERIFY(f.dialogs.messages.empty());
    QVERIFY(f.w().LabelObliczenia->isHidden() && f.w().ProgressBarObliczenia->isHidden());
    QCOMPARE(f.w().ScrollBar->maximum(), 7);
    const QString overall = f.w().EditSnr->text();
    const QString segmental = f.w().EditSnrSeg->text();
    QVERIFY(!overall.isEmpty() && !segmental.isEmpty());

    f.w().ScrollBar->setValue(7);
    // Samples 896 … 999 are i = 0 … 103: every trace ends at x = (640 · 103) div 127 = 519.
    const QImage upper = f.w().ImageWeWy->grab().toImage();
    const QImage lower = f.w().ImageRozne->grab().toImage();
    for (const QList<int>& columns :
         {columnsWith(upper, kBlackColour), columnsWith(upper, kRedColour),
          columnsWith(lower, kBlackColour)}) {
        QVERIFY(!columns.isEmpty());
        QCOMPARE(columns.last(), 518); // the line into x = 519 ends there, excluded
    }
    // Only the frame measure follows the scroll bar.
    QCOMPARE(f.w().EditSnr->text(), overall);
    QCOMPARE(f.w().EditSnrSeg->text(), segmental);
    QVERIFY(fileExists(f.dir.tmp("wy.wav")));
}

void SimulationPageTest::predictionRunDrawsTheCoefficientTracks() {
    Fixture f;
    f.tick(false, true);
    f.chooseInput();
    f.w().EditLiczbaWspPredykcji->setText(QStringLiteral("2"));
    f.w().EditParametrPredykcji->setText(QStringLiteral("0,01"));
    f.run();
    QVERIFY(f.dialogs.messages.empty());
    QCOMPARE(f.w().LabelSNR->text(), QStringLiteral("GP"));
    const std::vector<float> track = readStream(f.dir.tmp("005.tmp"));
    QCOMPARE(track[0], 2.0f);
    // Coefficient 0 in black, coefficient 1 in red, each drawn from the left end of the frame.
    f.w().ScrollBar->setValue(7);
    const QImage lower = f.w().ImageRozne->grab().toImage();
    const QList<int> black = columnsWith(lower, kBlackColour);
    const QList<int> red = columnsWith(lower, kRedColour);
    QVERIFY(!black.isEmpty() && !red.isEmpty());
    QCOMPARE(black.first(), 1);
    QCOMPARE(red.first(), 1);
    QCOMPARE(red.last(), 518);
}

void SimulationPageTest::bothBoxesDrawInputMinusOutput() {
    Fixture f;
    f.tick(true, true);
    f.chooseInput();
    f.w().EditLiczbaPoziomow->setText(QStringLiteral("4"));
    f.w().EditLiczbaWspPredykcji->setText(QStringLiteral("2"));
    f.w().EditParametrPredykcji->setText(QStringLiteral("0,01"));
    f.run();
    QVERIFY(f.dialogs.messages.empty());
    // Replace the stored error by a constant far from x − y: the picture must not change.
    const QImage before = f.w().ImageRozne->grab().toImage();
    std::vector<float> fake(1001, 0.9f);
    fake[0] = 1000.0f;
    writeStream(f.dir.tmp("003.tmp"), fake);
    f.w().DrawResults();
    QCOMPARE(f.w().ImageRozne->grab().toImage(), before);
    // Ticking the quantiser alone now shows the stored error instead.
    f.tick(true, false);
    f.w().DrawResults();
    QVERIFY(f.w().ImageRozne->grab().toImage() != before);
}

void SimulationPageTest::refusedRunLeavesWyWavAndThePlayer() {
    Fixture f;
    f.tick(true, false);
    f.chooseInput();
    f.w().EditLiczbaPoziomow->setText(QStringLiteral("16"));
    f.run();
    f.w().RadioButtonSygnalWy->click();
    QCOMPARE(f.w().player().fileName(), f.dir.tmp("wy.wav"));
    const auto wyBefore = readBytes(f.dir.tmp("wy.wav"));
    f.w().MediaPlayer->button(MediaPlayerWidget::Button::Play)->click();

    f.w().EditLiczbaPoziomow->setText(QStringLiteral("jeden"));
    f.run();
    QCOMPARE(f.dialogs.messages.size(), std::size_t{1});
    QCOMPARE(f.dialogs.messages[0].second, std::string("Błąd"));
    QVERIFY(readBytes(f.dir.tmp("wy.wav")) == wyBefore);
    QCOMPARE(f.w().player().mode(), AudioPlayer::Mode::Playing);
    QVERIFY(f.w().LabelObliczenia->isHidden() && f.w().ProgressBarObliczenia->isHidden());
}

void SimulationPageTest::successfulRunReopensThePlayerOnTheNewOutput() {
    Fixture f;
    f.tick(true, false);
    f.chooseInput();
    f.w().EditLiczbaPoziomow->setText(QStringLiteral("16"));
    f.run();
    f.w().RadioButtonSygnalWy->click();
    f.w().MediaPlayer->button(MediaPlayerWidget::Button::Play)->click();
    const std::vector<std::uint8_t> fineOutput = f.audio.started->pcm;

    f.w().EditLiczbaPoziomow->setText(QStringLiteral("2")); // a much coarser output
    f.run();
    QVERIFY(f.dialogs.messages.empty());
    QCOMPARE(f.w().player().mode(), AudioPlayer::Mode::Stopped);
    QCOMPARE(f.w().player().fileName(), f.dir.tmp("wy.wav"));
    f.w().MediaPlayer->button(MediaPlayerWidget::Button::Play)->click();
    QVERIFY(f.audio.started->pcm != fineOutput); // the new wy.wav, not the one held before
    QCOMPARE(f.audio.started->pcm.size(), fineOutput.size());
}

void SimulationPageTest::faultEscapingTheRunLeavesTheWindowWorking() {
    Fixture f;
    f.tick(false, true);
    f.chooseInput();
    // Least squares with λ = 0 divides by zero inside the predictor.
    f.w().TreeViewPredyktor->setCurrentItem(f.w().TreeViewPredyktor->topLevelItem(0)->child(2));
    f.w().EditLiczbaWspPredykcji->setText(QStringLiteral("2"));
    f.w().EditParametrPredykcji->setText(QStringLiteral("0"));
    f.run();
    QCOMPARE(f.dialogs.messages.size(), std::size_t{1});
    QCOMPARE(f.dialogs.messages[0].second, std::string("Błąd"));
    QVERIFY(f.w().LabelObliczenia->isHidden() && f.w().ProgressBarObliczenia->isHidden());
    QVERIFY(!fileExists(f.dir.tmp("wy.wav")));

    f.dialogs.messages.clear();
    f.w().EditParametrPredykcji->setText(QStringLiteral("0,99"));
    f.run();
    QVERIFY(f.dialogs.messages.empty());
    QVERIFY(fileExists(f.dir.tmp("wy.wav")));
}

QTEST_MAIN(SimulationPageTest)
#include "SimulationPageTest.moc"
