// The input page: choosing a file, generating the tone, attenuating, and the input view as the
// window draws it.
#include "UiTestSupport.h"
#include "WindowFixture.h"
#include "ui/ClickableLineEdit.h"
#include "ui/FormModulacje.h"
#include "ui/SurfaceWidget.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

const FakeDialogs::Message kFileError{"Blad pliku wejsciowego", "Blad"};
const FakeDialogs::Message kFrequencyError{"Niepoprawna wartość częstotliwości.", "Błąd"};

struct Fixture : WindowFixture {
    Fixture() {
        window->CheckBoxKwantyzer->click(); // the input page is reachable
    }

    bool attenuationEnabled() {
        return w().ButtonTlum->isEnabled() && w().EditTlumienie->isEnabled() &&
               w().Label4->isEnabled();
    }
    std::vector<float> input() { return readStream(dir.tmp("001.tmp")); }
};

float peak(const std::vector<float>& stream) {
    float m = 0.0f;
    for (std::size_t i = 1; i < stream.size(); ++i)
        m = std::max(m, std::fabs(stream[i]));
    return m;
}

// Rows of column x of a grabbed surface that are not white.
QList<int> inkRows(const QImage& image, int x) {
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y)
        if (image.pixelColor(x, y) != QColor(Qt::white))
            rows << y;
    return rows;
}

const QList<int> kBorderAndAxis{0, 72, 144};

} // namespace

class InputPageTest : public QObject {
    Q_OBJECT
private slots:
    void cancelledDialogChangesNothing();
    void badFileIsRefusedWithTheInputKept();
    void chosenFileBecomesTheInput();
    void frequencies_data();
    void frequencies();
    void clickIntoFrequencySelectsTheTone();
    void attenuationTwiceOnAFileGivesItOnce();
    void attenuationTwiceOnAToneAddsUp();
    void attenuationOfAFileNeverChosenIsRefused();
    void badAttenuationResetsOnlyTheScrollBar();
    void lastFrameOfA1000SampleInputFallsToTheAxis();
    void wholePhraseOf320SamplesAndTheScrollBar();
    void viewWithoutAnInputShowsBorderAndAxis();
};

void InputPageTest::cancelledDialogChangesNothing() {
    Fixture f;
    f.w().EditCzestotliwosc->setText(QStringLiteral("440"));
    f.w().RadioButtonSinus->click();
    f.w().ButtonPrzegladaj->click(); // the fake answers as a cancelled dialog

    QCOMPARE(f.dialogs.fileDialogOpened, 1);
    QVERIFY(f.w().RadioButtonSinus->isChecked());
    QCOMPARE(f.w().EditCzestotliwosc->text(), QStringLiteral("440"));
    QVERIFY(f.w().EditPlikWe->text().isEmpty());
    QVERIFY(!fileExists(f.dir.tmp("001.tmp")) && !fileExists(f.dir.tmp("we.wav")));
    QVERIFY(!f.attenuationEnabled());
    QVERIFY(f.dialogs.messages.empty());
}

void InputPageTest::badFileIsRefusedWithTheInputKept() {
    Fixture f;
    f.generate(QStringLiteral("1000"));
    const auto toneBytes = readBytes(f.dir.tmp("001.tmp"));
    f.w().ScrollBarSygnalWe->setValue(5);
    writeBytes(f.dir.file("zly.wav"), {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'J', 'U', 'N', 'K'});
    f.choose(f.dir.file("zly.wav"));

    QCOMPARE(f.dialogs.messages, std::vector<FakeDialogs::Message>{kFileError});
    QVERIFY(f.w().RadioButtonPlikWe->isChecked());
    QVERIFY(f.w().EditCzestotliwosc->text().isEmpty());
    QCOMPARE(f.w().EditPlikWe->text(), QStringLiteral("zly.wav"));
    QVERIFY(readBytes(f.dir.tmp("001.tmp")) == toneBytes);
    QCOMPARE(f.w().signalState().signalLength, 2560);
    QCOMPARE(f.w().ScrollBarSygnalWe->maximum(), 19);
    QCOMPARE(f.w().ScrollBarSygnalWe->value(), 5);
}

void InputPageTest::chosenFileBecomesTheInput() {
    Fixture f;
    f.generate(QStringLiteral("440"));
    writeWav16(f.dir.file("fraza.wav"), std::vector<std::int16_t>(1025, 8192));
    f.choose(f.dir.file("fraza.wav"));

    QVERIFY(f.dialogs.messages.empty());
    QVERIFY(f.w().RadioButtonPlikWe->isChecked());
    QVERIFY(f.w().EditCzestotliwosc->text().isEmpty());
    QCOMPARE(f.w().EditPlikWe->text(), QStringLiteral("fraza.wav"));
    QCOMPARE(f.input().size(), std::size_t{1026});
    QCOMPARE(f.input()[0], 1025.0f);
    QCOMPARE(f.w().signalState().lastFrame, 8);
    QCOMPARE(f.w().ScrollBarSygnalWe->maximum(), 8);
    QVERIFY(f.attenuationEnabled());
}

