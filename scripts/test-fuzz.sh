#!/usr/bin/env bash
# Differential fuzzing of the text toolkit against its plain reference, under
# the sanitizers, for a bounded time (FUZZ_SECONDS, 30 by default).
set -euo pipefail
cd "$(dirname "$0")/.."
CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRANO_FUZZ=ON \
    -DVELTRANO_BUILD_TESTS=OFF >/dev/null
cmake --build build/fuzz --target text_fuzzer -j "$(nproc)"
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp fuzz/corpus/* "$corpus"/
build/fuzz/fuzz/text_fuzzer -max_total_time="${FUZZ_SECONDS:-30}" -max_len=4096 -print_final_stats=1 \
    "$corpus" 2>&1 | tail -n 25
