#pragma once

#include <QApplication>

// The application object of the window program. An exception that escapes an event handler is
// shown as the application's standard error report (a message box with the error's text, titled
// "Modulacje") instead of ending the program; the window stays open and usable.
class ModulacjeApplication : public QApplication {
public:
    ModulacjeApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The standard error report, also used for a failure during start-up.
    static void reportError(const QString& text);
};
