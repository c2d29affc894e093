#!/usr/bin/env bash
# Scenarios a user plays through in the editor's real window; each ends in files that
# must match the expected files byte for byte.
# usage: scenarios.sh SCENARIO EDITOR DATA_DIR OUT_DIR
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

# Load a roster, edit one unit by typing and by picking from drop-down lists, save, stay,
# change the day, save elsewhere and leave.
scenario_edit_and_save() {
    local work=$RW_TMP/work

    rw_step load
    rw_click Command2
    rw_answer Open "$RW_DATA/e2e-three-units.txt"

    rw_step edit-second-unit
    rw_select_row 2
    rw_type_into Text1 "Kampfgruppe Nord"
    # The list opens at the value shown, and Down takes the next one.
    rw_type_into Combo2 3
    rw_take_next_item Combo2   # "4"
    rw_pick Combo3 1     # "0"
    rw_pick Combo4 2     # "Average"
    rw_pick Combo5 6     # "Captured"
    rw_type_into Combo7 2
    rw_pick Combo8 3     # "Heavy"
    rw_pick Combo14 2    # season "Winter"
    rw_click Command1

    rw_step save-and-stay
    rw_click Command3
    rw_answer "Save As" "$work/first.txt"
    rw_exit_box no
    rw_expect_running
    rw_expect_file "$work/first.txt" e2e-edited-first.expected.txt

    rw_step save-and-leave
    # A leading zero is read as the number it stands for.
    rw_type_into Combo13 07
    rw_click Command3
    rw_answer "Save As" "$work/second.txt"
    rw_exit_box yes
    rw_wait_editor_end
    rw_expect_file "$work/second.txt" e2e-edited-second.expected.txt
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

    rw_step fill-second-unit
    # The unit just added is selected and shown.
    rw_pick Combo1 1     # "Motorized Infantry"
    rw_type_into Combo2 3
    rw_pick Combo3 11    # "10"
    rw_type_into Combo7 1
    rw_pick Combo12 3    # "Destroyed"
    rw_click Command1

    rw_step delete-first-unit
    rw_select_row 1
    rw_click Command5

    rw_step add-after-delete
    # The slot after the last unit still holds a copy of the unit that moved down, and
    # the new unit takes over everything but its name and side.
    rw_click Command4
    rw_answer "New Unit Name" Charlie
    rw_answer "New Unit Side" Green

    rw_step save
    rw_type_into Combo13 9
    rw_click Command3
    rw_answer "Save As" "$work/roster.txt"
    rw_exit_box yes
    rw_wait_editor_end
    rw_expect_file "$work/roster.txt" e2e-added-and-deleted.expected.txt
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
    local work=$RW_TMP/work
    local too_many=$RW_TMP/too-many-units.txt
    write_roster_of_501_units "$too_many"

    rw_step cancel-load
    rw_click Command2
    rw_answer Open --cancel

    rw_step load-missing-file
    # The open dialog itself refuses a name that does not exist, with its own warning.
    rw_click Command2
    local dialog warning
    dialog=$(rw_wait_window Open "$RW_MAIN")
    rw_focus "$dialog"
    rw_type "$work/missing.txt"
    rw_key Return
    warning=$(rw_wait_window Open "$RW_MAIN" "$dialog")
    rw_focus "$warning"
    rw_key Return
    rw_wait_closed "$warning" "the dialog's warning"
    rw_focus "$dialog"
    rw_key Escape
    rw_wait_closed "$dialog" "the open dialog"

    rw_step load-refused-file
    rw_click Command2
    rw_answer Open "$too_many"
    rw_dismiss_error
    rw_expect_running

    rw_step load
    rw_click Command2
    rw_answer Open "$RW_DATA/e2e-three-units.txt"

    rw_step load-disabled-and-cancel-save
    # Were LOAD still enabled, its dialog would show before the save dialog.
    rw_click Command2
    rw_click Command3
    [ "$(rw_wait_any_window Open "Save As")" = "Save As" ] || rw_fail "LOAD opened a dialog after a load"
    rw_answer "Save As" --cancel

    rw_step cancel-new-unit
    # Were a cancelled save to ask "Exit?", that box would come before the first question.
    rw_click Command4
    [ "$(rw_wait_any_window "Exit?" "New Unit Name")" = "New Unit Name" ] || rw_fail "a cancelled save asked Exit?"
    rw_answer "New Unit Name" Ghost
    rw_answer "New Unit Side" --cancel
    [ -z "$(ls -A "$work")" ] || rw_fail "files appeared: $(ls -A "$work" | tr '\n' ' ')"

    rw_step save-refused
    # The values are checked before the save dialog opens: the message comes instead.
    rw_select_row 1
    rw_pick Combo2 0     # "N/A"
    rw_click Command1
    rw_click Command3
    [ "$(rw_wait_any_window "Save As" "$RW_TITLE")" = "$RW_TITLE" ] || rw_fail "the save dialog opened first"
    rw_dismiss_error
    rw_expect_running
    # Escape closes it too, although its text has the focus.
    local refusal
    rw_focus "$RW_MAIN"
    rw_key ctrl+s
    refusal=$(rw_wait_window "$RW_TITLE" "$RW_MAIN")
    rw_focus "$refusal"
    rw_key Escape
    rw_wait_closed "$refusal" "the refusal"
    rw_expect_running
    [ -z "$(ls -A "$work")" ] || rw_fail "files appeared: $(ls -A "$work" | tr '\n' ' ')"

    rw_step save-corrected
    rw_type_into Combo2 5
    rw_click Command1
    rw_click Command3
    rw_answer "Save As" "$work/roster.txt"
    rw_exit_box yes
    rw_wait_editor_end
    rw_expect_file "$work/roster.txt" e2e-refused-then-saved.expected.txt
}

