#pragma once

#include "engine/MessageSink.h"
#include "engine/SignalState.h"
#include "engine/WorkingFiles.h"

#include <optional>
#include <string>

// Which input the attenuation scales: the chosen WAV file, or the current we.wav (a tone).
enum class InputSource { WaveFile, Sine };

// What the input actions change in the window beyond the working files. The window maps each call
// onto its widgets; the command line keeps what it needs and ignores the rest.
class InputHost : public MessageSink {
public:
    // Scroll bar of the input view: minimum 0, maximum lastFrame, position 0.
    virtual void resetInputScrollBar(int lastFrame) = 0;
    // The radio buttons "Plik wave" / "Sinus o częstotliwości".
    virtual void selectSource(InputSource source) = 0;
    // The shown file name (without directory); empty after a tone is generated.
    virtual void showFileName(const std::string& name) = 0;
    // The frequency field is emptied when a file is chosen.
    virtual void clearFrequency() = 0;
    // "Tłumienie", its field and label become usable (and stay so).
    virtual void enableAttenuation() = 0;
    // The input view redraws from the working files.
    virtual void drawInputView() = 0;
};

// A host with no widgets (the command line, tools): the widget calls have nothing to show and
// are dropped; only the messages remain to be handled.
class HeadlessInputHost : public InputHost {
public:
    void resetInputScrollBar(int) override {}
    void selectSource(InputSource) override {}
    void showFileName(const std::string&) override {}
    void clearFrequency() override {}
    void enableAttenuation() override {}
    void drawInputView() override {}
};

// The input page's actions, free of any toolkit: choose a WAV file, generate the tone, select the
// source by hand, attenuate. Each rewrites Tmp/001.tmp and Tmp/we.wav as a whole or, when it
// refuses, leaves them as they were; refusals reach the host as a message box.
//
// Both files are written under temporary names and renamed into place together once both are
// complete, so a write that fails (disk full, Tmp missing or read-only) leaves the previous input
// intact and says "Nie udało się zapisać plików roboczych w katalogu Tmp." / "Błąd". An input file
// is accepted only with 8- or 16-bit samples, 1 to 16777216 of them; anything else is
// "Blad pliku wejsciowego" / "Blad". Attenuating a tone needs 001.tmp and we.wav; without them:
// "Brak sygnału wejściowego w katalogu Tmp." / "Błąd".
class InputActions {
public:
    InputActions(const WorkingFiles& files, SignalState& signal, InputHost& host);

    // The user accepted `path` in the open-file dialog (a cancelled dialog calls nothing).
    // False when the file was refused ("Blad pliku wejsciowego" / "Blad").
    bool chooseFile(const std::string& path);
    // "Generuj" with the frequency field's text.
    bool generateTone(const std::string& frequencyText);
    // A radio button switched by hand, or a click into the frequency field (Sine).
    void selectSource(InputSource source);
    // "Tłumienie" with the attenuation field's text.
    bool attenuate(const std::string& attenuationText);

    InputSource source() const { return source_; }
    // The last file accepted in the dialog; empty when none was.
    const std::string& chosenFile() const { return chosenFile_; }

private:
    // signalLength = samples, lastFrame from it, input scroll bar reset.
    void setInput(int samples);
    // "Nie udało się zapisać plików roboczych w katalogu Tmp." / "Błąd"; returns false.
    bool refuseWrite();
    std::optional<float> currentToneHeader() const;
    bool scaleChosenFile(float header, float gain);
    bool scaleCurrentWav(float header, float gain);

    const WorkingFiles& files_;
    SignalState& signal_;
    InputHost& host_;
    InputSource source_ = InputSource::WaveFile;
    std::string chosenFile_;
};
