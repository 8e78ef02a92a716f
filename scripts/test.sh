#!/usr/bin/env bash
# Builds everything (native rules with sanitizers, the settings fuzzer, the
# 32- and 64-bit Windows programs) and runs every test: natively (the fuzzer
# for a minute), then under Wine on a private virtual display. Exits non-zero
# on any failure.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages || exit 1
cd "$ROOT"
failed=()
for preset in host fuzz win32 win64; do
    say "Building $preset"
    if ! cmake --preset "$preset" -DORVANE_WERROR=ON >/dev/null || ! cmake --build --preset "$preset"; then
        failed+=("$preset (build)")
    fi
done

start_virtual_display || exit 1
prepare_wine_prefix
for preset in host fuzz win32 win64; do
    [[ " ${failed[*]-} " == *" $preset (build)"* ]] && continue
    say "Testing $preset"
    ctest --preset "$preset" || failed+=("$preset")
done

if [ ${#failed[@]} -ne 0 ]; then
    say "FAILED: ${failed[*]}"
    exit 1
fi
say "All tests passed (host, fuzz, win32, win64)"
