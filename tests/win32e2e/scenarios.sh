#!/usr/bin/env bash
# Scenarios a user plays through in the Windows editor's real window under Wine; each ends
# in files that must match the expected files byte for byte. The same scenarios as the
# Linux suite (tests/e2e), with the same expected files.
# usage: scenarios.sh SCENARIO EDITOR_EXE SPY_EXE DATA_DIR OUT_DIR WINE_RUN
set -euo pipefail
# Texts with é and € are taken apart character by character.
export LC_ALL=C.UTF-8

source "$(dirname "${BASH_SOURCE[0]}")/win32_e2e_lib.sh"

# SAVE into FILE, answer Yes to "Exit?", and compare FILE with tests/data/EXPECTED.
save_and_leave() {
    local file=$1 expected=$2
    rw_click Command3
    rw_answer "Save As" "$(rw_windows_path "$file")"
    rw_exit_box yes
    rw_wait_editor_end
    rw_expect_file "$file" "$expected"
}

# Load a roster, edit one unit by typing and by picking from drop-down lists, save, stay,
# change the day, save elsewhere and leave.
scenario_edit_and_save() {
    local work=$RW_TMP/work

    rw_step load
    rw_expect_focus List1
    # The window fits this screen: nothing scrolls.
    rw_expect_scroll_bars 0 0
    rw_click Command2
    rw_answer Open "$(rw_windows_path "$RW_DATA/e2e-three-units.txt")"
    rw_expect entry 2 "Aufklärung - Blue"
    rw_expect_enabled Command2 0

    rw_step edit-second-unit
    rw_select_row 2
    rw_type_into Text1 "Kampfgruppe Nord"
    rw_type_into Combo2 4
    rw_pick Combo3 1 0
    rw_pick Combo4 2 Average
    rw_pick Combo5 6 Captured
    rw_type_into Combo7 2
    rw_pick Combo8 3 Heavy
    rw_pick Combo14 2 Winter
    rw_click Command1

    rw_step save-and-stay
    rw_click Command3
    rw_answer "Save As" "$(rw_windows_path "$work/first.txt")"
    rw_exit_box no
    rw_expect_running
    rw_expect_file "$work/first.txt" e2e-edited-first.expected.txt

    rw_step save-and-leave
    # A leading zero is read as the number it stands for.
    rw_type_into Combo13 07
    save_and_leave "$work/second.txt" e2e-edited-second.expected.txt
    rw_expect_file "$work/first.txt" e2e-edited-first.expected.txt
}

# Build a roster without loading one: add units, delete the first, add one more into the
# slot the deletion left behind, and save it with a typed day.
scenario_add_and_delete() {
    local work=$RW_TMP/work

    rw_step add-two-units
    rw_click Command4
    rw_answer "New Unit Name" Alpha
    rw_answer "New Unit Side" Blue
    rw_click Command4
    rw_answer "New Unit Name" "Bravo Company"
    rw_answer "New Unit Side" Red
    rw_expect selected "" 1
    rw_expect text Text1 "Bravo Company"

    rw_step fill-second-unit
    # The unit just added is selected and shown.
    rw_pick Combo1 1 "Motorized Infantry"
    rw_type_into Combo2 3
    rw_pick Combo3 11 10
    rw_type_into Combo7 1
    rw_pick Combo12 3 Destroyed
    rw_click Command1

    rw_step delete-first-unit
    rw_select_row 1
    rw_click Command5
    rw_expect selected "" -1
    rw_expect entry 0 "Bravo Company - Red"

    rw_step add-after-delete
    # The slot after the last unit still holds a copy of the unit that moved down, and
    # the new unit takes over everything but its name and side.
    rw_click Command4
    rw_answer "New Unit Name" Charlie
    rw_answer "New Unit Side" Green
    rw_expect text Combo12 Destroyed

    rw_step save
    rw_type_into Combo13 9
    save_and_leave "$work/roster.txt" e2e-added-and-deleted.expected.txt
}

