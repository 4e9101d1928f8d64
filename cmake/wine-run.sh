#!/usr/bin/env bash
# Runs a Windows program under Wine: wine-run.sh [--prefix DIR] PROGRAM [ARG...]
# The prefix (by default build/windows/wine-prefix) is created once, quietly;
# the locale gives the ANSI code page 936 (GBK) the program is written for.
set -euo pipefail
prefix=${WINEPREFIX:-}
if [ "${1:-}" = --prefix ]; then prefix=$2; shift 2; fi
[ -n "$prefix" ] || prefix="$(cd "$(dirname "$0")/.." && pwd)/build/windows/wine-prefix"
prefix=$(realpath -m "$prefix")  # Wine takes absolute prefixes only
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts while the prefix is made.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$(dirname "$prefix")"
(
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
        env LC_ALL=zh_CN.UTF-8 wineboot --init >/dev/null 2>&1 || true
        # Windows' own frames, drawn by Wine: the X window is the window's outer rectangle.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1 || true
        wineserver --wait || true
    fi
) 9>"$prefix.lock"
# Set for Wine only: the shell itself has no such locale generated.
exec env LC_ALL=zh_CN.UTF-8 wine "$@"
