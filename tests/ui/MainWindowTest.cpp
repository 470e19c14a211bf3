// The main window: its state at start, the mode table of the two check boxes, and the set-up
// trees.
#include "UiTestSupport.h"
#include "WindowFixture.h"
#include "ui/EnterTreeWidget.h"
#include "ui/FormModulacje.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

#include <memory>

namespace {

using Fixture = WindowFixture;

QString visibleTabs(const QTabWidget* tabs) {
    QString shown;
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->isTabVisible(i))
            shown += QString::number(i);
    return shown;
}

// A mode reached by clicking the boxes in the order given: 'K' "Kwantyzera", 'P' "Predyktora".
void clickBoxes(TFormModulacje& w, const QString& clicks) {
    for (QChar c : clicks)
        (c == QLatin1Char('K') ? w.CheckBoxKwantyzer : w.CheckBoxPredyktor)->click();
}

QTreeWidgetItem* quantiserItem(TFormModulacje& w, int displayIndex) {
    QTreeWidgetItem* root = w.TreeViewKwantyzer->topLevelItem(0);
    return displayIndex == 0 ? root : root->child(displayIndex - 1);
}

QTreeWidgetItem* predictorItem(TFormModulacje& w, int displayIndex) {
    QTreeWidgetItem* root = w.TreeViewPredyktor->topLevelItem(0);
    return displayIndex == 0 ? root : root->child(displayIndex - 1);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithOnlyTheFirstPageAndCleanWorkingFiles();
    void modeTable_data();
    void modeTable();
    void schematicBackgroundIsTransparent();
    void missingSchematicIsReportedAndThePictureKept();
    void quantiserLawControls_data();
    void quantiserLawControls();
    void everyModeClickSelectsRandomCodebook();
    void adaptiveLawHeldWhenTheTreeIsEnteredInAdpcmMode();
    void enteringTheTreeOutsideAdpcmModeChangesNothing();
    void predictorParameterCaption_data();
    void predictorParameterCaption();
};

void MainWindowTest::startsWithOnlyTheFirstPageAndCleanWorkingFiles() {
    StartupDir dir;
    const char* cleared[] = {"001.tmp", "002.tmp", "003.tmp", "004.tmp", "005.tmp",
                             "006.tmp", "007.tmp", "008.tmp", "we.wav",  "wy.wav"};
    for (const char* name : cleared)
        writeBytes(dir.tmp(name), {1, 2, 3, 4});
    writeBytes(dir.tmp("tmp_we.wav"), {1, 2, 3, 4});
    FakeDialogs dialogs;
    FakeAudio audio;
    TFormModulacje w(dir.path(), dialogs, audio);

    for (const char* name : cleared)
        QVERIFY2(!fileExists(dir.tmp(name)), name);
    QVERIFY(fileExists(dir.tmp("tmp_we.wav")));
    QVERIFY(fileExists(dir.tmp("wzorzec.wav")));
    QVERIFY(dialogs.messages.empty());

    QCOMPARE(w.windowTitle(), QStringLiteral("Modulacje"));
    QCOMPARE(w.size(), QSize(685, 503));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QCOMPARE(visibleTabs(w.PageControl), QStringLiteral("0"));
    QCOMPARE(w.PageControl->currentIndex(), 0);
    QVERIFY(w.ImageSchemat->pixmap().isNull());
    QVERIFY(!w.CheckBoxKwantyzer->isChecked() && !w.CheckBoxPredyktor->isChecked());

    // Uniform law and stochastic gradient preselected.
    QCOMPARE(w.TreeViewKwantyzer->currentItem()->text(0), QStringLiteral("Równomierny"));
    QVERIFY(w.GroupBoxGeneracja->isHidden());
    QVERIFY(!w.Label14->isHidden() && !w.EditZakres->isHidden());
    QVERIFY(w.ButtonMnozniki->isHidden());
    QCOMPARE(w.LabelParametrPredykcji->text(), QStringLiteral("B:"));
    QVERIFY(!w.RadioButtonL->isChecked() && !w.RadioButtonLog->isChecked() &&
            !w.RadioButtonR->isChecked());

    QVERIFY(w.RadioButtonPlikWe->isChecked());
    QVERIFY(w.RadioButtonRamka->isChecked());
    QVERIFY(w.RadioButtonSygnalWe->isChecked());
    QVERIFY(!w.ButtonTlum->isEnabled() && !w.EditTlumienie->isEnabled() && !w.Label4->isEnabled());
    QCOMPARE(w.EditTlumienie->text(), QStringLiteral("0,0"));
    QCOMPARE(w.EditZakres->text(), QStringLiteral("1,0"));
    QCOMPARE(w.ScrollBarSygnalWe->maximum(), 100);
    QCOMPARE(w.ScrollBar->maximum(), 100);
    QVERIFY(w.LegendaButton->isHidden());
    QVERIFY(w.LabelObliczenia->isHidden() && w.ProgressBarObliczenia->isHidden());
    QCOMPARE(w.signalState().signalLength, 0);
    QCOMPARE(w.signalState().lastFrame, 0);
}

