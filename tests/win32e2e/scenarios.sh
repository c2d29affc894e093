#!/usr/bin/env bash
# Scenarios a user plays through in the Windows editor's real window under Wine; each ends
# in files that must match the expected files byte for byte. The same scenarios as the
# Linux suite (tests/e2e), with the same expected files.
# usage: scenarios.sh SCENARIO EDITOR_EXE DATA_DIR OUT_DIR WINE_RUN
set -euo pipefail
# Texts with é and € are taken apart character by character.
export LC_ALL=C.UTF-8

source "$(dirname "${BASH_SOURCE[0]}")/win32_e2e_lib.sh"

# SAVE into FILE, answer Yes to "Exit?", and compare FILE with tests/data/EXPECTED.
save_and_leave() {
    local file=$1 expected=$2
    w32_click Command3
    w32_answer "Save As" "$(w32_windows_path "$file")"
    w32_exit_box yes
    w32_wait_editor_end
    w32_expect_file "$file" "$expected"
}

# Load a roster, edit one unit by typing and by picking from drop-down lists, save, stay,
# change the day, save elsewhere and leave.
scenario_edit_and_save() {
    local work=$W32_TMP/work

    w32_step load
    w32_expect_focus List1
    # The window fits this screen: nothing scrolls.
    w32_expect_scroll_bars 0 0
    w32_click Command2
    w32_answer Open "$(w32_windows_path "$W32_DATA/e2e-three-units.txt")"
    w32_expect entry 2 "Aufklärung - Blue"
    w32_expect_enabled Command2 0

    w32_step edit-second-unit
    w32_select_row 2
    w32_type_into Text1 "Kampfgruppe Nord"
    w32_type_into Combo2 4
    w32_pick Combo3 1 0
    w32_pick Combo4 2 Average
    w32_pick Combo5 6 Captured
    w32_type_into Combo7 2
    w32_pick Combo8 3 Heavy
    w32_pick Combo14 2 Winter
    w32_click Command1

    w32_step save-and-stay
    w32_click Command3
    w32_answer "Save As" "$(w32_windows_path "$work/first.txt")"
    w32_exit_box no
    w32_expect_running
    w32_expect_file "$work/first.txt" e2e-edited-first.expected.txt

    w32_step save-and-leave
    # A leading zero is read as the number it stands for.
    w32_type_into Combo13 07
    save_and_leave "$work/second.txt" e2e-edited-second.expected.txt
    w32_expect_file "$work/first.txt" e2e-edited-first.expected.txt
}

# Build a roster without loading one: add units, delete the first, add one more into the
# slot the deletion left behind, and save it with a typed day.
scenario_add_and_delete() {
    local work=$W32_TMP/work

    w32_step add-two-units
    w32_click Command4
    w32_answer "New Unit Name" Alpha
    w32_answer "New Unit Side" Blue
    w32_click Command4
    w32_answer "New Unit Name" "Bravo Company"
    w32_answer "New Unit Side" Red
    w32_expect selected "" 1
    w32_expect text Text1 "Bravo Company"

    w32_step fill-second-unit
    # The unit just added is selected and shown.
    w32_pick Combo1 1 "Motorized Infantry"
    w32_type_into Combo2 3
    w32_pick Combo3 11 10
    w32_type_into Combo7 1
    w32_pick Combo12 3 Destroyed
    w32_click Command1

    w32_step delete-first-unit
    w32_select_row 1
    w32_click Command5
    w32_expect selected "" -1
    w32_expect entry 0 "Bravo Company - Red"

    w32_step add-after-delete
    # The slot after the last unit still holds a copy of the unit that moved down, and
    # the new unit takes over everything but its name and side.
    w32_click Command4
    w32_answer "New Unit Name" Charlie
    w32_answer "New Unit Side" Green
    w32_expect text Combo12 Destroyed

    w32_step save
    w32_type_into Combo13 9
    save_and_leave "$work/roster.txt" e2e-added-and-deleted.expected.txt
}

