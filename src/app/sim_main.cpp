// modulacje-sim: the window's actions from the command line (see simUsage()).

#include "app/SimOptions.h"
#include "app/SimSession.h"

#include <csignal>
#include <iostream>

int main(int argc, char** argv) {
    // A file size limit (ulimit -f) reached while writing would kill the program with SIGXFSZ,
    // halfway through its files and without a word; ignored, the write fails with EFBIG and the
    // program refuses as on a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    const SimParseResult parsed = parseSimOptions(std::vector<std::string>(argv + 1, argv + argc));
    switch (parsed.status) {
    case SimParseResult::Status::Help:
        std::cout << simUsage();
        return kExitDone;
    case SimParseResult::Status::UsageError:
        std::cerr << "modulacje-sim: " << parsed.error << "\n" << simUsage();
        return kExitUsage;
    case SimParseResult::Status::Ok:
        break;
    }
    return runSimCommand(parsed.options, std::cout, std::cerr);
}
