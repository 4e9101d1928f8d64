#!/usr/bin/env bash
# Sets up, builds and starts the Veltrano window (Linux build).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build linux
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release -DVELTRANO_BUILD_TESTS=OFF -DVELTRANO_BUILD_BENCH=OFF >/dev/null
cmake --build build/native --target veltrano -j "$(nproc)"
exec build/native/veltrano "$@"
