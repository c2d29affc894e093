# Helpers both real-window suites share: steps, skips, keys, the editor's end and the
# byte comparison of what it wrote. Each suite's own library sources this file, sets the
# RW_ variables these use (RW_SCENARIO, RW_STEP, RW_STARTED, RW_DATA, RW_EDITOR_PID,
# RW_TIMEOUT, RW_SKIP, RW_PASSED) and defines rw_fail, rw_poll, rw_click, rw_select_row and
# rw_type_into.

rw_skip() {
    echo "SKIPPED: $*"
    RW_PASSED=yes
    exit "$RW_SKIP"
}

rw_step() {
    RW_STEP=$1
    echo "[$((SECONDS - RW_STARTED))s] $RW_SCENARIO: $1"
}

rw_editor_alive() {
    kill -0 "$RW_EDITOR_PID" 2>/dev/null
}

rw_key() {
    xdotool key --delay 30 "$@"
}

rw_wait_editor_end() {
    rw_poll "$RW_TIMEOUT" eval '! rw_editor_alive' || rw_fail "the editor is still running"
    local status=0
    wait "$RW_EDITOR_PID" || status=$?
    RW_EDITOR_PID=
    [ "$status" -eq 0 ] || rw_fail "the editor ended with status $status"
}

# rw_expect_file GOT EXPECTED_NAME: the file matches tests/data/EXPECTED_NAME byte for byte.
rw_expect_file() {
    local got=$1 want="$RW_DATA/$2"
    [ -f "$got" ] || rw_fail "no file was written at $got"
    if ! cmp -s "$got" "$want"; then
        echo "$got differs from $want (< expected, > written; ^M is CR):" >&2
        diff <(cat -A "$want") <(cat -A "$got") | head -n 40 >&2 || true
        rw_fail "$(basename "$got") is not as expected"
    fi
}

# With editor-three-units.txt loaded: values the file cannot hold in two units, one of them
# renamed, and a day out of range; then SAVE, which refuses them all in one box.
rw_save_values_the_file_cannot_hold() {
    rw_step refuse
    rw_select_row 1
    rw_type_into Combo2 N/A
    rw_type_into Combo7 12
    rw_click Command1
    rw_select_row 2
    rw_type_into Text1 "Kampfgruppe Weber"
    rw_type_into Combo3 x
    rw_click Command1
    rw_type_into Combo13 40
    rw_click Command3
}

rw_pass() {
    RW_PASSED=yes
    echo "$RW_SCENARIO passed in $((SECONDS - RW_STARTED)) s"
}
