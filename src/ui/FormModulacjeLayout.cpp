// The layout of the main window: every control at its place, with its caption, font and state at
// start. Geometry is left, top, width, height relative to the parent; fonts are given by their
// character height in pixels.
#include "ui/FormModulacje.h"

#include "ui/ClickableLineEdit.h"
#include "ui/EnterTreeWidget.h"
#include "ui/SurfaceWidget.h"
#include "ui/WidgetLook.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

using look::autoLabel;
using look::pixelFont;
using look::place;

namespace {

constexpr int kClientWidth = 685;
constexpr int kClientHeight = 503;

template <class W> W* withFont(W* w, const QFont& font) {
    w->setFont(font);
    return w;
}

QScrollBar* frameScrollBar(QWidget* parent, int left, int top) {
    auto* bar = place(new QScrollBar(Qt::Horizontal, parent), left, top, 641, 16);
    bar->setRange(0, 100);
    bar->setSingleStep(1);
    bar->setPageStep(1); // a click beside the thumb moves one frame
    return bar;
}

EnterTreeWidget* setUpTree(QWidget* parent, int height, const QString& root,
                           const QStringList& children) {
    auto* tree = place(new EnterTreeWidget(parent), 16, 16, 649, height);
    tree->setFont(pixelFont(19, true));
    tree->setIndentation(19);
    auto* rootItem = new QTreeWidgetItem(tree, QStringList{root});
    for (const QString& child : children)
        new QTreeWidgetItem(rootItem, QStringList{child});
    tree->expandAll();
    tree->setItemsExpandable(false);
    tree->setRootIsDecorated(true);
    return tree;
}

} // namespace

void TFormModulacje::createUi() {
    setWindowTitle(QStringLiteral("Modulacje"));
    setFont(pixelFont(11));
    setFixedSize(kClientWidth, kClientHeight);
    move(107, 191);

    PageControl = place(new QTabWidget(this), 0, 0, kClientWidth, kClientHeight);
    TabSheetUklad = new QWidget;
    TabSheetWeWy = new QWidget;
    TabSheetKwantyzer = new QWidget;
    TabSheetPredyktor = new QWidget;
    TabSheetSymulacja = new QWidget;
    PageControl->addTab(TabSheetUklad, QStringLiteral("Układ"));
    PageControl->addTab(TabSheetWeWy, QStringLiteral("Wejście / wyjście"));
    PageControl->addTab(TabSheetKwantyzer, QStringLiteral("Ustawienia kwantyzera"));
    PageControl->addTab(TabSheetPredyktor, QStringLiteral("Ustawienia predyktora"));
    PageControl->addTab(TabSheetSymulacja, QStringLiteral("Symulacja"));

    createUkladPage();
    createWeWyPage();
    createKwantyzerPage();
    createPredyktorPage();
    createSymulacjaPage();

    for (int page = 1; page < PageControl->count(); ++page)
        PageControl->setTabVisible(page, false);
}

