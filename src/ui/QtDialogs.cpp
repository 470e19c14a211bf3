#include "ui/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

void QtDialogs::message(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

std::optional<std::string> QtDialogs::openWaveFile() {
    const QString start =
        lastFile_.isEmpty() ? QDir::current().absoluteFilePath(QStringLiteral("Frazy")) : lastFile_;
    const QString chosen = QFileDialog::getOpenFileName(
        QApplication::activeWindow(), QString(), start, QStringLiteral("Pliki wave (*.wav)"));
    if (chosen.isEmpty())
        return std::nullopt;
    lastFile_ = chosen;
    return QFile::encodeName(chosen).toStdString();
}
