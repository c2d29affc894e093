# Helpers for driving the built editor in a real X window, with the mouse and the
# keyboard only, the way a user would: Xvfb for the screen, xdotool for the hands.
# Sourced by scenarios.sh; every helper fails the scenario with a screenshot.

source "$(dirname "${BASH_SOURCE[0]}")/../real_window_lib.sh"

RW_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
RW_TITLE="Steelvane Brevorn Builder"
RW_SKIP=77
# Long enough for a sanitizer build on a busy machine; a healthy run answers in well
# under a second.
RW_TIMEOUT=${RW_TIMEOUT:-15}

# Where each control sits on the window, in twips: Left Top Width Height. The window is
# 7425 twips wide; on screen everything is multiplied by one scale, found at start-up
# from the window's width.
declare -A RW_CONTROLS=(
    [List1]="240 1440 2655 4350"
    [Command2]="6000 5400 1335 495"
    [Command3]="4560 5400 1335 495"
    [Command4]="1200 1080 855 255"
    [Command5]="2160 1080 735 255"
    [Text1]="4080 960 3255 285"
    [Combo1]="4080 1680 3255 315"
    [Combo2]="6600 2040 735 315"
    [Combo3]="6600 2400 735 315"
    [Combo4]="4080 2040 1095 315"
    [Combo5]="4560 2760 2775 315"
    [Text2]="4080 1320 1455 285"
    [Combo7]="4200 2400 975 315"
    [Combo8]="4560 3120 2775 315"
    [Combo9]="4560 3480 2775 315"
    [Combo10]="4560 3840 2775 315"
    [Combo11]="4560 4200 2775 315"
    [Combo12]="6360 1320 975 315"
    [Command1]="240 1080 855 255"
    [Combo6]="4560 4560 2775 315"
    [Combo13]="1320 360 1095 315"
    [Combo14]="3240 360 1215 315"
    [Combo15]="6000 360 1335 315"
    [Combo16]="4560 4920 2775 315"
)
RW_CLIENT_WIDTH_TWIPS=7425
RW_CLIENT_HEIGHT_TWIPS=5955

# rw_begin SCENARIO EDITOR DATA_DIR OUT_DIR
rw_begin() {
    RW_SCENARIO=$1
    # The editor runs in a folder of its own, so every path is made absolute.
    RW_EDITOR=$(realpath "$2")
    RW_DATA=$(realpath "$3")
    mkdir -p "$4"
    RW_OUT=$(realpath "$4")
    RW_STEP=start
    RW_XVFB_PID=
    RW_WM_PID=
    RW_EDITOR_PID=
    RW_PASSED=
    rm -f "$RW_OUT/failure-$RW_SCENARIO-"*.png
    RW_TMP=$(mktemp -d "${TMPDIR:-/tmp}/brevorn-e2e-$RW_SCENARIO.XXXXXX")
    mkdir -p "$RW_TMP/work" "$RW_TMP/config" "$RW_TMP/runtime"
    chmod 700 "$RW_TMP/runtime"
    trap rw_cleanup EXIT
    RW_STARTED=$SECONDS
}

# Runs on every exit; keeps the exit status of the scenario.
rw_cleanup() {
    if [ -n "$RW_EDITOR_PID" ]; then
        kill "$RW_EDITOR_PID" 2>/dev/null || true
        wait "$RW_EDITOR_PID" 2>/dev/null || true
    fi
    if [ -n "$RW_WM_PID" ]; then
        kill "$RW_WM_PID" 2>/dev/null || true
        wait "$RW_WM_PID" 2>/dev/null || true
    fi
    if [ -n "$RW_XVFB_PID" ]; then
        kill "$RW_XVFB_PID" 2>/dev/null || true
        wait "$RW_XVFB_PID" 2>/dev/null || true
    fi
    if [ -n "$RW_PASSED" ]; then
        rm -rf "$RW_TMP"
    else
        echo "files of the run kept in $RW_TMP" >&2
    fi
}

rw_screenshot() {
    local file=$1
    if command -v import >/dev/null; then
        import -window root "$file" 2>/dev/null && return 0
    fi
    if command -v xwd >/dev/null && command -v convert >/dev/null; then
        xwd -root -silent | convert xwd:- "$file" 2>/dev/null && return 0
    fi
    return 1
}

rw_fail() {
    local shot="$RW_OUT/failure-$RW_SCENARIO-$RW_STEP.png"
    if rw_screenshot "$shot"; then
        echo "FAILED at step '$RW_STEP': $*; screenshot: $shot" >&2
    else
        echo "FAILED at step '$RW_STEP': $*; no screenshot (install imagemagick)" >&2
    fi
    if [ -s "$RW_TMP/editor.log" ]; then
        echo "editor output:" >&2
        sed 's/^/  /' "$RW_TMP/editor.log" >&2
    fi
    exit 1
}

