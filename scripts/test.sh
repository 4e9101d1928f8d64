#!/usr/bin/env bash
# Sets up, builds and runs every test: the native build's tests, the same under
# AddressSanitizer and UndefinedBehaviorSanitizer, a bounded fuzz run, and the
# Windows build under Wine. Runs every stage and fails if any failed.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build linux test windows || exit 1

failed=()
for stage in native sanitize fuzz windows; do
    echo "=== test stage: $stage"
    if ! "scripts/test-$stage.sh"; then failed+=("$stage"); fi
done
if [ ${#failed[@]} -ne 0 ]; then
    echo "=== failed stages: ${failed[*]}"
    exit 1
fi
echo "=== every test stage passed"
