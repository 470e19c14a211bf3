#include "app/SimSession.h"

// The multiplier edits and the simulation runs are not part of this build yet: a call that asks
// for them is refused rather than reported as done.
int runSimulation(const SimOptions& options, SimSession& session) {
    if (!options.mode && options.multiplierEdits.empty())
        return kExitDone;
    session.err << "modulacje-sim: the multiplier edits and the simulation runs are not built in "
                   "yet\n";
    return kExitRefused;
}
