#!/usr/bin/env bash
# Source coverage of the core reached by the fuzzers' corpora: builds both harnesses with clang's
# coverage counters (build/fuzz-cov), replays each corpus once (no fuzzing) and prints llvm-cov's
# line and branch table for src/wave and src/engine.
# Usage: fuzz/coverage.sh [WAVE_CORPUS_DIR [INPUT_CORPUS_DIR]]   (default: fuzz/corpus for both;
# give the directories a longer run filled to measure what it reached)
set -euo pipefail
cd "$(dirname "$0")/.."
wave_corpus=${1:-fuzz/corpus}
input_corpus=${2:-$wave_corpus}
build=build/fuzz-cov
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMODULACJE_FUZZ=ON -DMODULACJE_FUZZ_COVERAGE=ON -DMODULACJE_WITH_UI=OFF \
    -DMODULACJE_WITH_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target wave_reader_fuzzer input_actions_fuzzer >/dev/null
rm -f "$build"/*.profraw
LLVM_PROFILE_FILE="$build/wave.profraw" "$build/fuzz/wave_reader_fuzzer" -runs=0 \
    "$wave_corpus" fuzz/regressions 2>/dev/null
LLVM_PROFILE_FILE="$build/input.profraw" "$build/fuzz/input_actions_fuzzer" -runs=0 \
    "$input_corpus" fuzz/regressions 2>/dev/null
for h in wave input; do
    llvm-profdata merge -sparse "$build/$h.profraw" -o "$build/$h.profdata"
done
echo "== WAV reader fuzzer"
llvm-cov report "$build/fuzz/wave_reader_fuzzer" -instr-profile="$build/wave.profdata" \
    src/wave
echo "== Input actions fuzzer"
llvm-cov report "$build/fuzz/input_actions_fuzzer" -instr-profile="$build/input.profdata" \
    src/wave src/engine/InputActions.cpp src/engine/Conversions.cpp src/engine/StagedFile.cpp \
    src/engine/SampleStream.cpp
