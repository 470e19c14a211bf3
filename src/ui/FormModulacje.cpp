// Construction, start-up and the auxiliary windows of the main window.
#include "ui/FormModulacje.h"

#include "ui/ClickableLineEdit.h"
#include "ui/EnterTreeWidget.h"
#include "ui/FormMnozniki.h"
#include "ui/UiDialogs.h"
#include "ui/WspForm.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

TFormModulacje::TFormModulacje(const std::string& startupDir, UiDialogs& dialogs,
                               AudioBackend& audio, QWidget* parent)
    : QWidget(parent), files_(startupDir), dialogs_(dialogs), input_(files_, signal_, *this),
      player_(audio) {
    createUi();
    PageControl->setCurrentIndex(0);
    // The player plays WAV files only; it starts closed, its buttons inactive.
    player_.setModeHandler([this] { showPlayerState(); });
    showPlayerState();
    LegendaButton->hide();
    FormCreate();
    connectUi();
    // No law and no algorithm unselected at start: the uniform quantiser and the stochastic
    // gradient, so the parameter is captioned "B:" from the beginning.
    TreeViewKwantyzer->setCurrentItem(quantiserItem(1));
    TreeViewPredyktor->setCurrentItem(TreeViewPredyktor->topLevelItem(0)->child(0));
}

TFormModulacje::~TFormModulacje() {
    if (player_.isOpen())
        player_.close();
}

// The window starts without an input: the working files a run or the views could mistake for
// the current ones are deleted (wzorzec.wav and tmp_we.wav stay).
void TFormModulacje::FormCreate() {
    files_.clear();
}

void TFormModulacje::connectUi() {
    connect(CheckBoxKwantyzer, &QCheckBox::clicked, this, &TFormModulacje::CheckBoxKwantyzerClick);
    connect(CheckBoxPredyktor, &QCheckBox::clicked, this, &TFormModulacje::CheckBoxPredyktorClick);
    connect(TreeViewKwantyzer, &QTreeWidget::currentItemChanged, this,
            &TFormModulacje::TreeViewKwantyzerChange);
    connect(TreeViewKwantyzer, &EnterTreeWidget::entered, this,
            &TFormModulacje::TreeViewKwantyzerEnter);
    connect(TreeViewPredyktor, &QTreeWidget::currentItemChanged, this,
            &TFormModulacje::TreeViewPredyktorChange);

    connect(ButtonPrzegladaj, &QPushButton::clicked, this, &TFormModulacje::ButtonPrzegladajClick);
    connect(ButtonGeneruj, &QPushButton::clicked, this, &TFormModulacje::ButtonGenerujClick);
    connect(EditCzestotliwosc, &ClickableLineEdit::clicked, this,
            &TFormModulacje::EditCzestotliwoscClick);
    connect(RadioButtonPlikWe, &QRadioButton::clicked, this,
            &TFormModulacje::RadioButtonPlikWeClick);
    connect(RadioButtonSinus, &QRadioButton::clicked, this, &TFormModulacje::RadioButtonSinusClick);
    connect(ButtonTlum, &QPushButton::clicked, this, &TFormModulacje::ButtonTlumClick);

    connect(ScrollBarSygnalWe, &QScrollBar::valueChanged, this,
            &TFormModulacje::ScrollBarSygnalWeChange);
    connect(RadioButtonRamka, &QRadioButton::clicked, this, &TFormModulacje::RadioButtonRamkaClick);
    connect(RadioButtonFraza, &QRadioButton::clicked, this, &TFormModulacje::RadioButtonFrazaClick);

    connect(ButtonSymulacja, &QPushButton::clicked, this, &TFormModulacje::ButtonSymulacjaClick);
    connect(ScrollBar, &QScrollBar::valueChanged, this, &TFormModulacje::ScrollBarChange);
    connect(RadioButtonSygnalWe, &QRadioButton::clicked, this,
            &TFormModulacje::RadioButtonSygnalWeClick);
    connect(RadioButtonSygnalWy, &QRadioButton::clicked, this,
            &TFormModulacje::RadioButtonSygnalWyClick);
    connect(MediaPlayer, &MediaPlayerWidget::pressed, this, &TFormModulacje::MediaPlayerClick);
    connect(PageControl, &QTabWidget::currentChanged, this, &TFormModulacje::pageChanged);

    connect(ButtonMnozniki, &QPushButton::clicked, this, &TFormModulacje::ButtonMnoznikiClick);
    connect(LegendaButton, &QPushButton::clicked, this, &TFormModulacje::LegendaButtonClick);
}

void TFormModulacje::setAuxiliaryWindows(TWspForm* legend, TFormMnozniki* multipliers) {
    legend_ = legend;
    multipliers_ = multipliers;
}

void TFormModulacje::ButtonMnoznikiClick() {
    if (multipliers_)
        multipliers_->exec();
}

void TFormModulacje::LegendaButtonClick() {
    if (legend_)
        legend_->exec();
}

// The platform's report of a file it cannot open (a schematic bitmap, a file to play).
void TFormModulacje::reportFileError(const QString& path) {
    dialogs_.message(QStringLiteral("Nie można otworzyć pliku \"%1\".").arg(path).toStdString(),
                     "Modulacje");
}

void TFormModulacje::showMessage(const std::string& text, const std::string& title) {
    dialogs_.message(text, title);
}