# rw_poll SECONDS COMMAND...: runs COMMAND every tenth of a second until it succeeds;
# a status above 1 means it never will, and ends the waiting at once.
rw_poll() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds)) status
    while :; do
        status=0
        "$@" || status=$?
        # 0: the condition holds; 1: not yet; anything else: it never will.
        [ "$status" -eq 1 ] || return "$status"
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# True once the server has written its display number; fails at once if it has ended.
rw_x_ready() {
    grep -q '^[0-9]' "$RW_TMP/display" && return 0
    kill -0 "$RW_XVFB_PID" 2>/dev/null || return 2
    return 1
}

# rw_start_x [WIDTHxHEIGHT]: the screen is 1024 x 768 unless given.
rw_start_x() {
    command -v Xvfb >/dev/null || rw_skip "no X server for the real-window tests: Xvfb is not installed"
    command -v xdotool >/dev/null || rw_skip "no way to drive the window: xdotool is not installed"
    # The server picks a free display itself and writes its number once it accepts clients.
    # -noreset: without it the server resets whenever its last client leaves, which drops
    # a client that is still connecting (a second editor, or one started while a short
    # xdotool call leaves).
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp -noreset 3>"$RW_TMP/display" 2>"$RW_TMP/xvfb.log" &
    RW_XVFB_PID=$!
    if ! rw_poll 10 rw_x_ready; then
        rw_skip "Xvfb did not start: $(tail -n 3 "$RW_TMP/xvfb.log" | tr '\n' ' ')"
    fi
    export DISPLAY=":$(head -n 1 "$RW_TMP/display")"
    xdotool getdisplaygeometry >/dev/null 2>&1 || rw_skip "Xvfb started but takes no clients on $DISPLAY"
}

# True once a window manager has announced itself on the screen.
rw_wm_ready() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    kill -0 "$RW_WM_PID" 2>/dev/null || return 2
    return 1
}

# A window manager, as on a desktop: it frames each window with a title bar.
rw_start_wm() {
    command -v openbox >/dev/null || rw_skip "no window manager for this scenario: openbox is not installed"
    openbox --sm-disable --config-file /dev/null >"$RW_TMP/wm.log" 2>&1 &
    RW_WM_PID=$!
    rw_poll 10 rw_wm_ready || rw_fail "openbox did not start: $(tail -n 3 "$RW_TMP/wm.log" | tr '\n' ' ')"
}

