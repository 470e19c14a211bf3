// libFuzzer harness: the RIFF/WAVE reader on a file of any bytes (see WaveReaderCheck.h).

#include "ScratchDir.h"
#include "WaveReaderCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchDir scratch;
    static const std::string path = scratch.path() + "/input.wav";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0)
        std::abort();
    const std::string problem = checkWaveReader(path);
    if (!problem.empty()) {
        std::fprintf(stderr, "WAV reader: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
