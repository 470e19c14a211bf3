// modulacje: the window program. Its start-up directory (working files in Tmp, the bitmaps, the
// phrases in Frazy) is the current directory.
#include "ui/FormMnozniki.h"
#include "ui/FormModulacje.h"
#include "ui/ModulacjeApplication.h"
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
        TFormModulacje window(std::filesystem::current_path().string(), dialogs);
        TWspForm legend;
        TFormMnozniki multipliers(dialogs);
        window.setAuxiliaryWindows(&legend, &multipliers);
        window.show();
        return app.exec();
    } catch (const std::exception& e) {
        ModulacjeApplication::reportError(QString::fromUtf8(e.what()));
        return 1;
    }
}
