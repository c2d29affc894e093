#!/usr/bin/env bash
# Scenarios a user plays through in the editor's real window; each ends in files that
# must match the expected files byte for byte.
# usage: scenarios.sh SCENARIO EDITOR DATA_DIR OUT_DIR
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

# Load a roster, edit one unit by typing and by picking from drop-down lists, save, stay,
# change the day, save elsewhere and leave.
scenario_edit_and_save() {
    local work=$E2E_TMP/work

    e2e_step load
    e2e_click Command2
    e2e_answer Open "$E2E_DATA/e2e-three-units.txt"

    e2e_step edit-second-unit
    e2e_select_row 2
    e2e_type_into Text1 "Kampfgruppe Nord"
    e2e_type_into Combo2 4
    e2e_pick Combo3 1     # "0"
    e2e_pick Combo4 2     # "Average"
    e2e_pick Combo5 6     # "Captured"
    e2e_type_into Combo7 2
    e2e_pick Combo8 3     # "Heavy"
    e2e_pick Combo14 2    # season "Winter"
    e2e_click Command1

    e2e_step save-and-stay
    e2e_click Command3
    e2e_answer "Save As" "$work/first.txt"
    e2e_exit_box no
    e2e_expect_running
    e2e_expect_file "$work/first.txt" e2e-edited-first.expected.txt

    e2e_step save-and-leave
    # A leading zero is read as the number it stands for.
    e2e_type_into Combo13 07
    e2e_click Command3
    e2e_answer "Save As" "$work/second.txt"
    e2e_exit_box yes
    e2e_wait_editor_end
    e2e_expect_file "$work/second.txt" e2e-edited-second.expected.txt
    e2e_expect_file "$work/first.txt" e2e-edited-first.expected.txt
}

# Build a roster without loading one: add units, delete the first, add one more into the
# slot the deletion left behind, and save it with a typed day.
scenario_add_and_delete() {
    local work=$E2E_TMP/work

    e2e_step add-two-units
    e2e_click Command4
    e2e_answer "New Unit Name" Alpha
    e2e_answer "New Unit Side" Blue
    e2e_click Command4
    e2e_answer "New Unit Name" "Bravo Company"
    e2e_answer "New Unit Side" Red

    e2e_step fill-second-unit
    # The unit just added is selected and shown.
    e2e_pick Combo1 1     # "Motorized Infantry"
    e2e_type_into Combo2 3
    e2e_pick Combo3 11    # "10"
    e2e_type_into Combo7 1
    e2e_pick Combo12 3    # "Destroyed"
    e2e_click Command1

    e2e_step delete-first-unit
    e2e_select_row 1
    e2e_click Command5

    e2e_step add-after-delete
    # The slot after the last unit still holds a copy of the unit that moved down, and
    # the new unit takes over everything but its name and side.
    e2e_click Command4
    e2e_answer "New Unit Name" Charlie
    e2e_answer "New Unit Side" Green

    e2e_step save
    e2e_type_into Combo13 9
    e2e_click Command3
    e2e_answer "Save As" "$work/roster.txt"
    e2e_exit_box yes
    e2e_wait_editor_end
    e2e_expect_file "$work/roster.txt" e2e-added-and-deleted.expected.txt
}

# A roster with one unit too many for the editor.
write_roster_of_501_units() {
    local i
    {
        printf 'GAME:\r\nDay_Counter=1\r\n\r\nUNITS:\r\n'
        for ((i = 1; i <= 501; i++)); do printf 'unit_name=U%d\r\nunit_side=Blue\r\nunit_used=no\r\n\r\n' "$i"; done
    } >"$1"
}

# Every dialog cancelled, a file the dialog refuses, a file the editor refuses, a value
# the file cannot hold: each leaves the editor running and writes nothing.
scenario_cancel_and_refuse() {
    local work=$E2E_TMP/work
    local too_many=$E2E_TMP/too-many-units.txt
    write_roster_of_501_units "$too_many"

    e2e_step cancel-load
    e2e_click Command2
    e2e_answer Open --cancel

    e2e_step load-missing-file
    # The open dialog itself refuses a name that does not exist, with its own warning.
    e2e_click Command2
    local dialog warning
    dialog=$(e2e_wait_window Open "$E2E_MAIN")
    e2e_focus "$dialog"
    e2e_type "$work/missing.txt"
    e2e_key Return
    warning=$(e2e_wait_window Open "$E2E_MAIN" "$dialog")
    e2e_focus "$warning"
    e2e_key Return
    e2e_wait_closed "$warning" "the dialog's warning"
    e2e_focus "$dialog"
    e2e_key Escape
    e2e_wait_closed "$dialog" "the open dialog"

    e2e_step load-refused-file
    e2e_click Command2
    e2e_answer Open "$too_many"
    e2e_dismiss_error
    e2e_expect_running

    e2e_step load
    e2e_click Command2
    e2e_answer Open "$E2E_DATA/e2e-three-units.txt"

    e2e_step load-disabled-and-cancel-save
    # Were LOAD still enabled, its dialog would show before the save dialog.
    e2e_click Command2
    e2e_click Command3
    [ "$(e2e_wait_any_window Open "Save As")" = "Save As" ] || e2e_fail "LOAD opened a dialog after a load"
    e2e_answer "Save As" --cancel

    e2e_step cancel-new-unit
    # Were a cancelled save to ask "Exit?", that box would come before the first question.
    e2e_click Command4
    [ "$(e2e_wait_any_window "Exit?" "New Unit Name")" = "New Unit Name" ] || e2e_fail "a cancelled save asked Exit?"
    e2e_answer "New Unit Name" Ghost
    e2e_answer "New Unit Side" --cancel
    [ -z "$(ls -A "$work")" ] || e2e_fail "files appeared: $(ls -A "$work" | tr '\n' ' ')"

    e2e_step save-refused
    # The values are checked before the save dialog opens: the message comes instead.
    e2e_select_row 1
    e2e_pick Combo2 0     # "N/A"
    e2e_click Command1
    e2e_click Command3
    [ "$(e2e_wait_any_window "Save As" "$E2E_TITLE")" = "$E2E_TITLE" ] || e2e_fail "the save dialog opened first"
    e2e_dismiss_error
    e2e_expect_running
    [ -z "$(ls -A "$work")" ] || e2e_fail "files appeared: $(ls -A "$work" | tr '\n' ' ')"

    e2e_step save-corrected
    e2e_type_into Combo2 5
    e2e_click Command1
    e2e_click Command3
    e2e_answer "Save As" "$work/roster.txt"
    e2e_exit_box yes
    e2e_wait_editor_end
    e2e_expect_file "$work/roster.txt" e2e-refused-then-saved.expected.txt
}

