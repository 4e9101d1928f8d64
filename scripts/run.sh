#!/usr/bin/env bash
# Sets up, builds and starts the Veltrano window (Linux build).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build linux
cmake -S . -B build/run -DCMAKE_BUILD_TYPE=Release -DVELTRANO_BUILD_TESTS=OFF -DVELTRANO_BUILD_BENCH=OFF >/dev/null
cmake --build build/run --target veltrano -j "$(nproc)"
exec build/run/veltrano "$@"
