#!/usr/bin/env bash
# Builds the program and its ZIP a second time, from a copy of the sources in
# another folder, and compares them byte for byte with the build of the preset
# in build/<preset> (made first): the same commit must give the same download
# whatever the folder, the day or the machine.
#
#   scripts/check_reproducible.sh win32|win64
#
# Only what the comparison needs is built: the program, the sample plug-in
# and the ZIP, without the tests.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

preset=${1:?which preset: win32 or win64}
cd "$ROOT"
first="$ROOT/build/$preset"
zip=$(ls "$first"/package/Orvane-*-"$preset".zip 2>/dev/null | head -n 1)
if [ ! -f "$first/orvane.exe" ] || [ -z "$zip" ]; then
    echo "build/$preset holds no program and ZIP to compare with: build the preset first" >&2
    exit 1
fi

# A folder whose path has nothing in common with the first build's, so that a
# path kept in the binary shows as a difference.
copy="$ROOT/build/reproduce/$preset/other-folder/Orvane-sources"
rm -rf "$ROOT/build/reproduce/$preset"
mkdir -p "$copy"
tar -C "$ROOT" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy" -xf -
# The copy has no history: unless a time was given to both, it is given the
# commit's time, as a release build would be, while the first build read it
# from git.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && epoch=$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null) && [ -n "$epoch" ]; then
    export SOURCE_DATE_EPOCH=$epoch
fi

cd "$copy"
cmake --preset "$preset" -DORVANE_WERROR=ON -DORVANE_TESTS=OFF >/dev/null
cmake --build --preset "$preset" --target portable_zip
second="$copy/build/$preset"

status=0
for file in orvane.exe plugin-kit/exemple/Exemple.DLL "package/$(basename "$zip")" "package/$(basename "$zip").sha256"; do
    if cmp -s "$first/$file" "$second/$file"; then
        echo "same bytes: $file"
    else
        echo "DIFFERENT: $file ($(cmp -l "$first/$file" "$second/$file" 2>&1 | wc -l) bytes differ; sizes $(stat -c %s "$first/$file" "$second/$file" | tr '\n' ' '))"
        status=1
    fi
done
[ "$status" -eq 0 ] && rm -rf "$ROOT/build/reproduce/$preset"
exit "$status"
