#pragma once

#include "engine/InputActions.h"
#include "engine/RunHost.h"
#include "engine/RunSettings.h"
#include "engine/SignalState.h"
#include "engine/WorkingFiles.h"
#include "quant/Mnozniki.h"
#include "ui/AudioPlayer.h"
#include "ui/MediaPlayerWidget.h"

#include <QWidget>

#include <random>

class ClickableLineEdit;
class EnterTreeWidget;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTabWidget;
class QTreeWidgetItem;
class SurfaceWidget;
class TFormMnozniki;
class TWspForm;
class UiDialogs;

// The main window "Modulacje": a fixed 685 × 503 window filled by a page control of five pages.
// "Układ" holds the mode (the check boxes "Kwantyzera" and "Predyktora"), which decides the
// reachable pages, the schematic picture, the measure labels and the legend button; the input page
// drives the input actions and draws the input view; the two set-up pages only hold the coder's
// settings as the user typed them (the runs read and check them); "Symulacja" runs and shows.
//
// The controls are public members named as in the layout, and the handlers public slots named by
// control and event, so the tests drive the window as a user does. Messages and the open-file
// dialog go through the UiDialogs given to the constructor, sound through its AudioBackend. The
// working files live in Tmp under the start-up directory given; the constructor clears them
// (FormCreate).
class TFormModulacje : public QWidget, private InputHost, private RunHost {
    Q_OBJECT
public:
    TFormModulacje(const std::string& startupDir, UiDialogs& dialogs, AudioBackend& audio,
                   QWidget* parent = nullptr);
    ~TFormModulacje() override;

    // The legend and the multipliers dialog, created after the main window; the buttons
    // "Legenda..." and "Mnożniki..." show them modally.
    void setAuxiliaryWindows(TWspForm* legend, TFormMnozniki* multipliers);

    const WorkingFiles& workingFiles() const { return files_; }
    const SignalState& signalState() const { return signal_; }
    // The set-up pages' texts and selections as a run reads them.
    RunSettings runSettings() const;
    const InputActions& inputActions() const { return input_; }
    const AudioPlayer& player() const { return player_; }

    // Page control and pages, in page order.
    QTabWidget* PageControl = nullptr;
    QWidget* TabSheetUklad = nullptr;
    QWidget* TabSheetWeWy = nullptr;
    QWidget* TabSheetKwantyzer = nullptr;
    QWidget* TabSheetPredyktor = nullptr;
    QWidget* TabSheetSymulacja = nullptr;

    // "Układ"
    QLabel* Label1 = nullptr;
    QCheckBox* CheckBoxKwantyzer = nullptr;
    QCheckBox* CheckBoxPredyktor = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* ImageSchemat = nullptr;

    // "Wejście / wyjście"
    QGroupBox* GroupBox2 = nullptr;
    QRadioButton* RadioButtonPlikWe = nullptr;
    QLineEdit* EditPlikWe = nullptr;
    QPushButton* ButtonPrzegladaj = nullptr;
    QRadioButton* RadioButtonSinus = nullptr;
    ClickableLineEdit* EditCzestotliwosc = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* ButtonGeneruj = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* EditTlumienie = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* ButtonTlum = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    SurfaceWidget* ImageSygnalWe = nullptr;
    QScrollBar* ScrollBarSygnalWe = nullptr;
    QRadioButton* RadioButtonFraza = nullptr;
    QRadioButton* RadioButtonRamka = nullptr;

    // "Ustawienia kwantyzera"
    EnterTreeWidget* TreeViewKwantyzer = nullptr;
    QLabel* Label13 = nullptr;
    QLineEdit* EditLiczbaPoziomow = nullptr;
    QLabel* Label14 = nullptr;
    QLineEdit* EditZakres = nullptr;
    QPushButton* ButtonMnozniki = nullptr;
    QGroupBox* GroupBoxGeneracja = nullptr;
    QRadioButton* RadioButtonL = nullptr;
    QRadioButton* RadioButtonLog = nullptr;
    QRadioButton* RadioButtonR = nullptr;

    // "Ustawienia predyktora"
    EnterTreeWidget* TreeViewPredyktor = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* EditLiczbaWspPredykcji = nullptr;
    QLabel* LabelParametrPredykcji = nullptr;
    QLineEdit* EditParametrPredykcji = nullptr;