void MainWindowTest::modeTable_data() {
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("tabs");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<bool>("legend");
    QTest::addColumn<int>("bitmapWidth");

    const QStringList snr{"SNR", "SNR_SEG", "SNR bieżącej ramki"};
    const QStringList gp{"GP", "GP_SEG", "GP bieżącej ramki"};
    QTest::newRow("quantiser alone") << "K"
                                     << "0124" << snr << false << kQuantiserBitmapWidth;
    QTest::newRow("predictor alone") << "P"
                                     << "0134" << gp << true << kPredictorBitmapWidth;
    QTest::newRow("both") << "KP"
                          << "01234" << snr << false << kAdpcmBitmapWidth;
    QTest::newRow("both, predictor first") << "PK"
                                           << "01234" << snr << false << kAdpcmBitmapWidth;
    QTest::newRow("predictor after both") << "KPK"
                                          << "0134" << gp << true << kPredictorBitmapWidth;
    // With no box ticked the labels and the legend button keep what the last mode set.
    QTest::newRow("none after quantiser") << "KK"
                                          << "0" << snr << false << kEmptyBitmapWidth;
    QTest::newRow("none after predictor") << "PP"
                                          << "0" << gp << true << kEmptyBitmapWidth;
}

void MainWindowTest::modeTable() {
    QFETCH(QString, clicks);
    QFETCH(QString, tabs);
    QFETCH(QStringList, labels);
    QFETCH(bool, legend);
    QFETCH(int, bitmapWidth);
    Fixture f;
    TFormModulacje& w = f.w();
    clickBoxes(w, clicks);

    QCOMPARE(visibleTabs(w.PageControl), tabs);
    QCOMPARE(w.PageControl->currentIndex(), 0);
    QCOMPARE((QStringList{w.LabelSNR->text(), w.LabelSNRSEG->text(), w.LabelSNRBR->text()}),
             labels);
    QCOMPARE(!w.LegendaButton->isHidden(), legend);
    QCOMPARE(w.ImageSchemat->pixmap().width(), bitmapWidth);
    QVERIFY(f.dialogs.messages.empty());
    if (tabs == QStringLiteral("01234")) {
        // ADPCM holds the adaptive law: its multipliers button and range, no codebook group.
        QCOMPARE(w.TreeViewKwantyzer->currentItem(), quantiserItem(w, 2));
        QVERIFY(!w.ButtonMnozniki->isHidden());
        QVERIFY(!w.EditZakres->isHidden());
        QVERIFY(w.GroupBoxGeneracja->isHidden());
    }
}

void MainWindowTest::schematicBackgroundIsTransparent() {
    Fixture f;
    f.w().CheckBoxKwantyzer->click();
    const QImage shown = f.w().ImageSchemat->pixmap().toImage();
    QCOMPARE(shown.pixelColor(5, 5).alpha(), 0);
    QCOMPARE(shown.pixelColor(1, 1), QColor(Qt::black));
}

void MainWindowTest::missingSchematicIsReportedAndThePictureKept() {
    Fixture f;
    TFormModulacje& w = f.w();
    w.CheckBoxPredyktor->click(); // predictor alone: legend shown, Predyktor.bmp
    std::remove(f.dir.file("ADPCM.bmp").c_str());
    w.CheckBoxKwantyzer->click(); // both: the load fails after the tree and the labels switched

    QCOMPARE(f.dialogs.messages.size(), std::size_t{1});
    QVERIFY(f.dialogs.messages[0].first.find("ADPCM.bmp") != std::string::npos);
    QCOMPARE(w.ImageSchemat->pixmap().width(), kPredictorBitmapWidth);
    QCOMPARE(visibleTabs(w.PageControl), QStringLiteral("01234"));
    QCOMPARE(w.LabelSNR->text(), QStringLiteral("SNR"));
    QCOMPARE(w.TreeViewKwantyzer->currentItem(), quantiserItem(w, 2));
    QVERIFY(!w.LegendaButton->isHidden()); // the step after the load is not reached
}

void MainWindowTest::quantiserLawControls_data() {
    QTest::addColumn<int>("displayIndex");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("codebookGroup");
    QTest::addColumn<bool>("range");
    QTest::addColumn<bool>("multipliers");
    QTest::newRow("root Kwantyzer") << 0 << 0 << false << true << false;
    QTest::newRow("Równomierny") << 1 << 0 << false << true << false;
    QTest::newRow("Adaptacyjny") << 2 << 1 << false << true << true;
    QTest::newRow("Logarytmiczny") << 3 << 2 << false << true << false;
    QTest::newRow("Lloyd") << 4 << 3 << true << false << false;
}

