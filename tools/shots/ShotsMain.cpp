// modulacje-shots OUTPUT_DIR: starts the window in the current directory (a start-up directory
// with Tmp, Frazy and the bitmaps), chooses the first phrase of Frazy, then ticks each mode in
// turn, runs it with typical settings and saves a PNG of every page that mode shows, the phrase as
// a whole, and each auxiliary window.
#include "ui/FormMnozniki.h"
#include "ui/FormModulacje.h"
#include "ui/ModulacjeApplication.h"
#include "ui/QtAudioBackend.h"
#include "ui/UiDialogs.h"
#include "ui/WspForm.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

#include <cstdio>
#include <filesystem>

namespace {

// Messages go to stderr; the open-file dialog answers with the first phrase of Frazy.
class ScriptedDialogs : public UiDialogs {
public:
    void message(const std::string& text, const std::string& title) override {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    }
    std::optional<std::string> openWaveFile() override {
        const QStringList phrases =
            QDir(QStringLiteral("Frazy")).entryList({QStringLiteral("*.wav")}, QDir::Files);
        if (phrases.isEmpty())
            return std::nullopt;
        return QFile::encodeName(
                   QDir::current().absoluteFilePath(QStringLiteral("Frazy/") + phrases.first()))
            .toStdString();
    }
};

void save(QWidget& widget, const QString& path) {
    QApplication::processEvents();
    if (!widget.grab().save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

void tick(QCheckBox* box, bool ticked) {
    if (box->isChecked() != ticked)
        box->click();
}

} // namespace

int main(int argc, char** argv) {
    ModulacjeApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("shots");
    QDir().mkpath(out);

    ScriptedDialogs dialogs;
    QtAudioBackend audio;
    TFormModulacje window(std::filesystem::current_path().string(), dialogs, audio);
    TWspForm legend;
    TFormMnozniki multipliers(dialogs);
    window.setAuxiliaryWindows(&legend, &multipliers);
    window.show();
    save(window, out + QStringLiteral("/start.png"));
    window.ButtonPrzegladajClick();
    window.CheckBoxKwantyzer->click();
    window.PageControl->setCurrentIndex(1);
    window.RadioButtonFraza->click();
    save(window, out + QStringLiteral("/fraza.png"));
    window.RadioButtonRamka->click();
    window.CheckBoxKwantyzer->click();

    // Each mode with typical settings, run once so that "Symulacja" shows a result.
    struct Mode {
        const char* name;
        bool quantiser;
        bool predictor;
        const char* levels;
        const char* coefficients;
        const char* parameter;
    };
    const Mode modes[] = {{"kwantyzer", true, false, "16", "", ""},
                          {"predyktor", false, true, "", "4", "0,01"},
                          {"adpcm", true, true, "4", "4", "0,01"},
                          {"brak", false, false, "", "", ""}};
    for (const Mode& mode : modes) {
        window.PageControl->setCurrentIndex(0);
        tick(window.CheckBoxKwantyzer, mode.quantiser);
        tick(window.CheckBoxPredyktor, mode.predictor);
        if (mode.quantiser || mode.predictor) {
            window.EditLiczbaPoziomow->setText(QString::fromUtf8(mode.levels));
            window.EditLiczbaWspPredykcji->setText(QString::fromUtf8(mode.coefficients));
            window.EditParametrPredykcji->setText(QString::fromUtf8(mode.parameter));
            window.ButtonSymulacjaClick();
            window.ScrollBar->setValue(window.ScrollBar->maximum() / 3);
        }
        for (int page = 0; page < window.PageControl->count(); ++page) {
            if (!window.PageControl->isTabVisible(page))
                continue;
            window.PageControl->setCurrentIndex(page);
            save(window, QStringLiteral("%1/%2-%3.png").arg(out).arg(mode.name).arg(page));
        }
    }

    legend.show();
    save(legend, out + QStringLiteral("/legenda.png"));
    multipliers.show();
    save(multipliers, out + QStringLiteral("/mnozniki.png"));
    return 0;
}