# Every dialog cancelled, a file the dialog refuses, a file the editor refuses, a value
# the file cannot hold: each leaves the editor running and writes nothing.
scenario_cancel_and_refuse() {
    local work=$RW_TMP/work

    rw_step cancel-load
    # Ctrl+O is LOAD's shortcut.
    rw_key ctrl+o
    rw_answer Open --cancel
    rw_expect_enabled Command2 1

    rw_step load-missing-file
    # The open dialog itself refuses a name that does not exist, with its own warning.
    local dialog warning
    rw_click Command2
    dialog=$(rw_wait_active Open)
    rw_type "$(rw_windows_path "$work/missing.txt")"
    rw_key Return
    # Wine's warning has no title; Windows' is titled like the dialog.
    warning=$(rw_wait_active "*" "$dialog")
    rw_key Return
    rw_wait_active Open "$warning" >/dev/null
    rw_key Escape
    rw_wait_gone "$dialog" "the open dialog"

    rw_step load-refused-file
    # One unit more than the editor holds: refused whole, LOAD stays available.
    rw_click Command2
    rw_answer Open "$(rw_windows_path "$RW_DATA/editor-units-501.txt")"
    rw_dismiss_error
    rw_expect_running
    [ -z "$(rw_value entry 0)" ] || rw_fail "a refused file listed units"

    rw_step load
    rw_click Command2
    rw_answer Open "$(rw_windows_path "$RW_DATA/e2e-three-units.txt")"
    rw_expect entry 0 "1st Platoon - Blue"

    rw_step load-disabled-and-cancel-save
    # Were LOAD still enabled, its dialog would show before the save dialog; Ctrl+S is
    # SAVE's shortcut.
    rw_click Command2
    rw_key ctrl+o
    rw_key ctrl+s
    rw_answer "Save As" --cancel

    rw_step cancel-new-unit
    # Were a cancelled save to ask "Exit?", that box would come before the first question.
    rw_click Command4
    rw_answer "New Unit Name" Ghost
    rw_answer "New Unit Side" --cancel
    rw_expect text Text1 Ghost
    rw_expect text Text2 ""
    [ -z "$(rw_value entry 3)" ] || rw_fail "a cancelled New Unit added a unit"
    [ -z "$(ls -A "$work")" ] || rw_fail "files appeared: $(ls -A "$work" | tr '\n' ' ')"

    rw_step save-refused
    # The values are checked before the save dialog opens: the message comes instead.
    rw_select_row 1
    rw_pick Combo2 0 N/A
    rw_click Command1
    rw_click Command3
    rw_dismiss_error
    rw_expect_running
    # Escape closes it too, although its text has the focus.
    local refusal
    rw_key ctrl+s
    refusal=$(rw_wait_active "$RW_TITLE" "$RW_MAIN")
    rw_key Escape
    rw_wait_gone "$refusal" "the refusal"
    rw_expect_running
    [ -z "$(ls -A "$work")" ] || rw_fail "files appeared: $(ls -A "$work" | tr '\n' ' ')"

    rw_step save-corrected
    rw_type_into Combo2 5
    rw_click Command1
    save_and_leave "$work/roster.txt" e2e-refused-then-saved.expected.txt
}

# A name with é and €, typed, reaches the file in Windows-1252 byte for byte.
scenario_accented_name() {
    local work=$RW_TMP/work

    rw_step load
    rw_click Command2
    rw_answer Open "$(rw_windows_path "$RW_DATA/e2e-three-units.txt")"

    rw_step rename-first-unit
    rw_select_row 1
    rw_type_into Text1 "Régiment € été"
    rw_click Command1
    # The entry keeps its old text; the unit has the new name.
    rw_select_row 2
    rw_key Up
    rw_expect selected "" 0
    rw_expect text Text1 "Régiment € été"
    rw_expect entry 0 "1st Platoon - Blue"

    rw_step save
    save_and_leave "$work/regiment.txt" win32-e2e-accented-name.expected.txt
}