# At twice the scale the window is larger than a 1280 x 1024 screen. It opens at the
# screen's size, on the screen with the window manager's frame, and its scroll bars bring
# LOAD and SAVE within reach of the mouse.
scenario_window_fits_small_screen() {
    local work=$E2E_TMP/work screen_width screen_height
    read -r screen_width screen_height < <(xdotool getdisplaygeometry)

    e2e_step twice-the-scale
    # At the usual scale the window fits and tells its layout scale; the logical pixels
    # stay the same at twice the scale, and each one takes two on the screen.
    local scale
    scale=$(awk -v s="$E2E_SCALE" 'BEGIN { print 2 * s }')
    e2e_stop_editor
    E2E_EDITOR_ENV=(QT_SCALE_FACTOR=2)
    e2e_start_editor
    E2E_SCALE=$scale
    awk -v s="$E2E_SCALE" -v w="$screen_width" -v h="$screen_height" \
        -v cw="$E2E_CLIENT_WIDTH_TWIPS" -v ch="$E2E_CLIENT_HEIGHT_TWIPS" \
        'BEGIN { exit !(cw / 15 * s > w || ch / 15 * s > h) }' ||
        e2e_fail "the window would fit the screen at scale $E2E_SCALE; nothing to scroll"
    # The frame comes a moment after the window shows; the window is then fitted again.
    local x y width height left right top bottom
    e2e_poll "$E2E_TIMEOUT" eval '[ -n "$(e2e_frame_extents "$E2E_MAIN")" ]' || e2e_fail "the window got no frame"
    read -r left right top bottom < <(e2e_frame_extents "$E2E_MAIN")
    window_on_screen() {
        read -r x y width height < <(e2e_window_geometry "$E2E_MAIN")
        [ $((x - left)) -ge 0 ] && [ $((y - top)) -ge 0 ] && [ $((x + width + right)) -le "$screen_width" ] &&
            [ $((y + height + bottom)) -le "$screen_height" ]
    }
    e2e_poll "$E2E_TIMEOUT" window_on_screen ||
        e2e_fail "the window (${width}x$height at $x,$y, frame $left $right $top $bottom) is not inside the" \
            "${screen_width}x$screen_height screen"

    e2e_step scroll-to-the-corner
    # The wheel over each scroll bar, at the window's right and bottom edges, moves what
    # the window shows.
    local before
    before=$(e2e_window_picture "$E2E_MAIN")
    xdotool mousemove --window "$E2E_MAIN" $((width - 4)) $((height / 2)) click --repeat 20 --delay 20 5
    xdotool mousemove --window "$E2E_MAIN" $((width / 2)) $((height - 4)) click --repeat 20 --delay 20 5
    e2e_poll "$E2E_TIMEOUT" eval '[ "$(e2e_window_picture "$E2E_MAIN")" != "$before" ]' ||
        e2e_fail "the window shows the same after scrolling"

    e2e_step load
    # Fusion's scroll bars are 14 logical pixels thick, 28 here; LOAD and SAVE are far larger.
    e2e_click_scrolled Command2 28
    e2e_answer Open "$E2E_DATA/editor-three-units.txt"

    e2e_step save
    e2e_click_scrolled Command3 28
    e2e_answer "Save As" "$work/roster.txt"
    e2e_exit_box yes
    e2e_wait_editor_end
    e2e_expect_file "$work/roster.txt" editor-three-units.expected.txt
}

# The screen of a scenario, where it is not the usual one, and the scenarios that run
# under a window manager.
declare -A SCENARIO_SCREEN=([window_fits_small_screen]=1280x1024)
declare -A SCENARIO_WM=([window_fits_small_screen]=openbox)

[ $# -eq 4 ] || {
    echo "usage: $0 SCENARIO EDITOR DATA_DIR OUT_DIR" >&2
    exit 2
}
declare -F "scenario_$1" >/dev/null || {
    echo "no scenario named $1" >&2
    exit 2
}
e2e_begin "$@"
e2e_start_x "${SCENARIO_SCREEN[$E2E_SCENARIO]:-}"
[ -z "${SCENARIO_WM[$E2E_SCENARIO]:-}" ] || e2e_start_wm
e2e_start_editor
"scenario_$E2E_SCENARIO"
e2e_pass
