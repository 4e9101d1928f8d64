#!/usr/bin/env bash
# The 32-bit Windows build (build/windows: veltrano.exe, veltrano-cli.exe) and
# its tests under Wine, on an 800x600 Xvfb screen with a window manager (Wine's
# message boxes take no input without one).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw32.cmake \
    -DCMAKE_BUILD_TYPE=Release -DVELTRANO_BUILD_TESTS=ON >/dev/null
cmake --build build/windows -j 2

xvfb_log=$(mktemp)
Xvfb -displayfd 4 -screen 0 800x600x24 -nolisten tcp 4>"$xvfb_log.display" 2>"$xvfb_log" &
xvfb=$!
cleanup() {
    [ -n "${openbox:-}" ] && kill "$openbox" 2>/dev/null
    kill "$xvfb" 2>/dev/null
    rm -f "$xvfb_log" "$xvfb_log.display"
}
trap cleanup EXIT
for _ in $(seq 50); do [ -s "$xvfb_log.display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$xvfb_log.display")"
openbox >/dev/null 2>&1 &
openbox=$!

ctest --test-dir build/windows --output-on-failure --no-tests=error -j 2
