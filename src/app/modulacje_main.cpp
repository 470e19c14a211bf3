// modulacje: the window program. Its start-up directory (working files in Tmp, the bitmaps, the
// phrases in Frazy) is the current directory.
#include "engine/StartupCheck.h"
#include "ui/FormMnozniki.h"
#include "ui/FormModulacje.h"
#include "ui/ModulacjeApplication.h"
#include "ui/QtAudioBackend.h"
#include "ui/QtDialogs.h"
#include "ui/WspForm.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>

namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Without a display Qt would abort while it starts; say how to get one instead.
bool haveDisplay() {
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM");
}

// The start-up checks report through the program's message box.
class MessageBoxSink : public MessageSink {
public:
    explicit MessageBoxSink(UiDialogs& dialogs) : dialogs_(dialogs) {}
    void showMessage(const std::string& text, const std::string& title) override {
        dialogs_.message(text, title);
    }

private:
    UiDialogs& dialogs_;
};

} // namespace

int main(int argc, char** argv) {
    if (!haveDisplay()) {
        std::fputs("modulacje: there is no display to open the window on (DISPLAY and "
                   "WAYLAND_DISPLAY are unset).\n"
                   "Start it on a virtual display instead: xvfb-run ./modulacje\n",
                   stderr);
        return 1;
    }
    ModulacjeApplication app(argc, argv);
    try {
        QtDialogs dialogs;
        const std::string startupDir = std::filesystem::current_path().string();
        // Checked before the window clears the working files: a second program on the same
        // directory must not touch the first one's files.
        InstanceLock lock;
        MessageBoxSink sink(dialogs);
        if (!checkStartup(WorkingFiles(startupDir), lock, sink))
            return 1;

        QtAudioBackend audio;
        TFormModulacje window(startupDir, dialogs, audio);
        TWspForm legend;
        TFormMnozniki multipliers(dialogs);
        window.setAuxiliaryWindows(&legend, &multipliers);
        window.show();
        return app.exec();
    } catch (const std::exception& e) {
        // A failure during start-up is reported and ends the program as a failure.
        ModulacjeApplication::reportError(QString::fromUtf8(e.what()));
        return 1;
    }
}
