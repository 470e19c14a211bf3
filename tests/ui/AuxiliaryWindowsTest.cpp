// The multipliers dialog and the coefficient legend, alone and opened from the main window.
#include "UiTestSupport.h"
#include "ui/FormMnozniki.h"
#include "ui/FormModulacje.h"
#include "ui/WspForm.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

namespace {

QStringList texts(const auto& edits) {
    QStringList out;
    for (const QLineEdit* e : edits)
        out << e->text();
    return out;
}

// Types a distinct number into every field: 4-level fields 2,1 … 2,4; 8-level 3,1 …; 16-level
// 5,01 … 5,16 (element k of row N gets the text for k + 1).
void typeNewValues(TFormMnozniki& d) {
    for (std::size_t k = 0; k < d.Edit4.size(); ++k)
        d.Edit4[k]->setText(QStringLiteral("2,%1").arg(k + 1));
    for (std::size_t k = 0; k < d.Edit8.size(); ++k)
        d.Edit8[k]->setText(QStringLiteral("3,%1").arg(k + 1));
    for (std::size_t k = 0; k < d.Edit16.size(); ++k)
        d.Edit16[k]->setText(QStringLiteral("5,%1").arg(k + 1, 2, 10, QLatin1Char('0')));
}

const QStringList kDefaults4{"1,6", "0,8", "0,8", "1,6"};
const QStringList kDefaults8{"1,75", "1,75", "0,9", "0,9", "0,9", "0,9", "1,75", "1,75"};
const QStringList kDefaults16{"2,4", "2",   "1,6", "1,2", "0,8", "0,8", "0,8", "0,8",
                              "0,8", "0,8", "0,8", "0,8", "1,2", "1,6", "2",   "2,4"};

} // namespace

class AuxiliaryWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void multipliersShowTheDefaults();
    void okStoresEveryField();
    void okStopsAtTheFirstBadText();
    void okRefusesValuesBeyondSinglePrecision();
    void cancelRestoresTheFields();
    void closeButtonRunsNeitherHandler();
    void multipliersButtonOpensTheDialogModally();
    void legendListsElevenColouredLines();
    void legendShownTwiceKeepsElevenLines();
};

void AuxiliaryWindowsTest::multipliersShowTheDefaults() {
    FakeDialogs dialogs;
    TFormMnozniki d(dialogs);
    QCOMPARE(d.windowTitle(), QStringLiteral("Mnożniki"));
    QCOMPARE(d.size(), QSize(562, 407));
    QCOMPARE(texts(d.Edit4), kDefaults4);
    QCOMPARE(texts(d.Edit8), kDefaults8);
    QCOMPARE(texts(d.Edit16), kDefaults16);
    QCOMPARE(d.Edit16[8]->objectName(), QStringLiteral("Edit16_9"));
    QCOMPARE(d.Edit16[8]->geometry(), QRect(16, 280, 121, 24));
}

void AuxiliaryWindowsTest::okStoresEveryField() {
    FakeDialogs dialogs;
    TFormMnozniki d(dialogs);
    d.show();
    d.Edit4[0]->setText(QStringLiteral("2,5"));
    d.Edit8[7]->setText(QStringLiteral(" -0.5 ")); // a point, spaces, a negative value
    d.Edit16[15]->setText(QStringLiteral("0"));
    d.ButtonOK->click();

    QVERIFY(dialogs.messages.empty());
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(d.table().Mnozniki4[0], 2.5f);
    QCOMPARE(d.table().Mnozniki4[1], 0.8f);
    QCOMPARE(d.table().Mnozniki8[7], -0.5f);
    QCOMPARE(d.table().Mnozniki16[15], 0.0f);
    QCOMPARE(d.table().Mnozniki16[0], 2.4f);
}

void AuxiliaryWindowsTest::okStopsAtTheFirstBadText() {
    FakeDialogs dialogs;
    TFormMnozniki d(dialogs);
    d.show();
    typeNewValues(d);
    d.Edit8[2]->setText(QStringLiteral("abc"));  // Edit8_3
    d.Edit16[0]->setText(QStringLiteral("xyz")); // a second bad text is never reached
    const Mnozniki before = d.table();
    d.ButtonOK->click();

    QCOMPARE(dialogs.messages.size(), std::size_t{1});
    QCOMPARE(dialogs.messages[0], FakeDialogs::Message("Niepoprawny format liczby", "Błąd"));
    QVERIFY(d.isVisible());
    const Mnozniki& t = d.table();
    for (std::size_t k = 0; k < 4; ++k)
        QCOMPARE(t.Mnozniki4[k], 2.0f + 0.1f * static_cast<float>(k + 1));
    QCOMPARE(t.Mnozniki8[0], 3.1f);
    QCOMPARE(t.Mnozniki8[1], 3.2f);
    for (std::size_t k = 2; k < 8; ++k)
        QCOMPARE(t.Mnozniki8[k], before.Mnozniki8[k]);
    QVERIFY(t.Mnozniki16 == before.Mnozniki16);
    QCOMPARE(d.Edit8[2]->text(), QStringLiteral("abc"));
    QCOMPARE(d.Edit8[3]->text(), QStringLiteral("3,4"));
}

