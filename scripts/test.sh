#!/usr/bin/env bash
# Builds everything (native rules with sanitizers, the settings fuzzer, the
# 32- and 64-bit Windows programs) and runs every test: natively (the fuzzer
# for a minute), and under Wine on private virtual displays. Exits non-zero
# on any failure, after the output of what failed.
#
# The cores are kept busy: each build's suites run while the next build goes
# on, the fuzzer's minute runs beside the 32-bit build, and the Wine suites of
# one build run side by side, each in a slot of its own (a copy of the
# prepared Wine prefix and a display; see cmake/wine_slot.sh). The end-to-end
# suite watches the real clock: it runs ahead of the rest of the machine's
# work (cmake/run_ahead.sh), so that it is served on time however busy the
# machine is. The fuzzer gets as much of the processor as when it ran alone.
# The builds give way to the suites that run beside them.
# Each Windows build is made a second time beside its suites, from a copy of
# the sources in another folder and without the tests, and its program and ZIP
# compared byte for byte with the first (scripts/check_reproducible.sh).
# Every step writes to its own log in build/test-logs; the ctest summaries
# come at the end in a fixed order, with the output of each failing test and
# the log of each failed build.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages || exit 1
cd "$ROOT"
LOGS="$ROOT/build/test-logs"
SLOTS="$ROOT/build/wine-slots"
# Per build, two slots for the window suites and one for the end-to-end
# suite: the longest runs beside the others, which take turns in two; more
# would only queue for the two cores.
WINDOW_SLOTS=2
SLOTS_PER_BUILD=$((WINDOW_SLOTS + 1))
began=$SECONDS
failed=()
declare -A step_pid=() step_began=()

elapsed() { echo "$((SECONDS - began)) s"; }

# Runs a step in the background, its output in its log.
start_step() {
    local name=$1
    shift
    ( "$@"; status=$?; echo $((SECONDS - began)) >"$LOGS/$name.ended"; exit $status ) >"$LOGS/$name.log" 2>&1 &
    step_pid[$name]=$!
    step_began[$name]=$((SECONDS - began))
    say "Started $name ($(elapsed))"
}

# Waits for a step; a failed one is counted.
finish_step() {
    local name=$1 status
    wait "${step_pid[$name]}"
    status=$?
    unset "step_pid[$name]"
    local ended
    ended=$(cat "$LOGS/$name.ended" 2>/dev/null || echo $((SECONDS - began)))
    if [ "$status" -eq 0 ]; then
        say "$name passed in $((ended - step_began[$name])) s (done at $ended s)"
    else
        say "$name FAILED (done at $ended s)"
        failed+=("$name")
    fi
    return "$status"
}

# A process and all it started, from the top down (a build's ninja ends its
# compilers itself, but not before it has heard).
end_tree() {
    local children child
    children=$(pgrep -P "$1")
    kill "$1" 2>/dev/null
    for child in $children; do end_tree "$child"; done
}

# Steps still running when the script ends (interrupted) end with it.
building=""
end_steps() {
    local pid
    for pid in "${step_pid[@]}" $building; do end_tree "$pid"; done
    end_started
}
trap end_steps EXIT
trap 'exit 130' INT TERM

# The fuzzer runs in a session of its own, which the scheduler serves as it
# would serve the script alone, and ahead of the builds where it serves
# processes rather than sessions (a negative niceness takes root).
beside_builds() {
    if [ "$(id -u)" -eq 0 ]; then setsid -w nice -n -5 "$@"; else setsid -w "$@"; fi
}

build() {
    local preset=$1 start=$SECONDS status
    say "Building $preset ($(elapsed))"
    # In the background and waited for, so that an interruption is heard at once.
    { nice -n 10 cmake --preset "$preset" -DORVANE_WERROR=ON && nice -n 10 cmake --build --preset "$preset"; } \
        >"$LOGS/build-$preset.log" 2>&1 &
    building=$!
    wait "$building"
    status=$?
    building=""
    if [ "$status" -eq 0 ]; then
        say "Built $preset in $((SECONDS - start)) s ($(elapsed))"
        return 0
    fi
    say "Building $preset FAILED ($(elapsed))"
    failed+=("$preset (build)")
    return 1
}

# A copy of the prepared prefix for one slot. What Wine installed in it (1.3
# GB of libraries and programs, which it only reads once they are there) is
# hard links to the prepared prefix's files; the registry and every other file
# are copies of their own.
copy_wine_prefix() {
    local from=$1 to=$2
    if ! cp -a --link "$from" "$to" 2>/dev/null; then
        # Not on one file system (a prefix named by ORVANE_WINEPREFIX): a whole copy.
        rm -rf "$to"
        cp -a "$from" "$to"
        return
    fi
    (cd "$from" && find . -type f ! -iregex '.*\.\(dll\|exe\|drv\|sys\|ocx\|acm\|cpl\|tlb\|ttf\|nls\|ax\|ds\|vxd\|fon\|mui\|dll16\|exe16\|mod\)' -print0) |
        (cd "$to" && xargs -0 -r -I{} cp -a --remove-destination "$from/{}" "{}")
}

