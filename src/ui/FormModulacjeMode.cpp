// The mode (the two check boxes of "Układ") and the set-up trees of the main window.
#include "ui/FormModulacje.h"

#include "ui/EnterTreeWidget.h"
#include "ui/UiDialogs.h"
#include "ui/WidgetLook.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <array>

namespace {

enum Page { kUklad = 0, kWeWy = 1, kKwantyzer = 2, kPredyktor = 3, kSymulacja = 4 };

// Which quantiser controls each law shows, by the law's position among its siblings (the root
// "Kwantyzer" counts as position 0, like "Równomierny").
struct LawControls {
    bool codebookGroup; // "Sposób generacji słownika początkowego:" (Lloyd-Max only)
    bool range;         // "Zakres pracy (max. 1,0):" and its field
    bool multipliers;   // "Mnożniki..." (adaptive only)
};
constexpr std::array<LawControls, 4> kLawControls{{
    {false, true, false}, // Równomierny
    {false, true, true},  // Adaptacyjny
    {false, true, false}, // Logarytmiczny
    {true, false, false}, // Lloyd
}};

// Caption of the predictor parameter by the algorithm's position among its siblings.
constexpr std::array<const char*, 3> kParameterCaptions{"B:", "LB:", "ALPHA:"};

// Display order of "Adaptacyjny": root, "Równomierny", "Adaptacyjny".
constexpr int kAdaptiveDisplayIndex = 2;

} // namespace

void TFormModulacje::CheckBoxKwantyzerClick() {
    switchMode();
}

void TFormModulacje::CheckBoxPredyktorClick() {
    switchMode();
}

void TFormModulacje::switchMode() {
    RadioButtonL->setChecked(true);
    for (int page = kUklad; page <= kSymulacja; ++page)
        PageControl->setTabVisible(page, true);

    const bool quantiser = CheckBoxKwantyzer->isChecked();
    const bool predictor = CheckBoxPredyktor->isChecked();
    if (quantiser && predictor) {
        TreeViewKwantyzer->setCurrentItem(quantiserItem(kAdaptiveDisplayIndex));
        setMeasureLabels("SNR", "SNR_SEG", "SNR bieżącej ramki");
        if (!loadSchematic("ADPCM.bmp"))
            return;
        LegendaButton->hide();
    } else if (quantiser) {
        setMeasureLabels("SNR", "SNR_SEG", "SNR bieżącej ramki");
        PageControl->setTabVisible(kPredyktor, false);
        if (!loadSchematic("Kwantyzer.bmp"))
            return;
        LegendaButton->hide();
    } else if (predictor) {
        setMeasureLabels("GP", "GP_SEG", "GP bieżącej ramki");
        LegendaButton->show();
        PageControl->setTabVisible(kKwantyzer, false);
        loadSchematic("Predyktor.bmp");
    } else {
        for (int page = kWeWy; page <= kSymulacja; ++page)
            PageControl->setTabVisible(page, false);
        loadSchematic("Pusty.bmp");
    }
}

void TFormModulacje::setMeasureLabels(const char* overall, const char* segmental,
                                      const char* frame) {
    look::setAutoText(LabelSNR, QString::fromUtf8(overall));
    look::setAutoText(LabelSNRSEG, QString::fromUtf8(segmental));
    look::setAutoText(LabelSNRBR, QString::fromUtf8(frame));
}

// Shows a schematic bitmap of the start-up directory at its natural size, its background colour
// (the colour of its bottom-left pixel) transparent. A bitmap that cannot be loaded is reported
// and the picture keeps what it showed; the caller stops there.
bool TFormModulacje::loadSchematic(const char* fileName) {
    const QString path =
        QString::fromStdString(files_.startupDir()) + QLatin1Char('/') + QLatin1String(fileName);
    QPixmap picture;
    if (!picture.load(path, "BMP")) {
        reportFileError(path);
        return false;
    }
    const QImage image = picture.toImage();
    const QColor background = image.pixelColor(0, image.height() - 1);
    picture.setMask(picture.createMaskFromColor(background, Qt::MaskInColor));
    ImageSchemat->setPixmap(picture);
    return true;
}

QTreeWidgetItem* TFormModulacje::quantiserItem(int displayIndex) const {
    QTreeWidgetItem* root = TreeViewKwantyzer->topLevelItem(0);
    return displayIndex == 0 ? root : root->child(displayIndex - 1);
}

void TFormModulacje::TreeViewKwantyzerChange() {
    const int position = TreeViewKwantyzer->selectedPosition();
    if (position < 0 || position >= static_cast<int>(kLawControls.size()))
        return;
    const LawControls& shown = kLawControls[static_cast<std::size_t>(position)];
    GroupBoxGeneracja->setVisible(shown.codebookGroup);
    Label14->setVisible(shown.range);
    EditZakres->setVisible(shown.range);
    ButtonMnozniki->setVisible(shown.multipliers);
}

void TFormModulacje::TreeViewKwantyzerEnter() {
    if (!(CheckBoxKwantyzer->isChecked() && CheckBoxPredyktor->isChecked()))
        return;
    EditLiczbaPoziomow->setFocus();
    TreeViewKwantyzer->setCurrentItem(quantiserItem(kAdaptiveDisplayIndex));
}

void TFormModulacje::TreeViewPredyktorChange() {
    const int position = TreeViewPredyktor->selectedPosition();
    if (position < 0 || position >= static_cast<int>(kParameterCaptions.size()))
        return;
    look::setAutoText(LabelParametrPredykcji,
                      QString::fromUtf8(kParameterCaptions[static_cast<std::size_t>(position)]));
}
