#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// modulacje-sim run as a child process, with the faults of its surroundings a test may impose.
struct SimFaults {
    // Files the program writes cannot grow beyond this many bytes (RLIMIT_FSIZE, as ulimit -f):
    // a write past it raises SIGXFSZ, which the program ignores, and then fails with EFBIG as on
    // a full disk.
    std::optional<std::uint64_t> fileSizeLimit;
    // The program runs as the user "nobody" (for a root test: permissions apply to it again).
    bool asNobody = false;
    // A program still running after this many seconds is killed (SIGALRM): a hang shows as a
    // failure, not as a test that never ends.
    unsigned timeoutSeconds = 60;
    // The directory the program starts in (its default start-up directory); empty: the test's.
    std::string startDir;
};

struct SimOutcome {
    int status = -1; // exit status; -1 when the program did not exit (a crash)
    int signal = 0;  // the signal that ended it, if one did
    std::string out; // what it printed on stdout
    std::string err; // ... and on stderr
};

// Runs the built modulacje-sim with `args` (in faults.startDir when given); its output goes
// through files in `scratchDir`, which must exist and be writable by the caller.
SimOutcome runSim(const std::vector<std::string>& args, const std::string& scratchDir,
                  const SimFaults& faults = {});

// The user id of "nobody", when the system has one.
std::optional<unsigned> nobodyUid();