void MainWindowTest::quantiserLawControls() {
    QFETCH(int, displayIndex);
    QFETCH(int, position);
    QFETCH(bool, codebookGroup);
    QFETCH(bool, range);
    QFETCH(bool, multipliers);
    Fixture f;
    TFormModulacje& w = f.w();
    // Start from the opposite of the expected controls where the table allows it.
    w.TreeViewKwantyzer->setCurrentItem(quantiserItem(w, codebookGroup ? 2 : 4));
    w.TreeViewKwantyzer->setCurrentItem(quantiserItem(w, displayIndex));

    QCOMPARE(w.TreeViewKwantyzer->selectedPosition(), position);
    QCOMPARE(!w.GroupBoxGeneracja->isHidden(), codebookGroup);
    QCOMPARE(!w.Label14->isHidden(), range);
    QCOMPARE(!w.EditZakres->isHidden(), range);
    QCOMPARE(!w.ButtonMnozniki->isHidden(), multipliers);

    // No selection: position −1, nothing changes.
    w.TreeViewKwantyzer->setCurrentItem(nullptr);
    QCOMPARE(w.TreeViewKwantyzer->selectedPosition(), -1);
    QCOMPARE(!w.GroupBoxGeneracja->isHidden(), codebookGroup);
    QCOMPARE(!w.ButtonMnozniki->isHidden(), multipliers);
}

void MainWindowTest::everyModeClickSelectsRandomCodebook() {
    Fixture f;
    TFormModulacje& w = f.w();
    w.CheckBoxKwantyzer->click();
    w.TreeViewKwantyzer->setCurrentItem(quantiserItem(w, 4));
    for (const char* clicks : {"P", "P", "K"}) {
        w.RadioButtonR->setChecked(true);
        clickBoxes(w, QString::fromLatin1(clicks));
        QVERIFY(w.RadioButtonL->isChecked());
    }
}

void MainWindowTest::adaptiveLawHeldWhenTheTreeIsEnteredInAdpcmMode() {
    Fixture f;
    TFormModulacje& w = f.w();
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    clickBoxes(w, QStringLiteral("KP"));
    w.PageControl->setCurrentIndex(2);
    w.TreeViewKwantyzer->setCurrentItem(quantiserItem(w, 4)); // the program may select "Lloyd"

    // Entering by program (Tab key, focus chain).
    w.EditZakres->setFocus();
    w.TreeViewKwantyzer->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), w.EditLiczbaPoziomow);
    QCOMPARE(w.TreeViewKwantyzer->currentItem(), quantiserItem(w, 2));
    QVERIFY(!w.ButtonMnozniki->isHidden());

    // Entering by a click on another law: the click does not select it.
    QTreeWidgetItem* lloyd = quantiserItem(w, 4);
    QTest::mouseClick(w.TreeViewKwantyzer->viewport(), Qt::LeftButton, {},
                      w.TreeViewKwantyzer->visualItemRect(lloyd).center());
    QCOMPARE(QApplication::focusWidget(), w.EditLiczbaPoziomow);
    QCOMPARE(w.TreeViewKwantyzer->currentItem(), quantiserItem(w, 2));
}

void MainWindowTest::enteringTheTreeOutsideAdpcmModeChangesNothing() {
    Fixture f;
    TFormModulacje& w = f.w();
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.CheckBoxKwantyzer->click();
    w.PageControl->setCurrentIndex(2);
    w.EditZakres->setFocus();
    QTreeWidgetItem* lloyd = quantiserItem(w, 4);
    QTest::mouseClick(w.TreeViewKwantyzer->viewport(), Qt::LeftButton, {},
                      w.TreeViewKwantyzer->visualItemRect(lloyd).center());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.TreeViewKwantyzer));
    QCOMPARE(w.TreeViewKwantyzer->currentItem(), lloyd);
    QVERIFY(!w.GroupBoxGeneracja->isHidden());
}

void MainWindowTest::predictorParameterCaption_data() {
    QTest::addColumn<int>("displayIndex");
    QTest::addColumn<QString>("caption");
    QTest::newRow("root Algorytmy predykcji") << 0 << "B:";
    QTest::newRow("SG") << 1 << "B:";
    QTest::newRow("SG z normalizacją") << 2 << "LB:";
    QTest::newRow("najmniejszej sumy kwadratów") << 3 << "ALPHA:";
}

void MainWindowTest::predictorParameterCaption() {
    QFETCH(int, displayIndex);
    QFETCH(QString, caption);
    Fixture f;
    TFormModulacje& w = f.w();
    w.TreeViewPredyktor->setCurrentItem(predictorItem(w, displayIndex == 2 ? 3 : 2));
    w.TreeViewPredyktor->setCurrentItem(predictorItem(w, displayIndex));
    QCOMPARE(w.LabelParametrPredykcji->text(), caption);
    // The label grows with its caption instead of cutting it.
    QVERIFY(w.LabelParametrPredykcji->width() >=
            w.LabelParametrPredykcji->fontMetrics().horizontalAdvance(caption));
    w.TreeViewPredyktor->setCurrentItem(nullptr);
    QCOMPARE(w.LabelParametrPredykcji->text(), caption);
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
