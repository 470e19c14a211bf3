#pragma once

#include "app/SimOptions.h"
#include "engine/InputActions.h"
#include "engine/SignalState.h"
#include "engine/WorkingFiles.h"

#include <ostream>

// Exit statuses of modulacje-sim.
inline constexpr int kExitDone = 0;
inline constexpr int kExitRefused = 1; // a refusal the window shows in a message box
inline constexpr int kExitUsage = 2;   // bad command line; nothing touched

// The command line's side of the input actions: every message goes to the error stream as
// "TITLE: TEXT"; the widget calls have nothing to show and are dropped.
class ConsoleInputHost : public HeadlessInputHost {
public:
    explicit ConsoleInputHost(std::ostream& err) : err_(err) {}

    void showMessage(const std::string& text, const std::string& title) override;

private:
    std::ostream& err_;
};

// One call of modulacje-sim: the state a window has right after start-up (without clearing the
// working files), and the streams it reports on.
struct SimSession {
    SimSession(const std::string& startupDir, std::ostream& out, std::ostream& err)
        : files(startupDir), host(err), actions(files, signal, host), out(out), err(err) {}

    WorkingFiles files;
    SignalState signal;
    ConsoleInputHost host;
    InputActions actions;
    std::ostream& out;
    std::ostream& err;
};

// Everything after the option parser: start-up checks and the directory lock, the input actions
// in order (the first refusal ends the call), then runSimulation. Returns the exit status.
int runSimCommand(const SimOptions& options, std::ostream& out, std::ostream& err);

// What follows the input actions: the multiplier edits, the run of options.mode and the measures
// on `session.out`. Returns the exit status. Lives in SimRun.cpp.
int runSimulation(const SimOptions& options, SimSession& session);
