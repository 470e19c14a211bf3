#include "WindowFixture.h"

#include "ui/ClickableLineEdit.h"

#include <QLineEdit>
#include <QPushButton>

WindowFixture::WindowFixture(const std::string& audioReason) {
    audio.reason = audioReason;
    window = std::make_unique<TFormModulacje>(dir.path(), dialogs, audio);
}

void WindowFixture::choose(const std::string& path) {
    dialogs.fileAnswers.push_back(path);
    w().ButtonPrzegladaj->click();
}

void WindowFixture::generate(const QString& frequency) {
    w().EditCzestotliwosc->setText(frequency);
    w().ButtonGeneruj->click();
}

void WindowFixture::attenuate(const QString& decibels) {
    w().EditTlumienie->setText(decibels);
    w().ButtonTlum->click();
}