void TFormModulacje::createUkladPage() {
    QWidget* page = TabSheetUklad;
    Label1 =
        place(new QLabel(QStringLiteral("Symulacja układu złożonego z:"), page), 96, 40, 482, 37);
    Label1->setFont(pixelFont(32, true));
    CheckBoxKwantyzer = withFont(
        place(new QCheckBox(QStringLiteral("Kwantyzera"), page), 256, 96, 129, 17), pixelFont(19));
    CheckBoxPredyktor = withFont(
        place(new QCheckBox(QStringLiteral("Predyktora"), page), 256, 120, 137, 17), pixelFont(19));

    GroupBox1 =
        place(new QGroupBox(QStringLiteral("Schemat badanego układu"), page), 104, 184, 473, 169);
    GroupBox1->setFont(pixelFont(12));
    // The picture fills the group box below its caption; a bitmap is drawn at its natural size
    // from the top-left corner.
    ImageSchemat = place(new QLabel(GroupBox1), 2, 15, 469, 152);
    ImageSchemat->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TFormModulacje::createWeWyPage() {
    QWidget* page = TabSheetWeWy;
    const QFont radioFont = pixelFont(15);
    const QFont fieldFont = pixelFont(12);

    GroupBox2 = place(new QGroupBox(QStringLiteral("Wejście"), page), 8, 8, 657, 129);
    GroupBox2->setFont(pixelFont(19, true));
    QWidget* in = GroupBox2;
    RadioButtonPlikWe = withFont(
        place(new QRadioButton(QStringLiteral("Plik wave"), in), 8, 32, 113, 17), radioFont);
    RadioButtonPlikWe->setChecked(true);
    EditPlikWe = withFont(place(new QLineEdit(in), 168, 32, 121, 21), fieldFont);
    ButtonPrzegladaj = withFont(
        place(new QPushButton(QStringLiteral("Przeglądaj..."), in), 320, 24, 75, 25), fieldFont);
    RadioButtonSinus = withFont(
        place(new QRadioButton(QStringLiteral("Sinus o częstotliwości"), in), 8, 56, 169, 17),
        radioFont);
    EditCzestotliwosc = withFont(place(new ClickableLineEdit(in), 168, 56, 121, 21), fieldFont);
    Label2 = autoLabel(QStringLiteral("Hz"), in, 296, 56, radioFont);
    ButtonGeneruj =
        withFont(place(new QPushButton(QStringLiteral("Generuj"), in), 320, 56, 75, 25), fieldFont);
    Label4 = autoLabel(QStringLiteral("Tłumienie"), in, 96, 88, radioFont);
    Label4->setEnabled(false);
    EditTlumienie =
        withFont(place(new QLineEdit(QStringLiteral("0,0"), in), 168, 88, 121, 21), fieldFont);
    EditTlumienie->setEnabled(false);
    Label5 = autoLabel(QStringLiteral("dB"), in, 296, 96, radioFont);
    ButtonTlum = withFont(place(new QPushButton(QStringLiteral("Tłumienie"), in), 320, 89, 75, 26),
                          pixelFont(11));
    ButtonTlum->setEnabled(false);

    GroupBox4 = place(new QGroupBox(QStringLiteral("Widok"), page), 8, 144, 657, 265);
    GroupBox4->setFont(pixelFont(19, true));
    QWidget* view = GroupBox4;
    ImageSygnalWe = place(new SurfaceWidget(view), 8, 24, 640, 145);
    ScrollBarSygnalWe = frameScrollBar(view, 8, 168);
    RadioButtonFraza = withFont(
        place(new QRadioButton(QStringLiteral("Cała fraza"), view), 8, 224, 113, 17), radioFont);
    RadioButtonRamka = withFont(
        place(new QRadioButton(QStringLiteral("Bieżąca ramka"), view), 8, 240, 113, 17), radioFont);
    RadioButtonRamka->setChecked(true);
}

void TFormModulacje::createKwantyzerPage() {
    QWidget* page = TabSheetKwantyzer;
    const QFont captionFont = pixelFont(19, true);

    TreeViewKwantyzer = setUpTree(page, 153, QStringLiteral("Kwantyzer"),
                                  {QStringLiteral("Równomierny"), QStringLiteral("Adaptacyjny"),
                                   QStringLiteral("Logarytmiczny"), QStringLiteral("Lloyd")});
    Label13 = autoLabel(QStringLiteral("Liczba poziomów kwantyzacji:"), page, 16, 176, captionFont);
    EditLiczbaPoziomow = place(new QLineEdit(page), 320, 176, 65, 24);
    Label14 = autoLabel(QStringLiteral("Zakres pracy (max. 1,0):"), page, 16, 216, captionFont);
    EditZakres = place(new QLineEdit(QStringLiteral("1,0"), page), 320, 216, 65, 24);
    ButtonMnozniki = place(new QPushButton(QStringLiteral("Mnożniki..."), page), 410, 215, 60, 20);
    ButtonMnozniki->hide();

    GroupBoxGeneracja =
        place(new QGroupBox(QStringLiteral("Sposób generacji słownika początkowego:"), page), 13,
              254, 417, 104);
    GroupBoxGeneracja->setFont(captionFont);
    const QFont radioFont = pixelFont(11);
    QWidget* group = GroupBoxGeneracja;
    RadioButtonL = withFont(
        place(new QRadioButton(QStringLiteral("Losowanie"), group), 33, 26, 91, 14), radioFont);
    RadioButtonLog = withFont(
        place(new QRadioButton(QStringLiteral("Logarytmiczny"), group), 33, 52, 91, 14), radioFont);
    RadioButtonR = withFont(
        place(new QRadioButton(QStringLiteral("Równomierny"), group), 33, 78, 91, 14), radioFont);
}

void TFormModulacje::createPredyktorPage() {
    QWidget* page = TabSheetPredyktor;
    const QFont captionFont = pixelFont(19, true);

    TreeViewPredyktor = setUpTree(page, 129, QStringLiteral("Algorytmy predykcji"),
                                  {QStringLiteral("Algorytm stochastycznego gradientu(SG)"),
                                   QStringLiteral("Algorytm SG z normalizacją"),
                                   QStringLiteral("Algorytm najmniejszej sumy kwadratów")});
    Label3 = autoLabel(QStringLiteral("Liczba współczynników predykcji (<12):"), page, 16, 200,
                       captionFont);
    EditLiczbaWspPredykcji = place(new QLineEdit(page), 392, 200, 121, 24);
    LabelParametrPredykcji = autoLabel(QString(), page, 312, 240, captionFont);
    EditParametrPredykcji = place(new QLineEdit(page), 392, 240, 121, 24);
}

void TFormModulacje::createSymulacjaPage() {
    QWidget* page = TabSheetSymulacja;
    const QFont font = pixelFont(11);

    ButtonSymulacja = place(new QPushButton(QStringLiteral("SYMULACJA"), page), 0, 8, 105, 25);
    LabelSNR = autoLabel(QStringLiteral("SNR"), page, 128, 16, font);
    EditSnr = place(new QLineEdit(page), 152, 16, 57, 24);
    LabelSNRSEG = autoLabel(QStringLiteral("SNR_SEG"), page, 224, 16, font);
    EditSnrSeg = place(new QLineEdit(page), 280, 16, 49, 24);
    LabelSNRBR = autoLabel(QStringLiteral("SNR bieżącej ramki"), page, 352, 16, font);
    EditSnrRamki = place(new QLineEdit(page), 448, 16, 49, 24);

    GroupBox3 = place(new QGroupBox(QStringLiteral("Wynik symulacji"), page), 16, 40, 649, 345);
    ImageWeWy = place(new SurfaceWidget(GroupBox3), 8, 16, 640, 145);
    ImageRozne = place(new SurfaceWidget(GroupBox3), 9, 168, 640, 145);
    ScrollBar = frameScrollBar(GroupBox3, 0, 320);

    GroupBox5 = place(new QGroupBox(QStringLiteral("Odsłuchaj"), page), 16, 400, 649, 65);
    QWidget* listen = GroupBox5;
    RadioButtonSygnalWe =
        place(new QRadioButton(QStringLiteral("Sygnał wejściowy"), listen), 24, 16, 113, 17);
    RadioButtonSygnalWe->setChecked(true);
    RadioButtonSygnalWy =
        place(new QRadioButton(QStringLiteral("Sygnał wyjściowy"), listen), 24, 40, 113, 17);
    MediaPlayer = new MediaPlayerWidget(listen);
    MediaPlayer->move(176, 24);
    LabelObliczenia =
        autoLabel(QStringLiteral("Proszę czekać... trwają obliczenia"), listen, 312, 20, font);
    LabelObliczenia->hide();
    ProgressBarObliczenia = place(new QProgressBar(listen), 332, 39, 121, 16);
    ProgressBarObliczenia->setRange(0, 100);
    ProgressBarObliczenia->setValue(0);
    ProgressBarObliczenia->setTextVisible(false);
    ProgressBarObliczenia->hide();
    LegendaButton = place(new QPushButton(QStringLiteral("Legenda..."), listen), 572, 26, 61, 20);
}