# "LEFT RIGHT TOP BOTTOM": the frame a window manager draws around a window.
rw_frame_extents() {
    xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.* = \([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)$/\1 \2 \3 \4/p'
}

# Settings for the editor's environment, e.g. QT_SCALE_FACTOR=2.
RW_EDITOR_ENV=()

rw_start_editor() {
    rw_step start-editor
    [ -x "$RW_EDITOR" ] || rw_fail "no editor at $RW_EDITOR"
    # Own settings and runtime folders: Qt's file dialog remembers its last folder. A
    # sanitizer build checks the editor's leaks but not those of the desktop libraries.
    local lsan="suppressions=$RW_LIB_DIR/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
    (cd "$RW_TMP/work" &&
        exec env QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$RW_TMP/config" XDG_RUNTIME_DIR="$RW_TMP/runtime" \
            LSAN_OPTIONS="$lsan" "${RW_EDITOR_ENV[@]}" "$RW_EDITOR" >"$RW_TMP/editor.log" 2>&1) &
    RW_EDITOR_PID=$!
    RW_MAIN=$(rw_wait_window "$RW_TITLE")
    local width
    width=$(xdotool getwindowgeometry "$RW_MAIN" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
    RW_SCALE=$(awk -v w="$width" -v t="$RW_CLIENT_WIDTH_TWIPS" 'BEGIN { print w / (t / 15) }')
    echo "window $RW_MAIN, $width pixels wide, layout scale $RW_SCALE"
}

# Ends the editor from outside, as a user would by closing its window.
rw_stop_editor() {
    kill "$RW_EDITOR_PID" 2>/dev/null || true
    wait "$RW_EDITOR_PID" 2>/dev/null || true
    RW_EDITOR_PID=
}

# "X Y WIDTH HEIGHT" of a window's inside on the screen (xdotool counts a window
# manager's frame twice in the position).
rw_window_geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
        /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print x, y, w, h }'
}

# A checksum of what a window shows.
rw_window_picture() {
    command -v import >/dev/null || rw_skip "no way to look at the window: imagemagick is not installed"
    import -window "$1" rgb:- 2>/dev/null | md5sum
}

# Visible windows titled exactly TITLE, one id a line.
rw_windows() {
    local pattern
    pattern=$(printf '%s' "$1" | sed 's/[][\.*^$?+(){}|/]/\\&/g')
    xdotool search --onlyvisible --name "^$pattern\$" 2>/dev/null || true
}

# The first visible window titled TITLE other than the ones given, if there is one.
rw_find_window() {
    local title=$1 id known
    shift
    for id in $(rw_windows "$title"); do
        for known in "$@"; do
            [ "$id" = "$known" ] && continue 2
        done
        echo "$id"
        return 0
    done
    return 1
}

# rw_wait_window TITLE [IGNORED_ID...]: the id of a window titled TITLE once it shows.
rw_wait_window() {
    local title=$1 id
    shift
    local deadline=$((SECONDS + RW_TIMEOUT))
    until id=$(rw_find_window "$title" "$@"); do
        [ "$SECONDS" -lt "$deadline" ] || rw_fail "no window titled '$title' within $RW_TIMEOUT s"
        rw_editor_alive || rw_fail "the editor ended while waiting for '$title'"
        sleep 0.1
    done
    echo "$id"
}

rw_window_shown() {
    xwininfo -id "$1" 2>/dev/null | grep -q IsViewable
}

rw_wait_closed() {
    local id=$1 what=$2
    rw_poll "$RW_TIMEOUT" eval '! rw_window_shown "$id"' || rw_fail "$what stayed open"
}

# The first dialog (of the titles given) that shows; no fixed waiting where something
# should not appear: a later command that does show a dialog tells which came first.
rw_wait_any_window() {
    local deadline=$((SECONDS + RW_TIMEOUT)) title
    while :; do
        for title in "$@"; do
            if rw_find_window "$title" "$RW_MAIN" >/dev/null; then
                echo "$title"
                return 0
            fi
        done
        [ "$SECONDS" -lt "$deadline" ] || rw_fail "none of these windows showed: $*"
        sleep 0.1
    done
}

rw_expect_running() {
    rw_editor_alive || rw_fail "the editor is no longer running"
    rw_window_shown "$RW_MAIN" || rw_fail "the editor's window is gone"
}

# Without a window manager keys go where X's focus is, and that falls back to the root
# window whenever a dialog closes: give the window the focus before typing into it.
rw_focus() {
    xdotool windowfocus --sync "$1" 2>/dev/null || rw_fail "could not give window $1 the keyboard focus"
}

rw_type() {
    xdotool type --delay 20 -- "$1"
}

# rw_click CONTROL [PART]: PART is middle (default), field (the text of a combo),
# arrow (a combo's drop-down button) or first-row (of the list).
rw_click() {
    local control=$1 part=${2:-middle}
    local place=${RW_CONTROLS[$control]:-}
    [ -n "$place" ] || rw_fail "no control named $control in the layout"
    local left top width height x y
    read -r left top width height <<<"$place"
    case $part in
    middle) x=$((left + width / 2)) y=$((top + height / 2)) ;;
    field) x=$((left + 120)) y=$((top + height / 2)) ;;
    arrow) x=$((left + width - 120)) y=$((top + height / 2)) ;;
    # Entries are as high as the font, which the layout scale outgrows: six pixels at scale 1.
    first-row) x=$((left + width / 2)) y=$((top + 90)) ;;
    *) rw_fail "no part '$part' of a control" ;;
    esac
    local px py
    read -r px py < <(awk -v x="$x" -v y="$y" -v s="$RW_SCALE" \
        'BEGIN { printf "%d %d\n", x / 15 * s + 0.5, y / 15 * s + 0.5 }')
    xdotool mousemove --window "$RW_MAIN" "$px" "$py" click 1
}

# rw_click_scrolled CONTROL BAR: clicks the middle of CONTROL in a window scrolled to
# its bottom right corner, where the surface's corner meets the inside corner of scroll
# bars BAR pixels thick.
rw_click_scrolled() {
    local control=$1 bar=$2
    local place=${RW_CONTROLS[$control]:-}
    [ -n "$place" ] || rw_fail "no control named $control in the layout"
    local left top width height x y window_width window_height
    read -r left top width height <<<"$place"
    read -r x y window_width window_height < <(rw_window_geometry "$RW_MAIN")
    local px py
    read -r px py < <(awk -v s="$RW_SCALE" -v w="$window_width" -v h="$window_height" -v b="$bar" \
        -v right=$((RW_CLIENT_WIDTH_TWIPS - left - width / 2)) -v bottom=$((RW_CLIENT_HEIGHT_TWIPS - top - height / 2)) \
        'BEGIN { printf "%d %d\n", w - b - right / 15 * s + 0.5, h - b - bottom / 15 * s + 0.5 }')
    xdotool mousemove --window "$RW_MAIN" "$px" "$py" click 1
}

