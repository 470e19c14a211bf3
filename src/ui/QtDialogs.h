#pragma once

#include "ui/UiDialogs.h"

#include <QString>

// UiDialogs on Qt Widgets: QMessageBox without an icon, QFileDialog. The box is parented to the
// window that is active when it opens, so it stays above it and blocks it.
class QtDialogs : public UiDialogs {
public:
    void message(const std::string& text, const std::string& title) override;
    std::optional<std::string> openWaveFile() override;

private:
    QString lastFile_; // the dialog remembers the last accepted file, as the platform's does
};
