#!/usr/bin/env bash
# The editor on Windows, measured under Wine on its own X server (./dev windows-bench):
#  - start-up until the window is visible, against a bare Win32 window, as a ratio from one
#    run (the median of ROUNDS alternating starts each, so that a busy machine slows both);
#  - memory (resident set) after loading a roster of 500 units, beside the bare window's.
# usage: windows_bench.sh BUILD_DIR DATA_DIR [ROUNDS]
set -euo pipefail
export LC_ALL=C.UTF-8

build=$(realpath "$1")
source "$(dirname "${BASH_SOURCE[0]}")/../../tests/win32e2e/win32_e2e_lib.sh"
rw_begin bench "$build/win32/BrevornBuilder.exe" "$build/tests/win32e2e/window_spy.exe" "$2" "$build/bench/windows" \
    "$build/wine-run"
rounds=${3:-10}
rw_start_x

# Kilobytes of memory a process holds in RAM: under Wine, the Windows program with Wine's
# own libraries, which the bare window holds as well.
resident_kb() {
    awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"
}

# Milliseconds from the start of PROGRAM until a visible window titled TITLE exists. With a
# third argument, the program's resident memory is written to that file before it is ended.
startup_ms() {
    local program=$1 title=$2 memory=${3-} started ended pid
    started=$(date +%s%N)
    "$RW_WINE_RUN" "$program" >/dev/null 2>&1 &
    pid=$!
    until xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; do
        kill -0 "$pid" 2>/dev/null || rw_fail "$program ended before its window showed"
        sleep 0.01
    done
    ended=$(date +%s%N)
    [ -z "$memory" ] || resident_kb "$pid" >"$memory"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    rw_poll 10 eval '! xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1' || true
    echo $(((ended - started) / 1000000))
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

rw_step start-up
rw_wineserver -k 2>/dev/null || true
# The first start of a server's life starts Wine's own processes; it is not counted.
startup_ms "$build/bench/windows/bare_window.exe" "Bare Window" "$RW_TMP/bare-memory" >/dev/null
bare=()
editor=()
for ((i = 0; i < rounds; i++)); do
    bare+=("$(startup_ms "$build/bench/windows/bare_window.exe" "Bare Window")")
    editor+=("$(startup_ms "$RW_EDITOR" "$RW_TITLE")")
done
bare_median=$(printf '%s\n' "${bare[@]}" | median)
editor_median=$(printf '%s\n' "${editor[@]}" | median)
echo "start-up to a visible window under Wine, median of $rounds starts each:"
echo "  bare Win32 window   ${bare_median} ms   (${bare[*]})"
echo "  BrevornBuilder.exe  ${editor_median} ms   (${editor[*]})"
awk -v e="$editor_median" -v b="$bare_median" 'BEGIN { printf "  ratio editor / bare window: %.2f\n", e / b }'

rw_step memory
rw_start_editor
started_kb=$(resident_kb "$RW_EDITOR_PID")
rw_click Command2
rw_answer Open "$(rw_windows_path "$RW_DATA/editor-units-500.txt")"
rw_expect entry 499 "Unit 500 - Blue"
loaded_kb=$(resident_kb "$RW_EDITOR_PID")
mib() { awk -v k="$1" 'BEGIN { printf "%.1f MiB", k / 1024 }'; }
echo "resident memory under Wine:"
echo "  bare Win32 window                        $(mib "$(cat "$RW_TMP/bare-memory")")"
echo "  BrevornBuilder.exe at start              $(mib "$started_kb")"
echo "  BrevornBuilder.exe after loading 500 units  $(mib "$loaded_kb")"
rw_pass
