#!/usr/bin/env bash
# Measures the clock against the floor programs, side by side in one run under
# Wine: when the time label changes after each true second, time to the first
# tick, memory, CPU and wake-ups while idle; then the same clock made busy
# (every alarm armed, every countdown and stopwatch running, the elapsed time
# open), on its own afterwards, reported beside the idle one.
# Usage: bench/run.sh [seconds watched] [seconds idle]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"
seconds="${1:-60}"
# Long enough that the 10 ms steps in which the kernel counts CPU time do not
# make the figure.
idle="${2:-120}"

install_packages
cd "$ROOT"
cmake --preset win32 >/dev/null
cmake --build --preset win32 >/dev/null
cmake --preset host >/dev/null
cmake --build --preset host --target bench_drift >/dev/null
start_virtual_display
prepare_wine_prefix

work="$(mktemp -d)"
cp build/win32/orvane.exe res/HORLOGE.BMP build/win32/bench/bench_floor.exe build/win32/bench/bench_floor_controls.exe \
    build/win32/bench/bench_floor_on_the_second.exe "$work/"
probe="build/win32/bench/timing_probe.exe"
busy_probe="build/win32/bench/busy_probe.exe"
# First the labels are watched (the probes start both programs), then the
# probes leave and both programs sit idle while the system counts for them.
say "Watching the time labels for $seconds s"
LC_ALL=fr_FR.UTF-8 wine "$probe" "$(winepath -w "$work/orvane.exe")" TForm1 102 "$seconds" >"$work/orvane.txt" &
clock_probe=$!
LC_ALL=fr_FR.UTF-8 wine "$probe" "$(winepath -w "$work/bench_floor.exe")" OrvaneFloor 102 "$seconds" >"$work/floor.txt" &
floor_probe=$!
LC_ALL=fr_FR.UTF-8 wine "$probe" "$(winepath -w "$work/bench_floor_controls.exe")" OrvaneFloor 102 "$seconds" >"$work/controls.txt" &
controls_probe=$!
# How late a label can change here: a floor that sets its timer to each
# second as the clock does, watched beside it and gone before the idle phase.
LC_ALL=fr_FR.UTF-8 wine "$probe" "$(winepath -w "$work/bench_floor_on_the_second.exe")" OrvaneFloor 102 "$seconds" \
    >"$work/on_the_second.txt" &
second_probe=$!
wait "$clock_probe" "$floor_probe" "$controls_probe" "$second_probe"
pkill -f "$(basename "$work").bench_floor_on_the_second\.exe" || true
# Programs that do the same thing idle differ by up to 20 % from one another,
# each keeping its own rate: five of each, and their means, make the figure.
idle_copies=5
busy_copies=3
for copy in $(seq 2 "$idle_copies"); do
    mkdir "$work/$copy"
    for program in orvane.exe bench_floor.exe bench_floor_controls.exe; do
        cp "$work/$program" "$work/$copy/"
        (cd "$work/$copy" && LC_ALL=fr_FR.UTF-8 wine "$(winepath -w "$work/$copy/$program")" >/dev/null 2>&1 &)
    done
    cp res/HORLOGE.BMP "$work/$copy/"
done
say "Idle for $idle s ($idle_copies of each program)"
sleep 20
# Side by side: piled up in the order they started, each program would pay
# for its place in the pile at every paint.
wine build/win32/bench/tile_windows.exe $((3 * idle_copies)) TForm1 OrvaneFloor >/dev/null
sleep 5