# The prepared prefix, then a copy of it in each slot.
prepare_wine_slots() {
    DISPLAY="$(cat "$SLOTS/win32_0/display")" prepare_wine_prefix || return 1
    local slot
    for slot in "$SLOTS"/*/; do
        copy_wine_prefix "$WINEPREFIX" "${slot}prefix" || return 1
    done
    echo "Prepared $WINEPREFIX and its copies in $SLOTS"
}

# The resource file entries of a build's slots, numbers $2 to $3.
slot_entries() {
    local preset=$1 number ids=()
    for number in $(seq "$2" "$3"); do ids+=("{\"id\": \"${preset}_$number\", \"slots\": 1}"); done
    (IFS=,; echo "${ids[*]}")
}

# The file that tells ctest of a build's slots.
slot_resources() { echo "$SLOTS/$1-slots.json"; }

# The slots' displays, and the files that tell ctest of the slots. Prefixes
# left by an earlier run go first, with any Wine server still serving them.
make_wine_slots() {
    local preset number slot first_timed=$WINDOW_SLOTS
    for slot in "$SLOTS"/*/prefix; do
        [ -d "$slot" ] && { WINEPREFIX="$slot" wineserver -k 2>/dev/null || true; }
    done
    rm -rf "$SLOTS"
    for preset in win32 win64; do
        for number in $(seq 0 $((SLOTS_PER_BUILD - 1))); do
            slot="$SLOTS/${preset}_$number"
            mkdir -p "$slot"
            if [ "$number" -lt "$first_timed" ]; then
                start_xvfb || return 1
            else
                # The timed suite runs ahead of the rest, and so does the
                # display that its programs draw on.
                echo -10 >"$slot/nice"
                start_xvfb "$ROOT/cmake/run_ahead.sh" -10 || return 1
            fi
            echo "$XVFB_DISPLAY" >"$slot/display"
            WINE_PREFIXES_USED+=("$slot/prefix")
        done
        echo "{\"version\": {\"major\": 1, \"minor\": 0}, \"local\": [{" \
            "\"wine\": [$(slot_entries "$preset" 0 $((first_timed - 1)))]," \
            "\"wine_timed\": [$(slot_entries "$preset" "$first_timed" $((SLOTS_PER_BUILD - 1)))]}]}" \
            >"$(slot_resources "$preset")"
    done
}

wine_ready=""
wait_for_wine() {
    if [ -z "$wine_ready" ]; then
        finish_step wine-prefix && wine_ready=yes || wine_ready=no
        [ "$wine_ready" = no ] && cat "$LOGS/wine-prefix.log"
    fi
    [ "$wine_ready" = yes ]
}

wine_suites() {
    local preset="$1"
    ORVANE_WINE_SLOTS="$SLOTS" ctest --preset "$preset" -j "$SLOTS_PER_BUILD" --resource-spec-file "$(slot_resources "$preset")"
}

rm -rf "$LOGS"
mkdir -p "$LOGS"
# A program left running in the prepared prefix would keep its desktop on
# another display, and its copies are taken now.
wineserver -k 2>/dev/null || true
make_wine_slots || exit 1
start_step wine-prefix prepare_wine_slots

build fuzz && start_step fuzz beside_builds ctest --preset fuzz
build win32 && start_step reproducible-win32 nice -n 10 scripts/check_reproducible.sh win32 &&
    wait_for_wine && start_step win32 wine_suites win32
build win64 && start_step reproducible-win64 nice -n 10 scripts/check_reproducible.sh win64 &&
    wait_for_wine && start_step win64 wine_suites win64
build host && start_step host ctest --preset host

for step in host fuzz win32 win64 reproducible-win32 reproducible-win64; do
    [ -n "${step_pid[$step]-}" ] && finish_step "$step"
done
[ -n "${step_pid[wine-prefix]-}" ] && finish_step wine-prefix

for preset in host fuzz win32 win64; do
    if [[ " ${failed[*]-} " == *" $preset (build)"* ]]; then
        say "The build of $preset failed:"
        cat "$LOGS/build-$preset.log"
    elif [ -f "$LOGS/$preset.log" ]; then
        say "Tests of $preset"
        cat "$LOGS/$preset.log"
    fi
done
for preset in win32 win64; do
    if [[ " ${failed[*]-} " == *" reproducible-$preset "* ]]; then
        say "The second build of $preset, in another folder, did not give the same bytes:"
        cat "$LOGS/reproducible-$preset.log"
    elif [ -f "$LOGS/reproducible-$preset.log" ]; then
        say "Reproducible $preset: $(grep -c '^same bytes' "$LOGS/reproducible-$preset.log") files the same in another folder"
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    # Each failed check by name, once: none is run again to pass.
    for preset in host fuzz win32 win64; do
        [ -f "$LOGS/$preset.log" ] || continue
        grep -h '^\[  FAILED  \] [A-Za-z_]*\.[A-Za-z_]' "$LOGS/$preset.log" | sed 's/ (.*//' | sort -u |
            sed "s/^\[  FAILED  \] /  $preset: /"
        grep -h '^[[:space:]]*[0-9]* - [^ ]* (' "$LOGS/$preset.log" | sed "s/^[[:space:]]*[0-9]* - /  $preset suite /"
    done
    say "FAILED: ${failed[*]} ($(elapsed))"
    exit 1
fi
say "All tests passed (host, fuzz, win32, win64, both builds reproducible) in $(elapsed)"
