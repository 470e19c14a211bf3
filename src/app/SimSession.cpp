#include "app/SimSession.h"

#include "engine/StartupCheck.h"

#include <filesystem>

void ConsoleInputHost::showMessage(const std::string& text, const std::string& title) {
    err_ << title << ": " << text << std::endl;
}

namespace {

std::string startupDirectory(const SimOptions& options) {
    if (!options.dir.empty())
        return options.dir;
    std::error_code ec;
    const auto cwd = std::filesystem::current_path(ec);
    return ec ? std::string(".") : cwd.string();
}

// One input action as the window performs it; false when it was refused.
bool perform(const SimInputAction& action, InputActions& actions) {
    switch (action.kind) {
    case SimInputAction::Kind::Wav:
        return actions.chooseFile(action.text);
    case SimInputAction::Kind::Sine:
        return actions.generateTone(action.text);
    case SimInputAction::Kind::Source:
        actions.selectSource(action.source);
        return true;
    case SimInputAction::Kind::Attenuate:
        return actions.attenuate(action.text);
    }
    return false;
}

} // namespace

int runSimCommand(const SimOptions& options, std::ostream& out, std::ostream& err) {
    SimSession session(startupDirectory(options), out, err);
    InstanceLock lock;
    if (!checkStartup(session.files, lock, session.host))
        return kExitRefused;
    for (const SimInputAction& action : options.inputActions)
        if (!perform(action, session.actions))
            return kExitRefused;
    return runSimulation(options, session);
}