void AuxiliaryWindowsTest::okRefusesValuesBeyondSinglePrecision() {
    FakeDialogs dialogs;
    TFormMnozniki d(dialogs);
    for (const char* text : {"1e39", "", "1,6,", "1 6"}) {
        dialogs.messages.clear();
        d.Edit4[0]->setText(QString::fromUtf8(text));
        d.ButtonOK->click();
        QCOMPARE(dialogs.messages.size(), std::size_t{1});
        QCOMPARE(d.table().Mnozniki4[0], 1.6f);
    }
}

void AuxiliaryWindowsTest::cancelRestoresTheFields() {
    FakeDialogs dialogs;
    TFormMnozniki d(dialogs);
    d.Edit4[1]->setText(QStringLiteral("7"));
    d.ButtonOK->click(); // stored: the next Cancel restores 7, not the default
    d.show();
    typeNewValues(d);
    d.ButtonCancel->click();

    QVERIFY(!d.isVisible());
    QCOMPARE(texts(d.Edit4), (QStringList{"1,6", "7", "0,8", "1,6"}));
    QCOMPARE(texts(d.Edit8), kDefaults8);
    QCOMPARE(texts(d.Edit16), kDefaults16);
    QCOMPARE(d.table().Mnozniki4[1], 7.0f);
    QCOMPARE(d.table().Mnozniki8[0], 1.75f);
    QVERIFY(dialogs.messages.empty());
}

void AuxiliaryWindowsTest::closeButtonRunsNeitherHandler() {
    FakeDialogs dialogs;
    TFormMnozniki d(dialogs);
    d.show();
    typeNewValues(d);
    const Mnozniki before = d.table();
    QVERIFY(d.close());

    QVERIFY(!d.isVisible());
    QVERIFY(d.table().Mnozniki4 == before.Mnozniki4);
    QVERIFY(d.table().Mnozniki16 == before.Mnozniki16);
    d.show(); // the typed texts are still there at the next opening
    QCOMPARE(d.Edit4[0]->text(), QStringLiteral("2,1"));
    QCOMPARE(d.Edit16[15]->text(), QStringLiteral("5,16"));
}

void AuxiliaryWindowsTest::multipliersButtonOpensTheDialogModally() {
    StartupDir dir;
    FakeDialogs dialogs;
    FakeAudio audio;
    TFormModulacje w(dir.path(), dialogs, audio);
    TWspForm legend;
    TFormMnozniki multipliers(dialogs);
    w.setAuxiliaryWindows(&legend, &multipliers);
    w.show();

    bool sawModal = false;
    QTimer::singleShot(0, &multipliers, [&] {
        sawModal = multipliers.isVisible() && multipliers.isModal();
        multipliers.Edit4[0]->setText(QStringLiteral("3"));
        multipliers.ButtonOK->click();
    });
    w.ButtonMnozniki->click(); // returns when the dialog is closed
    QVERIFY(sawModal);
    QCOMPARE(multipliers.table().Mnozniki4[0], 3.0f);
}

void AuxiliaryWindowsTest::legendListsElevenColouredLines() {
    TWspForm legend;
    QCOMPARE(legend.windowTitle(), QStringLiteral("Legenda"));
    QVERIFY(legend.LegendaMemo->isReadOnly());
    const QColor expected[] = {{0, 0, 0},     {255, 0, 0},   {0, 128, 0},   {128, 128, 128},
                               {255, 255, 0}, {0, 0, 255},   {0, 255, 255}, {0, 0, 128},
                               {128, 0, 128}, {0, 128, 128}, {128, 0, 0}};
    const QTextDocument* doc = legend.LegendaMemo->document();
    QCOMPARE(doc->blockCount(), 11);
    int k = 0;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next(), ++k) {
        QCOMPARE(block.text(), QStringLiteral("współczynnik a%1").arg(k));
        for (auto it = block.begin(); !it.atEnd(); ++it)
            QCOMPARE(it.fragment().charFormat().foreground().color(), expected[k]);
    }
}

void AuxiliaryWindowsTest::legendShownTwiceKeepsElevenLines() {
    StartupDir dir;
    FakeDialogs dialogs;
    FakeAudio audio;
    TFormModulacje w(dir.path(), dialogs, audio);
    TWspForm legend;
    TFormMnozniki multipliers(dialogs);
    w.setAuxiliaryWindows(&legend, &multipliers);
    w.CheckBoxPredyktor->click();
    w.show();
    for (int round = 0; round < 2; ++round) {
        bool sawModal = false;
        QTimer::singleShot(0, &legend, [&] {
            sawModal = legend.isVisible() && legend.isModal();
            legend.close();
        });
        w.LegendaButton->click();
        QVERIFY(sawModal);
        QCOMPARE(legend.LegendaMemo->document()->blockCount(), 11);
        QCOMPARE(legend.LegendaMemo->toPlainText().count(QStringLiteral("współczynnik")), 11);
    }
}

QTEST_MAIN(AuxiliaryWindowsTest)
#include "AuxiliaryWindowsTest.moc"
