#!/usr/bin/env bash
# veltrano-cli.exe under Wine: the video address in the console's code page
# (936 under the zh_CN locale the tests run Wine with, so GBK bytes), and the
# exit statuses of the Linux companion.
# Usage: CliOnWine.sh WINE_RUN PREFIX VELTRANO_CLI_EXE
set -euo pipefail
wine_run=$1 prefix=$2 cli=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
server=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT

printf '<meta charset="utf-8"><script>\r\n        var videoUrl = "http://v.example/视频.mp4";\r\n        var defaultImg' >"$work/found.html"
printf '<meta charset="utf-8"><p>nothing here</p>' >"$work/none.html"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work" >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 100); do grep -q 'port [0-9]' "$work/server.log" && break; sleep 0.1; done
origin="http://127.0.0.1:$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$work/server.log" | head -n1)"
closed="http://127.0.0.1:9/"  # discard: nothing listens there

video=$(printf 'http://v.example/视频.mp4' | iconv -f UTF-8 -t GBK)
run() {  # EXPECTED_STATUS EXPECTED_OUTPUT [ARG...] (standard input from $input)
    local want_status=$1 want_out=$2 out status=0
    shift 2
    out=$("$wine_run" --prefix "$prefix" "$cli" "$@" <"${input:-/dev/null}" 2>"$work/err" | tr -d '\r') || status=$?
    [ "$status" = "$want_status" ] || fail "$*: status $status, wanted $want_status ($(cat "$work/err"))"
    [ "$out" = "$want_out" ] || fail "$*: printed '$out', wanted '$want_out'"
}
run 0 "$video" "$origin/found.html"
run 1 "" "$origin/none.html"
grep -q "no video address in the page" "$work/err" || fail "no reason given for a page without an address"
run 2 "" "$closed"
grep -q "could not fetch the page" "$work/err" || fail "no reason given for a failed fetch"
run 2 "$video" "$origin/found.html" "$origin/none.html" "$closed"
run 64 "" --no-such-option
run 64 ""
printf '%s\r\n\n%s\n' "$origin/found.html" "$origin/found.html" >"$work/input"
input="$work/input" run 0 "$(printf '%s\n%s' "$video" "$video")"
run 0 "veltrano-cli 1.0.0.0" --version
echo "PASS: veltrano-cli.exe statuses 0, 1, 2, 64 and its output"
