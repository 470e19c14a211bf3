// libFuzzer harness: the input page's actions on a file of any bytes (see InputActionsCheck.h).

#include "InputActionsCheck.h"
#include "ScratchDir.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchDir scratch;
    static InputActionsCheck check(scratch.path());
    const std::string problem = check.run(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "input actions: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
