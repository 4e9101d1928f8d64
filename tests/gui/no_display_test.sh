#!/bin/sh
# Without a display the program explains itself in one line and fails, for no
# display named at all and for a display that cannot be reached.
program="$1"
status_of_case=0
check() {
    name="$1"; shift
    output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" "$program" 2>&1 </dev/null)
    status=$?
    lines=$(printf '%s\n' "$output" | wc -l)
    if [ "$status" -eq 0 ] || [ "$status" -ge 128 ] || [ "$lines" -ne 1 ] ||
        ! printf '%s' "$output" | grep -q 'veltrano-cli'; then
        echo "FAIL ($name): exit status $status, $lines line(s):"
        printf '%s\n' "$output"
        status_of_case=1
    else
        echo "ok ($name): exit status $status: $output"
    fi
}
check "no display named"
check "unreachable display" DISPLAY=:4711
check "unreachable display, xcb asked for" DISPLAY=:4711 QT_QPA_PLATFORM=xcb
exit $status_of_case
