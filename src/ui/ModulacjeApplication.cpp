#include "ui/ModulacjeApplication.h"

#include "ui/WidgetLook.h"

#include <QMessageBox>

#include <exception>

ModulacjeApplication::ModulacjeApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Modulacje"));
    setFont(look::pixelFont(11));
}

bool ModulacjeApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        reportError(QString::fromUtf8(e.what()));
    } catch (...) {
        reportError(QStringLiteral("Nieznany błąd."));
    }
    return false;
}

void ModulacjeApplication::reportError(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Modulacje"), text, QMessageBox::Ok,
                    activeWindow());
    box.exec();
}