# Every dialog cancelled, a file the dialog refuses, a file the editor refuses, a value
# the file cannot hold: each leaves the editor running and writes nothing.
scenario_cancel_and_refuse() {
    local work=$W32_TMP/work

    w32_step cancel-load
    # Ctrl+O is LOAD's shortcut.
    w32_key ctrl+o
    w32_answer Open --cancel
    w32_expect_enabled Command2 1

    w32_step load-missing-file
    # The open dialog itself refuses a name that does not exist, with its own warning.
    local dialog warning
    w32_click Command2
    dialog=$(w32_wait_active Open)
    w32_type "$(w32_windows_path "$work/missing.txt")"
    w32_key Return
    # Wine's warning has no title; Windows' is titled like the dialog.
    warning=$(w32_wait_active "*" "$dialog")
    w32_key Return
    w32_wait_active Open "$warning" >/dev/null
    w32_key Escape
    w32_wait_gone "$dialog" "the open dialog"

    w32_step load-refused-file
    # One unit more than the editor holds: refused whole, LOAD stays available.
    w32_click Command2
    w32_answer Open "$(w32_windows_path "$W32_DATA/editor-units-501.txt")"
    w32_dismiss_error
    w32_expect_running
    [ -z "$(w32_value entry 0)" ] || w32_fail "a refused file listed units"

    w32_step load
    w32_click Command2
    w32_answer Open "$(w32_windows_path "$W32_DATA/e2e-three-units.txt")"
    w32_expect entry 0 "1st Platoon - Blue"

    w32_step load-disabled-and-cancel-save
    # Were LOAD still enabled, its dialog would show before the save dialog; Ctrl+S is
    # SAVE's shortcut.
    w32_click Command2
    w32_key ctrl+o
    w32_key ctrl+s
    w32_answer "Save As" --cancel

    w32_step cancel-new-unit
    # Were a cancelled save to ask "Exit?", that box would come before the first question.
    w32_click Command4
    w32_answer "New Unit Name" Ghost
    w32_answer "New Unit Side" --cancel
    w32_expect text Text1 Ghost
    w32_expect text Text2 ""
    [ -z "$(w32_value entry 3)" ] || w32_fail "a cancelled New Unit added a unit"
    [ -z "$(ls -A "$work")" ] || w32_fail "files appeared: $(ls -A "$work" | tr '\n' ' ')"

    w32_step save-refused
    # The values are checked before the save dialog opens: the message comes instead.
    w32_select_row 1
    w32_pick Combo2 0 N/A
    w32_click Command1
    w32_click Command3
    w32_dismiss_error
    w32_expect_running
    [ -z "$(ls -A "$work")" ] || w32_fail "files appeared: $(ls -A "$work" | tr '\n' ' ')"

    w32_step save-corrected
    w32_type_into Combo2 5
    w32_click Command1
    save_and_leave "$work/roster.txt" e2e-refused-then-saved.expected.txt
}

# A name with é and €, typed, reaches the file in Windows-1252 byte for byte.
scenario_accented_name() {
    local work=$W32_TMP/work

    w32_step load
    w32_click Command2
    w32_answer Open "$(w32_windows_path "$W32_DATA/e2e-three-units.txt")"

    w32_step rename-first-unit
    w32_select_row 1
    w32_type_into Text1 "Régiment € été"
    w32_click Command1
    # The entry keeps its old text; the unit has the new name.
    w32_select_row 2
    w32_key Up
    w32_expect selected "" 0
    w32_expect text Text1 "Régiment € été"
    w32_expect entry 0 "1st Platoon - Blue"

    w32_step save
    save_and_leave "$work/regiment.txt" win32-e2e-accented-name.expected.txt
}

# On a screen smaller than the window, the window opens at the screen's size and its scroll
# bars bring LOAD and SAVE within reach of the mouse; Tab shows the control it moves to.
scenario_small_screen() {
    local work=$W32_TMP/work

    w32_step fits-the-screen
    w32_expect_on_screen
    w32_expect_scroll_bars 1 1
    w32_expect_focus List1
    w32_in_view Command2 && w32_fail "LOAD is in view on a screen smaller than the window; nothing to scroll"

    w32_step tab-shows-the-control
    # Shift+Tab from the first control goes to the last one, at the bottom right.
    w32_key shift+Tab
    w32_state
    [ "$(w32_value focus)" != List1 ] || w32_fail "Shift+Tab left the focus on List1"
    w32_in_view "$(w32_value focus)" || w32_fail "$(w32_value focus) took the focus out of view"
    # The list is taller than this window: its top left comes into view.
    local list window
    w32_key Tab
    w32_expect_focus List1
    read -r -a list <<<"$(w32_value control List1)"
    read -r -a window <<<"$(w32_value window)"
    [ "${list[0]} ${list[1]}" = "${window[0]} ${window[1]}" ] ||
        w32_fail "List1 at ${list[0]},${list[1]} took the focus, not at the window's corner ${window[0]},${window[1]}"

    w32_step load
    w32_scroll_into_view Command2
    w32_click Command2
    w32_answer Open "$(w32_windows_path "$W32_DATA/editor-three-units.txt")"
    w32_expect_enabled Command2 0

    w32_step save
    w32_scroll_into_view Command3
    w32_expect_on_screen
    save_and_leave "$work/roster.txt" editor-three-units.expected.txt
}

# Not a test: the picture of the window for the README (./dev windows-screenshot), a
# roster loaded and its second unit shown. Writes OUT_DIR/screenshot-windows.png.
scenario_screenshot() {
    w32_step load
    w32_click Command2
    w32_answer Open "$(w32_windows_path "$W32_DATA/editor-three-units.txt")"
    w32_select_row 2
    w32_step picture
    local window geometry
    window=$(xdotool search --onlyvisible --name "^$W32_TITLE\$" | head -n 1)
    geometry=$(xdotool getwindowgeometry "$window" |
        awk '/Position/ { split($2, p, ","); x = p[1]; y = p[2] } /Geometry/ { g = $2 } END { print g "+" x "+" y }')
    import -window root -crop "$geometry" +repage "$W32_OUT/screenshot-windows.png" ||
        w32_fail "no picture taken"
    echo "wrote $W32_OUT/screenshot-windows.png ($geometry)"
}

[ $# -eq 5 ] || {
    echo "usage: $0 SCENARIO EDITOR_EXE DATA_DIR OUT_DIR WINE_RUN" >&2
    exit 2
}
declare -F "scenario_$1" >/dev/null || {
    echo "no scenario named $1" >&2
    exit 2
}
w32_begin "$@"
# Smaller than the window at Windows' usual density.
[ "$W32_SCENARIO" != small_screen ] || W32_SCREEN=400x300
w32_start_x
w32_start_editor
"scenario_$W32_SCENARIO"
w32_pass