# At twice the scale the window is larger than a 1280 x 1024 screen. It opens at the
# screen's size, on the screen with the window manager's frame, and its scroll bars bring
# LOAD and SAVE within reach of the mouse.
scenario_window_fits_small_screen() {
    local work=$RW_TMP/work screen_width screen_height
    read -r screen_width screen_height < <(xdotool getdisplaygeometry)

    rw_step twice-the-scale
    # At the usual scale the window fits and tells its layout scale; the logical pixels
    # stay the same at twice the scale, and each one takes two on the screen.
    local scale
    scale=$(awk -v s="$RW_SCALE" 'BEGIN { print 2 * s }')
    rw_stop_editor
    RW_EDITOR_ENV=(QT_SCALE_FACTOR=2)
    rw_start_editor
    RW_SCALE=$scale
    awk -v s="$RW_SCALE" -v w="$screen_width" -v h="$screen_height" \
        -v cw="$RW_CLIENT_WIDTH_TWIPS" -v ch="$RW_CLIENT_HEIGHT_TWIPS" \
        'BEGIN { exit !(cw / 15 * s > w || ch / 15 * s > h) }' ||
        rw_fail "the window would fit the screen at scale $RW_SCALE; nothing to scroll"
    # The frame comes a moment after the window shows; the window is then fitted again.
    local x y width height left right top bottom
    rw_poll "$RW_TIMEOUT" eval '[ -n "$(rw_frame_extents "$RW_MAIN")" ]' || rw_fail "the window got no frame"
    read -r left right top bottom < <(rw_frame_extents "$RW_MAIN")
    window_on_screen() {
        read -r x y width height < <(rw_window_geometry "$RW_MAIN")
        [ $((x - left)) -ge 0 ] && [ $((y - top)) -ge 0 ] && [ $((x + width + right)) -le "$screen_width" ] &&
            [ $((y + height + bottom)) -le "$screen_height" ]
    }
    rw_poll "$RW_TIMEOUT" window_on_screen ||
        rw_fail "the window (${width}x$height at $x,$y, frame $left $right $top $bottom) is not inside the" \
            "${screen_width}x$screen_height screen"

    rw_step scroll-to-the-corner
    # The wheel over each scroll bar, at the window's right and bottom edges, moves what
    # the window shows.
    local before
    before=$(rw_window_picture "$RW_MAIN")
    xdotool mousemove --window "$RW_MAIN" $((width - 4)) $((height / 2)) click --repeat 20 --delay 20 5
    xdotool mousemove --window "$RW_MAIN" $((width / 2)) $((height - 4)) click --repeat 20 --delay 20 5
    rw_poll "$RW_TIMEOUT" eval '[ "$(rw_window_picture "$RW_MAIN")" != "$before" ]' ||
        rw_fail "the window shows the same after scrolling"

    rw_step load
    # Fusion's scroll bars are 14 logical pixels thick, 28 here; LOAD and SAVE are far larger.
    rw_click_scrolled Command2 28
    rw_answer Open "$RW_DATA/editor-three-units.txt"

    rw_step save
    rw_click_scrolled Command3 28
    rw_answer "Save As" "$work/roster.txt"
    rw_exit_box yes
    rw_wait_editor_end
    rw_expect_file "$work/roster.txt" editor-three-units.expected.txt
}

# fit_report_field NAME: the value of a "NAME VALUE" line of the fit check's report.
fit_report_field() {
    sed -n "s/^$1 //p" "$RW_TMP/fit-report"
}

