#pragma once

#include "UiTestSupport.h"
#include "ui/FormModulacje.h"

#include <QString>

#include <memory>
#include <string>

// A main window on a fresh start-up directory with the fake dialogs and sound output, and the
// user's steps on the input page. `audioReason` non-empty plays a machine without a sound device.
struct WindowFixture {
    explicit WindowFixture(const std::string& audioReason = {});

    TFormModulacje& w() { return *window; }
    // "Przeglądaj..." with the open-file dialog answered by `path`.
    void choose(const std::string& path);
    // "Generuj" with `frequency` typed into the frequency field.
    void generate(const QString& frequency);
    // "Tłumienie" with `decibels` typed into the attenuation field.
    void attenuate(const QString& decibels);

    StartupDir dir;
    FakeDialogs dialogs;
    FakeAudio audio;
    std::unique_ptr<TFormModulacje> window;
};