# True when the focus has left List1 for a control that lies whole in view.
focus_moved_into_view() {
    rw_state
    local focus
    focus=$(rw_value focus)
    [ "$focus" != List1 ] && rw_in_view "$focus"
}

# True when List1 has the focus and its top left is at the client area's top left.
list_focused_at_corner() {
    local list window
    rw_state
    read -r -a list <<<"$(rw_value control List1)"
    read -r -a window <<<"$(rw_value window)"
    [ "$(rw_value focus)" = List1 ] && [ "${list[0]} ${list[1]}" = "${window[0]} ${window[1]}" ]
}

# On a screen smaller than the window, the window opens at the screen's size and its scroll
# bars bring LOAD and SAVE within reach of the mouse; Tab shows the control it moves to.
scenario_small_screen() {
    local work=$RW_TMP/work

    rw_step fits-the-screen
    rw_expect_on_screen
    rw_expect_scroll_bars 1 1
    rw_expect_focus List1
    # Opened at its top left, the game settings in view, although the focus is on the list.
    rw_expect_scrolled "0 0"
    rw_in_view Combo13 || rw_fail "the game settings are out of view at start"
    rw_in_view Command2 && rw_fail "LOAD is in view on a screen smaller than the window; nothing to scroll"

    rw_step tab-shows-the-control
    # Shift+Tab from the first control goes to the last one, at the bottom right. The keys
    # reach the editor a moment after they are sent: the state is read until it shows them.
    rw_key shift+Tab
    rw_poll "$RW_TIMEOUT" focus_moved_into_view ||
        rw_fail "Shift+Tab from List1 left the focus on $(rw_value focus), or out of view"
    # The list is taller than this window: its top left comes into view.
    rw_key Tab
    rw_poll "$RW_TIMEOUT" list_focused_at_corner ||
        rw_fail "List1 is at $(rw_value control List1 | cut -d' ' -f1,2) with the focus on $(rw_value focus)," \
            "not at the window's corner $(rw_value window | cut -d' ' -f1,2)"

    rw_step load
    rw_scroll_into_view Command2
    local scrolled
    scrolled=$(rw_scroll_positions)
    rw_click Command2
    rw_answer Open "$(rw_windows_path "$RW_DATA/editor-three-units.txt")"
    rw_expect_enabled Command2 0
    # Neither the dialog's end nor the focus leaving the greyed LOAD scrolls the window.
    rw_expect_scrolled "$scrolled"

    rw_step save-and-stay
    rw_scroll_into_view Command3
    rw_expect_on_screen
    scrolled=$(rw_scroll_positions)
    rw_click Command3
    rw_answer "Save As" "$(rw_windows_path "$work/first.txt")"
    rw_exit_box no
    rw_expect_scrolled "$scrolled"
    rw_expect_file "$work/first.txt" editor-three-units.expected.txt

    rw_step save
    rw_scroll_into_view Command3
    save_and_leave "$work/roster.txt" editor-three-units.expected.txt
}

# At the density of the scenario's name, on a screen with room for the window: no scroll
# bars, no caption meeting a box, and a combo's list opening at the value shown.
scenario_layout() {
    rw_step fits-the-screen
    rw_expect_on_screen
    rw_expect_scroll_bars 0 0
    rw_expect_clear_labels

    rw_step list-opens-at-the-value
    rw_type_into Combo2 2
    # Opened with a click on its button: under Wine, keys after Alt+Down do not reach the list.
    rw_click Combo2 arrow
    rw_poll "$RW_TIMEOUT" rw_dropped Combo2 || rw_fail "the drop-down list of Combo2 did not open"
    rw_expect dropped Combo2 3
    rw_key Down
    rw_key Return
    rw_expect text Combo2 3
    rw_poll "$RW_TIMEOUT" eval '! rw_dropped Combo2' || rw_fail "the drop-down list of Combo2 stayed open"

    rw_step only-an-equal-item-is-highlighted
    # "n/a" starts like "N/A" and differs in case: no item is highlighted, the text stays.
    rw_type_into Combo3 n/a
    rw_click Combo3 arrow
    rw_poll "$RW_TIMEOUT" rw_dropped Combo3 || rw_fail "the drop-down list of Combo3 did not open"
    rw_expect dropped Combo3 -1
    rw_expect text Combo3 n/a
    rw_key Escape
    rw_poll "$RW_TIMEOUT" eval '! rw_dropped Combo3' || rw_fail "the drop-down list of Combo3 stayed open"
    rw_expect text Combo3 n/a
}
scenario_layout_96dpi() { scenario_layout; }
scenario_layout_144dpi() { scenario_layout; }
scenario_layout_192dpi() { scenario_layout; }