# Replaces the text of a text box or a combo with TEXT, typed.
rw_type_into() {
    local control=$1 text=$2
    rw_focus "$RW_MAIN"
    rw_click "$control" field
    rw_key ctrl+a
    rw_type "$text"
}

# How many windows are on the screen, named or not.
rw_count_windows() {
    { xdotool search --onlyvisible --name '' 2>/dev/null || true; } | wc -l
}

# Opens a combo's drop-down list with a click on its button and picks the item at
# POSITION (0 for the first) with the arrow keys and Enter.
rw_pick() {
    local control=$1 position=$2
    rw_focus "$RW_MAIN"
    local before
    before=$(rw_count_windows)
    rw_click "$control" arrow
    # The list is a window of its own.
    rw_poll "$RW_TIMEOUT" eval '[ "$(rw_count_windows)" -gt "$before" ]' ||
        rw_fail "the drop-down list of $control did not open"
    rw_key Home
    local i
    for ((i = 0; i < position; i++)); do rw_key Down; done
    rw_key Return
    rw_poll "$RW_TIMEOUT" eval '[ "$(rw_count_windows)" -le "$before" ]' ||
        rw_fail "the drop-down list of $control stayed open"
}

# Opens a combo's drop-down list from the keyboard (Alt+Down in its field) and takes the
# item after the one the list opens at, with Down and Enter.
rw_take_next_item() {
    local control=$1 before
    rw_focus "$RW_MAIN"
    rw_click "$control" field
    before=$(rw_count_windows)
    rw_key alt+Down
    rw_poll "$RW_TIMEOUT" eval '[ "$(rw_count_windows)" -gt "$before" ]' ||
        rw_fail "the drop-down list of $control did not open"
    rw_key Down Return
    rw_poll "$RW_TIMEOUT" eval '[ "$(rw_count_windows)" -le "$before" ]' ||
        rw_fail "the drop-down list of $control stayed open"
}

# Selects the unit list's entry at ROW (1 for the first): a click on the first entry,
# then the Down key.
rw_select_row() {
    local row=$1 i
    rw_focus "$RW_MAIN"
    rw_click List1 first-row
    for ((i = 1; i < row; i++)); do rw_key Down; done
}

# Visible popups (drop-down lists, the completions a file dialog offers for a typed name):
# windows that the window manager is told to leave alone. One id a line.
rw_popups() {
    local id
    for id in $({ xdotool search --onlyvisible --name '' 2>/dev/null || true; } | sort); do
        if xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes'; then echo "$id"; fi
    done
}

# True once no popup shows that is not among the ones given.
rw_no_new_popup() {
    [ -z "$(comm -13 <(printf '%s\n' "$@" | sort) <(rw_popups))" ]
}

# rw_answer TITLE TEXT|--cancel: answers Qt's file dialog (TEXT is the whole path, typed
# into its file-name field) or one of the input boxes of "New Unit", or cancels it with
# Escape.
rw_answer() {
    local title=$1 text=$2 id popups
    id=$(rw_wait_window "$title" "$RW_MAIN")
    popups=$(rw_popups)
    rw_focus "$id"
    if [ "$text" = --cancel ]; then
        rw_key Escape
    else
        rw_type "$text"
        rw_key Return
    fi
    rw_wait_closed "$id" "the '$title' box"
    # The file dialog's list of completions for the typed name can outlive the dialog for a
    # moment, and while it shows it takes the next click and key (a click on the unit list
    # only closes it). It goes once the editor is past the dialog.
    # shellcheck disable=SC2086
    rw_poll "$RW_TIMEOUT" rw_no_new_popup $popups || rw_fail "a popup of the '$title' box stayed open"
}

# rw_exit_box yes|no: answers the question that follows a save, by its buttons'
# shortcuts.
rw_exit_box() {
    local id
    id=$(rw_wait_window "Exit?" "$RW_MAIN")
    rw_focus "$id"
    case $1 in
    yes) rw_key alt+y ;;
    no) rw_key alt+n ;;
    esac
    rw_wait_closed "$id" "the 'Exit?' box"
}

# Waits for an error message (titled like the window) and dismisses it with Enter.
rw_dismiss_error() {
    local id
    id=$(rw_wait_window "$RW_TITLE" "$RW_MAIN")
    rw_focus "$id"
    rw_key Return
    rw_wait_closed "$id" "the error message"
}

rw_expect_no_file() {
    [ ! -e "$1" ] || rw_fail "a file was written at $1"
}
