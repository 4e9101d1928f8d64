#!/usr/bin/env bash
# The native (Linux) build and all of its tests.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRANO_BUILD_TESTS=ON >/dev/null
cmake --build build/native -j "$(nproc)"
ctest --test-dir build/native --output-on-failure --no-tests=error -j 2
