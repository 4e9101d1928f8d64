#!/usr/bin/env bash
# veltrano.exe end to end under Wine on the X display in DISPLAY (800x600 with a
# window manager): type a loopback page address, click 按钮1, find the video
# address on the X clipboard, close the "信息：" box, Escape, exit code 0.
# Usage: EndToEnd.sh WINE_RUN PREFIX VELTRANO_EXE SCREENSHOT_DIR
set -euo pipefail
wine_run=$1 prefix=$2 program=$3 shots=$4
caption='VeltranoV1.0 - By Ostrik on veltrano.example'
info_title='信息：'
video='http://127.0.0.1/media/clip-视频.mp4?sign=a&b'
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || fail "needs an X display (scripts/test-windows.sh starts one)"

work=$(mktemp -d)
server= program_pid=
cleanup() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null
        sleep 1
        kill -9 "$program_pid" 2>/dev/null
    fi
    [ -n "$server" ] && kill "$server" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# The page: UTF-8, so the address comes back through the conversion to GBK.
printf '<html><head><meta charset="utf-8"></head><script>\r\n        var videoUrl = "%s";\r\n        var defaultImg = "x.jpg";\r\n</script></html>' \
    "$video" >"$work/page.html"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work" >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 100); do grep -q 'port [0-9]' "$work/server.log" && break; sleep 0.1; done
port=$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$work/server.log" | head -n1)
[ -n "$port" ] || fail "page server did not start"
address="http://127.0.0.1:$port/page.html"

# Visible windows whose title is exactly $1 (search --name cannot match Chinese).
windows_named() {
    local id
    for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
        [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && echo "$id"
    done
    return 0
}
wait_for_window() {
    local id
    for _ in $(seq 150); do
        id=$(windows_named "$1" | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    return 1
}

printf 'before' | xclip -selection clipboard >/dev/null 2>&1  # its daemon must not hold our output open
"$wine_run" --prefix "$prefix" "$program" >"$work/program.log" 2>&1 &
program_pid=$!

window=$(wait_for_window "$caption") || fail "window \"$caption\" not shown"
geometry=$(xdotool getwindowgeometry --shell "$window")
eval "$geometry"
[ "$X,$Y,$WIDTH,$HEIGHT" = "132,239,536,121" ] || fail "outer rectangle $X,$Y ${WIDTH}x$HEIGHT, wanted 132,239 536x121"
sleep 0.5
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shots/e2e-window.png"

# The caret is in 编辑框1 at start.
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
xdotool type --delay 20 "$address"
# 按钮1: 424,24 96x32 in the client area, under a 3 px frame and a 23 px title bar.
xdotool mousemove $((X + 3 + 424 + 48)) $((Y + 26 + 24 + 16)) click 1

box=$(wait_for_window "$info_title") || fail "no \"$info_title\" box"
sleep 0.5
import -window root "$shots/e2e-message-box.png"
# Wine hands the clipboard over to X a moment after the program set it.
for _ in $(seq 50); do
    clipboard=$(xclip -o -selection clipboard 2>/dev/null || true)
    [ "$clipboard" = "$video" ] && break
    sleep 0.1
done
[ "$clipboard" = "$video" ] || fail "clipboard holds '$clipboard', wanted '$video'"

# The box takes the focus itself; keys go to the focused window.
for _ in $(seq 50); do [ "$(xdotool getwindowfocus 2>/dev/null)" = "$box" ] && break; sleep 0.1; done
xdotool key Return
for _ in $(seq 50); do [ -z "$(windows_named "$info_title")" ] && break; sleep 0.2; done
[ -z "$(windows_named "$info_title")" ] || fail "the box did not close"
sleep 0.5
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shots/e2e-after-copy.png"
# 编辑框2 (80,64 432x24 in the client area) holds the address now, yet its
# place shows the notice: no white edit background, and dark text drawn.
result_box="432x24+$((3 + 80))+$((26 + 64))"
white=$(convert "$shots/e2e-after-copy.png" -crop "$result_box" +repage -fill black +opaque white \
    -format '%[fx:mean]' info:)
dark=$(convert "$shots/e2e-after-copy.png" -crop "$result_box" +repage -colorspace gray -threshold 40% -negate \
    -format '%[fx:mean]' info:)
awk -v w="$white" 'BEGIN { exit !(w == 0) }' || fail "the result box shows through the notice (white share $white)"
awk -v d="$dark" 'BEGIN { exit !(d > 0.02) }' || fail "no notice text drawn over the result box (dark share $dark)"

for _ in $(seq 50); do [ "$(xdotool getwindowfocus 2>/dev/null)" = "$window" ] && break; sleep 0.1; done
xdotool key Escape
status=
for _ in $(seq 100); do
    if ! kill -0 "$program_pid" 2>/dev/null; then
        wait "$program_pid" && status=0 || status=$?
        break
    fi
    sleep 0.1
done
program_pid=
[ -n "$status" ] || fail "the program did not end on Escape"
[ "$status" = 0 ] || fail "exit code $status"
echo "PASS: window at 132,239 536x121, video address on the clipboard, box closed, Escape ended with 0"
