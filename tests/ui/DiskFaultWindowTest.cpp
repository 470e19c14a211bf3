// The window when the disk under Tmp fails it: the same core as the command line, so the same
// refusals, shown as a message box; the previous input stays byte for byte and the window works on.
#include "FileSizeLimit.h"
#include "UiTestSupport.h"
#include "WindowFixture.h"
#include "ui/ClickableLineEdit.h"
#include "ui/FormModulacje.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <filesystem>
#include <memory>

namespace {

const FakeDialogs::Message kWriteError{"Nie udało się zapisać plików roboczych w katalogu Tmp.",
                                       "Błąd"};

struct Fixture : WindowFixture {
    Fixture() {
        window->CheckBoxKwantyzer->click(); // the input page is reachable
        generate(QStringLiteral("440"));
    }
    std::pair<std::vector<std::uint8_t>, std::vector<std::uint8_t>> input() const {
        return {readBytes(dir.tmp("001.tmp")), readBytes(dir.tmp("we.wav"))};
    }
};

} // namespace

class DiskFaultWindowTest : public QObject {
    Q_OBJECT
private slots:
    void blockedWeWavKeepsTheInput();
    void fullDiskKeepsTheInput();
    void runOnAFullDiskKeepsWyWav();
};

void DiskFaultWindowTest::blockedWeWavKeepsTheInput() {
    Fixture f;
    const auto before = f.input();
    writeWav16(f.dir.file("fraza.wav"), std::vector<std::int16_t>(1000, 100));
    std::filesystem::remove(f.dir.tmp("we.wav"));
    std::filesystem::create_directories(f.dir.tmp("we.wav") + "/keep");

    f.choose(f.dir.file("fraza.wav"));
    QCOMPARE(f.dialogs.messages, std::vector<FakeDialogs::Message>{kWriteError});
    QVERIFY(readBytes(f.dir.tmp("001.tmp")) == before.first);
    QCOMPARE(f.w().signalState().signalLength, 2560);
    QCOMPARE(f.w().ScrollBarSygnalWe->maximum(), 19);
}

// Files cannot grow past 8 KiB here: the tone's 001.tmp (10244 bytes) and a longer file fail.
void DiskFaultWindowTest::fullDiskKeepsTheInput() {
    Fixture f;
    const auto before = f.input();
    writeWav16(f.dir.file("fraza.wav"), std::vector<std::int16_t>(4000, 100));
    {
        FileSizeLimit full(8 * 1024);
        f.choose(f.dir.file("fraza.wav"));
        f.generate(QStringLiteral("220"));
        f.attenuate(QStringLiteral("6"));
    }
    QCOMPARE(f.dialogs.messages, std::vector<FakeDialogs::Message>(3, kWriteError));
    QVERIFY(f.input() == before);
    QCOMPARE(f.w().signalState().signalLength, 2560);

    // With the space back the window works on.
    f.dialogs.messages.clear();
    f.generate(QStringLiteral("220"));
    QVERIFY(f.dialogs.messages.empty());
    QVERIFY(f.input() != before);
}

// A run whose streams outgrow the space, and one whose wy.wav cannot be put in place: each ends
// with its message box; the input and the previous wy.wav stay, and the next run works.
void DiskFaultWindowTest::runOnAFullDiskKeepsWyWav() {
    Fixture f;
    writeWav16(f.dir.file("fraza.wav"), std::vector<std::int16_t>(4000, 1000));
    f.choose(f.dir.file("fraza.wav"));
    f.w().EditLiczbaPoziomow->setText(QStringLiteral("16"));
    f.w().ButtonSymulacja->click();
    QVERIFY(f.dialogs.messages.empty());
    const auto input = f.input();
    const auto output = readBytes(f.dir.tmp("wy.wav"));

    {
        FileSizeLimit full(8 * 1024); // 002.tmp needs 16004 bytes
        f.w().ButtonSymulacja->click();
    }
    std::filesystem::create_directories(f.dir.tmp("wy.wav.part") + "/keep");
    f.w().ButtonSymulacja->click();
    std::filesystem::remove_all(f.dir.tmp("wy.wav.part"));
    QCOMPARE(f.dialogs.messages,
             (std::vector<FakeDialogs::Message>{
                 {"Nie udało się zapisać plików roboczych w katalogu Tmp. Sprawdź miejsce na "
                  "dysku.",
                  "Błąd"},
                 {"Nie udało się zapisać pliku Tmp/wy.wav.", "Błąd"}}));
    QVERIFY(f.input() == input);
    QVERIFY(readBytes(f.dir.tmp("wy.wav")) == output);
    QVERIFY(f.w().LabelObliczenia->isHidden());

    f.dialogs.messages.clear();
    f.w().EditLiczbaPoziomow->setText(QStringLiteral("4"));
    f.w().ButtonSymulacja->click();
    QVERIFY(f.dialogs.messages.empty());
    QVERIFY(readBytes(f.dir.tmp("wy.wav")) != output);
}

QTEST_MAIN(DiskFaultWindowTest)
#include "DiskFaultWindowTest.moc"