# CPU time (ms), wake-ups (context switches of every thread) and memory of
# processes, summed. The CPU time is the scheduler's own count, in
# nanoseconds, where the kernel has it: the usual one moves in 10 ms steps,
# as coarse as the whole idle figure.
sample() {
    local pid cpu=0 switches=0 task
    for pid in "$@"; do
        for task in /proc/"$pid"/task/*; do
            switches=$((switches + $(awk '/ctxt_switches/ {s += $2} END {print s}' "$task/status")))
            if [ -r "$task/schedstat" ]; then cpu=$((cpu + $(awk '{print $1}' "$task/schedstat")))
            else cpu=$((cpu + $(awk '{print $14 + $15}' "$task/stat") * 1000000000 / $(getconf CLK_TCK))); fi
        done
    done
    echo "$((cpu / 1000000)) $switches $(awk '/VmRSS/ {print $2}' "/proc/$1/status")"
}
# Ends the programs and waits until they are gone: what is measured next
# does not share the machine with programs ending.
end_programs() {
    local pid
    kill "$@" 2>/dev/null || true
    for pid in "$@"; do
        for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        if kill -0 "$pid" 2>/dev/null; then echo "program $pid did not end within 10 s" >&2; exit 1; fi
    done
}
# Ours alone, by the scratch folders in their command lines ("." stands for
# "\\"); the first of each is the one the probes watched.
copies() { pgrep -f "$(basename "$work")(.[2-9])?.$1\.exe" | sort -n | tr '\n' ' '; }
read -ra clock_pids <<<"$(copies orvane)"
read -ra floor_pids <<<"$(copies bench_floor)"
read -ra controls_pids <<<"$(copies bench_floor_controls)"
if [ ${#clock_pids[@]} -ne "$idle_copies" ] || [ ${#floor_pids[@]} -ne "$idle_copies" ] ||
    [ ${#controls_pids[@]} -ne "$idle_copies" ]; then
    echo "expected $idle_copies of each program, found ${#clock_pids[@]}, ${#floor_pids[@]}, ${#controls_pids[@]}" >&2
    exit 1
fi
read -r clock_cpu0 clock_sw0 _ < <(sample "${clock_pids[@]}")
read -r floor_cpu0 floor_sw0 _ < <(sample "${floor_pids[@]}")
read -r controls_cpu0 controls_sw0 _ < <(sample "${controls_pids[@]}")
sleep "$idle"
read -r clock_cpu1 clock_sw1 clock_rss < <(sample "${clock_pids[@]}")
read -r floor_cpu1 floor_sw1 floor_rss < <(sample "${floor_pids[@]}")
read -r controls_cpu1 controls_sw1 controls_rss < <(sample "${controls_pids[@]}")
end_programs "${clock_pids[@]}" "${floor_pids[@]}" "${controls_pids[@]}"

# Then the busy clocks on their own, each in a folder of its own (one clock
# runs per folder), made busy through their windows; the probe fails if any
# is not. Measured for as long, alone, so that neither phase's figures carry
# the other's load.
for copy in $(seq "$busy_copies"); do
    mkdir "$work/busy$copy"
    cp "$work/orvane.exe" res/HORLOGE.BMP "$work/busy$copy/"
    say "Making busy clock $copy busy"
    LC_ALL=fr_FR.UTF-8 wine "$busy_probe" "$(winepath -w "$work/busy$copy/orvane.exe")" >/dev/null
done
say "Busy for $idle s ($busy_copies busy clocks)"
sleep 20
# The main window and the elapsed time of each, side by side.
wine build/win32/bench/tile_windows.exe $((2 * busy_copies)) TForm1 Tpasttime >/dev/null
sleep 5
read -ra busy_pids <<<"$(pgrep -f "$(basename "$work").busy[0-9].orvane\.exe" | sort -n | tr '\n' ' ')"
if [ ${#busy_pids[@]} -ne "$busy_copies" ]; then
    echo "expected $busy_copies busy clocks, found ${#busy_pids[@]}" >&2
    exit 1
fi
read -r busy_cpu0 busy_sw0 _ < <(sample "${busy_pids[@]}")
sleep "$idle"
read -r busy_cpu1 busy_sw1 busy_rss < <(sample "${busy_pids[@]}")
end_programs "${busy_pids[@]}"

value() { tr -d '\r' <"$1" | awk -F= -v k="$2" '$1 == k {print $2}'; }
ratio() {
    if [ "$1" != "-" ] && [ -n "$1" ] && [ "$2" != "0" ] && [ "$2" != "-" ] && [ -n "$2" ]; then awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'
    else echo "-"; fi
}
# The clock, the plain floor and the floor with the common controls, each
# floor with the clock's ratio to it.
row() {
    local name="$1" ours="$2" floor="$3" controls="${4:--}"
    printf '%-44s %10s %10s %7s %10s %7s\n' "$name" "$ours" "$floor" "$(ratio "$ours" "$floor")" \
        "$controls" "$(ratio "$ours" "$controls")"
}
# Per program: the sum over its copies divided by how many there were.
per_second() { awk -v d="$1" -v s="$idle" -v n="$2" 'BEGIN {printf "%.1f", d / s / n}'; }
mean() { awk -v d="$1" -v n="$2" 'BEGIN {printf "%.1f", d / n}'; }
printf '\n%-44s %10s %10s %7s %10s %7s\n' "measure (Wine)" "orvane" "floor" "ratio" "floor+cc" "ratio"
# The label's lateness against the floor set to each second (the plain floors
# change their labels anywhere in the second).
for key in late_median_ms late_p99_ms late_max_ms skipped backwards; do
    row "$key (${seconds} s, floor on the second)" "$(value "$work/orvane.txt" $key)" \
        "$(value "$work/on_the_second.txt" $key)"
done
for key in changes first_tick_ms; do
    row "$key (${seconds} s)" "$(value "$work/orvane.txt" $key)" "$(value "$work/floor.txt" $key)" \
        "$(value "$work/controls.txt" $key)"
done
row "rss_kib (the first, after ${idle} s idle)" "$clock_rss" "$floor_rss" "$controls_rss"
n="$idle_copies"
row "cpu_ms (${idle} s idle, mean of $n)" "$(mean $((clock_cpu1 - clock_cpu0)) "$n")" \
    "$(mean $((floor_cpu1 - floor_cpu0)) "$n")" "$(mean $((controls_cpu1 - controls_cpu0)) "$n")"
row "wakeups_per_s (idle, mean of $n)" "$(per_second $((clock_sw1 - clock_sw0)) "$n")" \
    "$(per_second $((floor_sw1 - floor_sw0)) "$n")" "$(per_second $((controls_sw1 - controls_sw0)) "$n")"
# One tick with the default face, and with the largest face the dial shows whole.
convert res/HORLOGE.BMP -filter point -resize '71x71!' -type TrueColor "BMP3:$work/face71.bmp"
for face in "$ROOT/res/HORLOGE.BMP" "$work/face71.bmp"; do
    wine build/win32/bench/tick_cost.exe "$(winepath -w "$face")" | tr -d '\r' >"$work/tick.txt"
    cp "$work/tick.txt" "$work/tick-$(basename "$face").txt"
    row "clock_tick_us ($(basename "$face"))" "$(value "$work/tick.txt" clock_tick_us)" \
        "$(value "$work/tick.txt" floor_tick_us)"
done
# The part of every tick that is the system's: a label's new text kept.
row "text_store_us (of the floor's tick)" "-" "$(value "$work/tick.txt" text_store_us)"
# A simulated day with every timer event 15.6 ms late and a 3 s stall each
# hour: how far each count ends from the true time (the goal is under 1 s).
while read -r name value; do row "$name (24 h simulated)" "$value" "-"; done < <(build/host/bench_drift)

# The busy clock beside the idle one, measured in the same run: how much each
# figure grows.
if [ "$(value "$work/tick-HORLOGE.BMP.txt" busy_status)" != busy ]; then
    echo "the busy tick's clock was not busy" >&2
    exit 1
fi
printf '\n%-44s %10s %10s %7s\n' "busy clock (Wine)" "busy" "idle" "growth"
busy_row() { printf '%-44s %10s %10s %7s\n' "$1" "$2" "$3" "$(ratio "$2" "$3")"; }
busy_row "rss_kib (the first, after ${idle} s)" "$busy_rss" "$clock_rss"
busy_row "cpu_ms (${idle} s, mean)" "$(mean $((busy_cpu1 - busy_cpu0)) "$busy_copies")" \
    "$(mean $((clock_cpu1 - clock_cpu0)) "$idle_copies")"
busy_row "wakeups_per_s (mean)" "$(per_second $((busy_sw1 - busy_sw0)) "$busy_copies")" \
    "$(per_second $((clock_sw1 - clock_sw0)) "$idle_copies")"
# One second of the busy clock's passes against one tick of the idle one.
busy_row "tick_us (one second, HORLOGE.BMP)" "$(value "$work/tick-HORLOGE.BMP.txt" busy_tick_us)" \
    "$(value "$work/tick-HORLOGE.BMP.txt" clock_tick_us)"
rm -rf "$work"