# Not a test: the pictures of the window for the README (./dev windows-screenshot), a
# roster loaded and its second unit shown. Writes OUT_DIR/screenshot-windows-DPIdpi.png.
scenario_screenshot() {
    rw_step load
    rw_click Command2
    rw_answer Open "$(rw_windows_path "$RW_DATA/editor-three-units.txt")"
    rw_select_row 2
    rw_step picture
    local window geometry
    window=$(xdotool search --onlyvisible --name "^$RW_TITLE\$" | head -n 1)
    geometry=$(xdotool getwindowgeometry "$window" |
        awk '/Position/ { split($2, p, ","); x = p[1]; y = p[2] } /Geometry/ { g = $2 } END { print g "+" x "+" y }')
    local picture=$RW_OUT/screenshot-windows-${RW_DPI}dpi.png
    import -window root -crop "$geometry" +repage "$picture" || rw_fail "no picture taken"
    echo "wrote $picture ($geometry)"
}

# Not a test: the picture of a refused SAVE for the README (./dev windows-screenshot): two
# units with values the file cannot hold, one of them renamed, and a day out of range.
# Writes OUT_DIR/refusal-windows.png.
scenario_refusal_screenshot() {
    rw_step load
    rw_click Command2
    rw_answer Open "$(rw_windows_path "$RW_DATA/editor-three-units.txt")"
    rw_save_values_the_file_cannot_hold
    rw_wait_active "$RW_TITLE" "$RW_MAIN" >/dev/null

    rw_step picture
    # Wine draws the frame inside each X window; the box is the smaller of the two so titled.
    local geometry
    geometry=$(xdotool search --onlyvisible --name "^$RW_TITLE\$" | while read -r window; do
        xdotool getwindowgeometry "$window" | awk '/Position/ { split($2, p, ","); x = p[1]; y = p[2] }
            /Geometry/ { split($2, g, "x"); w = g[1]; h = g[2] } END { print w * h, w "x" h "+" x "+" y }'
    done | sort -n | head -n 1 | cut -d ' ' -f 2)
    import -window root -crop "$geometry" +repage "$RW_OUT/refusal-windows.png" || rw_fail "no picture taken"
    echo "wrote $RW_OUT/refusal-windows.png ($geometry)"
}

[ $# -eq 6 ] || [ $# -eq 7 ] || {
    echo "usage: $0 SCENARIO EDITOR_EXE SPY_EXE DATA_DIR OUT_DIR WINE_RUN [DPI]" >&2
    exit 2
}
declare -F "scenario_$1" >/dev/null || {
    echo "no scenario named $1" >&2
    exit 2
}
rw_begin "${@:1:6}"
[ -z "${7-}" ] || RW_DPI=$7
case $RW_SCENARIO in
# Where the window opened scrolled down and scrolled down again after each LOAD.
small_screen) RW_SCREEN=800x600 RW_DPI=192 ;;
# Screens with room for the window at each density.
layout_96dpi) RW_DPI=96 ;;
layout_144dpi) RW_SCREEN=1920x1200 RW_DPI=144 ;;
layout_192dpi) RW_SCREEN=2560x1600 RW_DPI=192 ;;
screenshot) [ "$RW_DPI" -le 96 ] || RW_SCREEN=2560x1600 ;;
esac
rw_start_x
rw_start_editor
"scenario_$RW_SCENARIO"
rw_pass