# On a screen with room for it, at every scale from 1 to 2 under a window manager, the
# window opens at least as large as its layout, so without scroll bars, and wholly on the
# screen, frame included; every caption is whole and clear of the controls beside it. The
# window's size and place are measured on the editor itself, from outside; the scroll bars
# and the captions from inside the same window shown by the fit check, with the fonts the
# platform draws with. A window a device pixel short of its layout loses that pixel without
# a scroll bar, so only the outside sees it. (At twice the scale the window and its frame
# take nearly the whole height of a 1920 x 1080 screen: the screen here is larger.)
scenario_window_fits_every_scale() {
    [ -x "${RW_FIT_CHECK:-}" ] || rw_fail "RW_FIT_CHECK names no fit check program"
    local screen_width screen_height scale
    read -r screen_width screen_height < <(xdotool getdisplaygeometry)
    for scale in 1 1.5 2; do
        if [ "$scale" != 1 ]; then
            rw_stop_editor
            RW_EDITOR_ENV=(QT_SCALE_FACTOR="$scale")
            rw_start_editor
        fi
        rw_step "scale-$scale"
        rw_poll "$RW_TIMEOUT" eval '[ -n "$(rw_frame_extents "$RW_MAIN")" ]' || rw_fail "the window got no frame"
        local status=0
        (cd "$RW_TMP/work" && env QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$RW_TMP/config" \
            XDG_RUNTIME_DIR="$RW_TMP/runtime" LSAN_OPTIONS="suppressions=$RW_LIB_DIR/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
            "${RW_EDITOR_ENV[@]}" "$RW_FIT_CHECK") >"$RW_TMP/fit-report" 2>&1 ||
            status=$?
        sed 's/^/  /' "$RW_TMP/fit-report"
        [ "$status" -eq 0 ] || rw_fail "the fit check found faults at scale $scale"
        local layout_width layout_height bars left right top bottom x y width height
        read -r layout_width layout_height < <(fit_report_field layout | tr x ' ')
        bars=$(fit_report_field "scroll bars")
        read -r left right top bottom < <(rw_frame_extents "$RW_MAIN")
        [ $((layout_width + left + right)) -le "$screen_width" ] &&
            [ $((layout_height + top + bottom)) -le "$screen_height" ] ||
            rw_fail "a ${layout_width}x$layout_height layout in a $left $right $top $bottom frame does not fit the" \
                "${screen_width}x$screen_height screen: nothing to check"
        [ "$bars" = none ] || rw_fail "scroll bars at scale $scale: $bars"
        read -r x y width height < <(rw_window_geometry "$RW_MAIN")
        [ "$width" -ge "$layout_width" ] && [ "$height" -ge "$layout_height" ] ||
            rw_fail "the window is ${width}x$height for a ${layout_width}x$layout_height layout"
        [ $((x - left)) -ge 0 ] && [ $((y - top)) -ge 0 ] && [ $((x + width + right)) -le "$screen_width" ] &&
            [ $((y + height + bottom)) -le "$screen_height" ] ||
            rw_fail "the window (${width}x$height at $x,$y, frame $left $right $top $bottom) is not inside the" \
                "${screen_width}x$screen_height screen"
    done
}

# Not a test: the picture of a refused SAVE for the README (./dev screenshot): two units
# with values the file cannot hold, one of them renamed, and a day out of range. Writes
# OUT_DIR/refusal-linux.png.
scenario_refusal_screenshot() {
    rw_step load
    rw_click Command2
    rw_answer Open "$RW_DATA/editor-three-units.txt"

    rw_save_values_the_file_cannot_hold
    local box
    box=$(rw_wait_window "$RW_TITLE" "$RW_MAIN")

    rw_step picture
    # The box with the frame the window manager draws a moment after it appears.
    local x y width height left right top bottom
    rw_poll "$RW_TIMEOUT" eval '[ -n "$(rw_frame_extents "$box")" ]' || rw_fail "the box got no frame"
    read -r x y width height <<<"$(rw_window_geometry "$box")"
    read -r left right top bottom <<<"$(rw_frame_extents "$box")"
    import -window root -crop "$((width + left + right))x$((height + top + bottom))+$((x - left))+$((y - top))" \
        +repage "$RW_OUT/refusal-linux.png" || rw_fail "no picture taken"
    echo "wrote $RW_OUT/refusal-linux.png"
}

# The screen of a scenario, where it is not the usual one, and the scenarios that run
# under a window manager.
declare -A SCENARIO_SCREEN=([window_fits_small_screen]=1280x1024 [window_fits_every_scale]=2560x1440)
declare -A SCENARIO_WM=([window_fits_small_screen]=openbox [window_fits_every_scale]=openbox [refusal_screenshot]=openbox)

[ $# -eq 4 ] || {
    echo "usage: $0 SCENARIO EDITOR DATA_DIR OUT_DIR" >&2
    exit 2
}
declare -F "scenario_$1" >/dev/null || {
    echo "no scenario named $1" >&2
    exit 2
}
rw_begin "$@"
rw_start_x "${SCENARIO_SCREEN[$RW_SCENARIO]:-}"
[ -z "${SCENARIO_WM[$RW_SCENARIO]:-}" ] || rw_start_wm
rw_start_editor
"scenario_$RW_SCENARIO"
rw_pass