void InputPageTest::frequencies_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("0") << "0" << false;
    QTest::newRow("-5") << "-5" << false;
    QTest::newRow("4000") << "4000" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("not a number") << "440 Hz" << false;
    QTest::newRow("3999,9") << "3999,9" << true;
    QTest::newRow("0,001") << "0,001" << true;
}

void InputPageTest::frequencies() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    Fixture f;
    f.w().EditPlikWe->setText(QStringLiteral("poprzedni.wav"));
    f.generate(text);

    QCOMPARE(f.w().EditCzestotliwosc->text(), text); // left as typed
    if (!accepted) {
        QCOMPARE(f.dialogs.messages, std::vector<FakeDialogs::Message>{kFrequencyError});
        QVERIFY(f.w().RadioButtonPlikWe->isChecked());
        QCOMPARE(f.w().EditPlikWe->text(), QStringLiteral("poprzedni.wav"));
        QVERIFY(!fileExists(f.dir.tmp("001.tmp")));
        QVERIFY(!f.attenuationEnabled());
        return;
    }
    QVERIFY(f.dialogs.messages.empty());
    QVERIFY(f.w().RadioButtonSinus->isChecked());
    QVERIFY(f.w().EditPlikWe->text().isEmpty());
    QCOMPARE(readBytes(f.dir.tmp("001.tmp")).size(), std::size_t{10244});
    QVERIFY(fileExists(f.dir.tmp("we.wav")));
    QCOMPARE(f.w().ScrollBarSygnalWe->maximum(), 19);
    QCOMPARE(f.w().ScrollBarSygnalWe->value(), 0);
    QCOMPARE(f.w().signalState().signalLength, 2560);
    QVERIFY(f.attenuationEnabled());
}

void InputPageTest::clickIntoFrequencySelectsTheTone() {
    Fixture f;
    f.w().show();
    f.w().PageControl->setCurrentIndex(1);
    QTest::mouseClick(f.w().EditCzestotliwosc, Qt::LeftButton);
    QVERIFY(f.w().RadioButtonSinus->isChecked());
    QVERIFY(f.w().inputActions().source() == InputSource::Sine);
    QVERIFY(!fileExists(f.dir.tmp("001.tmp")));
    f.w().RadioButtonPlikWe->click();
    QVERIFY(f.w().inputActions().source() == InputSource::WaveFile);
}

void InputPageTest::attenuationTwiceOnAFileGivesItOnce() {
    Fixture f;
    writeWav16(f.dir.file("fraza.wav"), std::vector<std::int16_t>(300, 16384));
    f.choose(f.dir.file("fraza.wav"));
    f.attenuate(QStringLiteral("6"));
    const auto once = readBytes(f.dir.tmp("001.tmp"));
    const auto onceWav = readBytes(f.dir.tmp("we.wav"));
    f.attenuate(QStringLiteral("6"));

    QVERIFY(f.dialogs.messages.empty());
    QVERIFY(readBytes(f.dir.tmp("001.tmp")) == once);
    QVERIFY(readBytes(f.dir.tmp("we.wav")) == onceWav);
    QCOMPARE(f.input()[0], 300.0f);
    QVERIFY(std::fabs(peak(f.input()) - 0.5f * 0.501187f) < 1e-4f);
    QCOMPARE(f.w().EditPlikWe->text(), QStringLiteral("fraza.wav"));
    QVERIFY(!fileExists(f.dir.tmp("tmp_we.wav")));
}

void InputPageTest::attenuationTwiceOnAToneAddsUp() {
    Fixture f;
    f.generate(QStringLiteral("1000"));
    f.attenuate(QStringLiteral("6"));
    const float once = peak(f.input());
    f.attenuate(QStringLiteral("6"));
    const float twice = peak(f.input());

    QVERIFY(f.dialogs.messages.empty());
    QVERIFY(std::fabs(once - 0.501187f) < 1e-3f);
    QVERIFY(std::fabs(twice - 0.501187f * 0.501187f) < 1e-3f);
    QCOMPARE(f.input()[0], 2560.0f);
    QVERIFY(!fileExists(f.dir.tmp("tmp_we.wav")));
}

