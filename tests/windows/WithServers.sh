#!/usr/bin/env bash
# Runs a Windows test program under Wine with loopback servers started here,
# on the host (tests/servers/scripted_server.py): a plain HTTP one and HTTPS
# ones with a certificate the test authority signed and a self-signed one.
# The program finds each as VELTRANO_SERVER_<NAME>=port|directory, where the
# directory holds script.json (rewritten by the test) and log.jsonl, and the
# authority as VELTRANO_TEST_AUTHORITY; the directories are reached through
# Wine's Z: drive. Usage: WithServers.sh SERVERS_DIR WINE_RUN [ARG...]
set -euo pipefail
servers_dir=$1; shift
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

"$servers_dir/make_test_certs.sh" "$work/certs" >/dev/null
start_server() {  # NAME [TLS ARGS...]
    local name=$1 dir="$work/$1" line
    shift
    mkdir -p "$dir"
    echo '{"routes": {}}' >"$dir/script.json"
    : >"$dir/log.jsonl"
    python3 -u "$servers_dir/scripted_server.py" --script "$dir/script.json" --log "$dir/log.jsonl" "$@" \
        >"$dir/out" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        line=$(head -n1 "$dir/out")
        [ "${line%% *}" = port ] && break
        sleep 0.1
    done
    [ "${line%% *}" = port ] || { echo "server $name did not start: $(cat "$dir/out")" >&2; exit 1; }
    export "VELTRANO_SERVER_$name=${line#port }|$dir"
}
start_server HTTP
start_server HTTPS_TRUSTED --tls-cert "$work/certs/trusted.pem" --tls-key "$work/certs/trusted.key"
start_server HTTPS_UNTRUSTED --tls-cert "$work/certs/untrusted.pem" --tls-key "$work/certs/untrusted.key"
export VELTRANO_TEST_AUTHORITY="$work/certs/ca.pem"
"$@"