    // "Symulacja"
    QPushButton* ButtonSymulacja = nullptr;
    QLabel* LabelSNR = nullptr;
    QLineEdit* EditSnr = nullptr;
    QLabel* LabelSNRSEG = nullptr;
    QLineEdit* EditSnrSeg = nullptr;
    QLabel* LabelSNRBR = nullptr;
    QLineEdit* EditSnrRamki = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    SurfaceWidget* ImageWeWy = nullptr;
    SurfaceWidget* ImageRozne = nullptr;
    QScrollBar* ScrollBar = nullptr;
    QGroupBox* GroupBox5 = nullptr;
    QRadioButton* RadioButtonSygnalWe = nullptr;
    QRadioButton* RadioButtonSygnalWy = nullptr;
    MediaPlayerWidget* MediaPlayer = nullptr;
    QLabel* LabelObliczenia = nullptr;
    QProgressBar* ProgressBarObliczenia = nullptr;
    QPushButton* LegendaButton = nullptr;

public slots:
    // Mode switching: both check boxes run the same steps.
    void CheckBoxKwantyzerClick();
    void CheckBoxPredyktorClick();
    // Shows the controls of the selected quantiser law.
    void TreeViewKwantyzerChange();
    // Holds the law at "Adaptacyjny" while both boxes are ticked.
    void TreeViewKwantyzerEnter();
    // Captions the predictor parameter after the selected algorithm.
    void TreeViewPredyktorChange();

    // The input page.
    void ButtonPrzegladajClick();
    void ButtonGenerujClick();
    void EditCzestotliwoscClick();
    void RadioButtonPlikWeClick();
    void RadioButtonSinusClick();
    void ButtonTlumClick();

    // The input view.
    void DrawInputView();
    void ScrollBarSygnalWeChange();
    void RadioButtonRamkaClick();
    void RadioButtonFrazaClick();

    // The run.
    void ButtonSymulacjaClick();

    // The results view and listening.
    void DrawResults();
    void ScrollBarChange();
    void RadioButtonSygnalWeClick();
    void RadioButtonSygnalWyClick();
    void MediaPlayerClick(MediaPlayerWidget::Button button);
    void TabSheetSymulacjaExit();

    // The auxiliary windows.
    void ButtonMnoznikiClick();
    void LegendaButtonClick();

private:
    void createUi();
    void createUkladPage();
    void createWeWyPage();
    void createKwantyzerPage();
    void createPredyktorPage();
    void createSymulacjaPage();
    void connectUi();
    void FormCreate();

    void switchMode();
    void setMeasureLabels(const char* overall, const char* segmental, const char* frame);
    bool loadSchematic(const char* fileName);
    QTreeWidgetItem* quantiserItem(int displayIndex) const;
    void reportFileError(const QString& path);
    void choosePlaybackFile();
    void showPlayerState();
    void pageChanged(int page);

    // InputHost and RunHost: a message box.
    void showMessage(const std::string& text, const std::string& title) override;

    // RunHost: the indicators, the results scroll bar and view, the player's file.
    void setProgressRange(int maximum) override;
    void setProgress(int position) override;
    void setResultsRange(int maximum) override;
    void drawResults() override;
    SignalState& signal() override;
    void computationStarted() override;
    void computationFinished() override;
    void releaseOutputWav() override;

    // InputHost: what the input actions change in the window.
    void resetInputScrollBar(int lastFrame) override;
    void selectSource(InputSource source) override;
    void showFileName(const std::string& name) override;
    void clearFrequency() override;
    void enableAttenuation() override;
    void drawInputView() override;

    WorkingFiles files_;
    SignalState signal_;
    UiDialogs& dialogs_;
    InputActions input_;
    AudioPlayer player_;
    // The random generator of the Lloyd-Max random codebook: one per program, never reseeded.
    std::minstd_rand random_;
    const Mnozniki defaultMultipliers_ = Mnozniki::defaults();
    int currentPage_ = 0;
    TWspForm* legend_ = nullptr;
    TFormMnozniki* multipliers_ = nullptr;
};