void InputPageTest::attenuationOfAFileNeverChosenIsRefused() {
    Fixture f;
    f.generate(QStringLiteral("1000"));
    const auto toneBytes = readBytes(f.dir.tmp("001.tmp"));
    f.w().RadioButtonPlikWe->click();
    f.attenuate(QStringLiteral("6"));

    QCOMPARE(f.dialogs.messages, std::vector<FakeDialogs::Message>{kFileError});
    QVERIFY(readBytes(f.dir.tmp("001.tmp")) == toneBytes);
}

void InputPageTest::badAttenuationResetsOnlyTheScrollBar() {
    Fixture f;
    f.generate(QStringLiteral("1000"));
    const auto toneBytes = readBytes(f.dir.tmp("001.tmp"));
    f.w().ScrollBarSygnalWe->setValue(7);
    f.attenuate(QStringLiteral("sześć"));

    QCOMPARE(f.dialogs.messages,
             (std::vector<FakeDialogs::Message>{{"Niepoprawna wartość tłumienia.", "Błąd"}}));
    QVERIFY(readBytes(f.dir.tmp("001.tmp")) == toneBytes);
    QCOMPARE(f.w().ScrollBarSygnalWe->value(), 0);
    QCOMPARE(f.w().ScrollBarSygnalWe->maximum(), 19);
}

void InputPageTest::lastFrameOfA1000SampleInputFallsToTheAxis() {
    Fixture f;
    // Frame 7 (samples 896 … 999) at half scale, row 35; earlier frames at −0.5, row 108.
    std::vector<std::int16_t> codes(1000, -16384);
    std::fill(codes.begin() + 896, codes.end(), std::int16_t{16384});
    writeWav16(f.dir.file("fraza.wav"), codes);
    f.choose(f.dir.file("fraza.wav"));
    QCOMPARE(f.w().ScrollBarSygnalWe->maximum(), 7);
    f.w().ScrollBarSygnalWe->setValue(7); // the move redraws

    const QImage image = f.w().ImageSygnalWe->grab().toImage();
    QCOMPARE(image.size(), QSize(640, 145));
    for (int x = 1; x < 519; ++x)
        QCOMPARE(inkRows(image, x), (QList<int>{0, 35, 72, 144}));
    QCOMPARE(image.pixelColor(519, 35), QColor(Qt::black));
    for (int x = 525; x < 639; ++x)
        QCOMPARE(inkRows(image, x), kBorderAndAxis);

    f.w().ScrollBarSygnalWe->setValue(6);
    const QImage earlier = f.w().ImageSygnalWe->grab().toImage();
    QCOMPARE(inkRows(earlier, 600), (QList<int>{0, 72, 108, 144}));
}

void InputPageTest::wholePhraseOf320SamplesAndTheScrollBar() {
    Fixture f;
    // Zero but for full-scale peaks at samples k = 1, 100 and 319 (counted from 1): each peak's
    // top row 1 is reached only in its own column 2k.
    std::vector<std::int16_t> codes(320, 0);
    for (int k : {1, 100, 319})
        codes[static_cast<std::size_t>(k - 1)] = 32767;
    writeWav16(f.dir.file("fraza.wav"), codes);
    f.choose(f.dir.file("fraza.wav"));
    f.w().ScrollBarSygnalWe->setValue(2);

    f.w().RadioButtonFraza->click();
    QVERIFY(!f.w().ScrollBarSygnalWe->isEnabled());
    QImage image = f.w().ImageSygnalWe->grab().toImage();
    for (int x = 1; x < 639; ++x) {
        const bool peak = x == 2 || x == 200 || x == 638;
        QCOMPARE(image.pixelColor(x, 1) == QColor(Qt::black), peak);
    }

    // Back to the frame view: the scroll bar is usable again and shows the kept frame 2, which
    // holds no peak (samples 256 … 319 and then the axis).
    f.w().RadioButtonRamka->click();
    QVERIFY(f.w().ScrollBarSygnalWe->isEnabled());
    QCOMPARE(f.w().ScrollBarSygnalWe->value(), 2);
    image = f.w().ImageSygnalWe->grab().toImage();
    QCOMPARE(inkRows(image, 100), kBorderAndAxis);
}

void InputPageTest::viewWithoutAnInputShowsBorderAndAxis() {
    Fixture f;
    for (QRadioButton* mode : {f.w().RadioButtonFraza, f.w().RadioButtonRamka}) {
        mode->click();
        const QImage image = f.w().ImageSygnalWe->grab().toImage();
        for (int x : {1, 320, 638})
            QCOMPARE(inkRows(image, x), kBorderAndAxis);
    }
    f.w().ScrollBarSygnalWe->setValue(50);
    QCOMPARE(inkRows(f.w().ImageSygnalWe->grab().toImage(), 320), kBorderAndAxis);
    QVERIFY(f.dialogs.messages.empty());
}

QTEST_MAIN(InputPageTest)
#include "InputPageTest.moc"
