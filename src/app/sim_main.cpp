// modulacje-sim: the window's actions from the command line (see simUsage()).

#include "app/SimOptions.h"
#include "app/SimSession.h"

#include <iostream>

int main(int argc, char** argv) {
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
