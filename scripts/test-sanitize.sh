#!/usr/bin/env bash
# The tests again under AddressSanitizer and UndefinedBehaviorSanitizer; the
# window tests are left to the native run (the toolkit's own caches read as leaks).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DVELTRANO_SANITIZE=ON -DVELTRANO_BUILD_TESTS=ON -DVELTRANO_BUILD_BENCH=OFF >/dev/null
cmake --build build/sanitize -j "$(nproc)"
ctest --test-dir build/sanitize --output-on-failure --no-tests=error -j 2 -LE 'gui|e2e|bench'
