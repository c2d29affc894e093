# Helpers for driving the built editor in a real X window, with the mouse and the
# keyboard only, the way a user would: Xvfb for the screen, xdotool for the hands.
# Sourced by scenarios.sh; every helper fails the scenario with a screenshot.

E2E_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_TITLE="Steelvane Brevorn Builder"
E2E_SKIP=77
# Long enough for a sanitizer build on a busy machine; a healthy run answers in well
# under a second.
E2E_TIMEOUT=${E2E_TIMEOUT:-15}

# Where each control sits on the window, in twips: Left Top Width Height. The window is
# 7425 twips wide; on screen everything is multiplied by one scale, found at start-up
# from the window's width.
declare -A E2E_CONTROLS=(
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
E2E_CLIENT_WIDTH_TWIPS=7425
E2E_CLIENT_HEIGHT_TWIPS=5955

# e2e_begin SCENARIO EDITOR DATA_DIR OUT_DIR
e2e_begin() {
    E2E_SCENARIO=$1
    # The editor runs in a folder of its own, so every path is made absolute.
    E2E_EDITOR=$(realpath "$2")
    E2E_DATA=$(realpath "$3")
    mkdir -p "$4"
    E2E_OUT=$(realpath "$4")
    E2E_STEP=start
    E2E_XVFB_PID=
    E2E_WM_PID=
    E2E_EDITOR_PID=
    E2E_PASSED=
    rm -f "$E2E_OUT/failure-$E2E_SCENARIO-"*.png
    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/brevorn-e2e-$E2E_SCENARIO.XXXXXX")
    mkdir -p "$E2E_TMP/work" "$E2E_TMP/config" "$E2E_TMP/runtime"
    chmod 700 "$E2E_TMP/runtime"
    trap e2e_cleanup EXIT
    E2E_STARTED=$SECONDS
}

# Runs on every exit; keeps the exit status of the scenario.
e2e_cleanup() {
    if [ -n "$E2E_EDITOR_PID" ]; then
        kill "$E2E_EDITOR_PID" 2>/dev/null || true
        wait "$E2E_EDITOR_PID" 2>/dev/null || true
    fi
    if [ -n "$E2E_WM_PID" ]; then
        kill "$E2E_WM_PID" 2>/dev/null || true
        wait "$E2E_WM_PID" 2>/dev/null || true
    fi
    if [ -n "$E2E_XVFB_PID" ]; then
        kill "$E2E_XVFB_PID" 2>/dev/null || true
        wait "$E2E_XVFB_PID" 2>/dev/null || true
    fi
    if [ -n "$E2E_PASSED" ]; then
        rm -rf "$E2E_TMP"
    else
        echo "files of the run kept in $E2E_TMP" >&2
    fi
}

e2e_skip() {
    echo "SKIPPED: $*"
    E2E_PASSED=yes
    exit "$E2E_SKIP"
}

e2e_step() {
    E2E_STEP=$1
    echo "[$((SECONDS - E2E_STARTED))s] $E2E_SCENARIO: $1"
}

e2e_screenshot() {
    local file=$1
    if command -v import >/dev/null; then
        import -window root "$file" 2>/dev/null && return 0
    fi
    if command -v xwd >/dev/null && command -v convert >/dev/null; then
        xwd -root -silent | convert xwd:- "$file" 2>/dev/null && return 0
    fi
    return 1
}

e2e_fail() {
    local shot="$E2E_OUT/failure-$E2E_SCENARIO-$E2E_STEP.png"
    if e2e_screenshot "$shot"; then
        echo "FAILED at step '$E2E_STEP': $*; screenshot: $shot" >&2
    else
        echo "FAILED at step '$E2E_STEP': $*; no screenshot (install imagemagick)" >&2
    fi
    if [ -s "$E2E_TMP/editor.log" ]; then
        echo "editor output:" >&2
        sed 's/^/  /' "$E2E_TMP/editor.log" >&2
    fi
    exit 1
}

# e2e_poll SECONDS COMMAND...: runs COMMAND every tenth of a second until it succeeds;
# a status above 1 means it never will, and ends the waiting at once.
e2e_poll() {
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
e2e_x_ready() {
    grep -q '^[0-9]' "$E2E_TMP/display" && return 0
    kill -0 "$E2E_XVFB_PID" 2>/dev/null || return 2
    return 1
}

# e2e_start_x [WIDTHxHEIGHT]: the screen is 1024 x 768 unless given.
e2e_start_x() {
    command -v Xvfb >/dev/null || e2e_skip "no X server for the real-window tests: Xvfb is not installed"
    command -v xdotool >/dev/null || e2e_skip "no way to drive the window: xdotool is not installed"
    # The server picks a free display itself and writes its number once it accepts clients.
    # -noreset: without it the server resets whenever its last client leaves, which drops
    # a client that is still connecting (a second editor, or one started while a short
    # xdotool call leaves).
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp -noreset 3>"$E2E_TMP/display" 2>"$E2E_TMP/xvfb.log" &
    E2E_XVFB_PID=$!
    if ! e2e_poll 10 e2e_x_ready; then
        e2e_skip "Xvfb did not start: $(tail -n 3 "$E2E_TMP/xvfb.log" | tr '\n' ' ')"
    fi
    export DISPLAY=":$(head -n 1 "$E2E_TMP/display")"
    xdotool getdisplaygeometry >/dev/null 2>&1 || e2e_skip "Xvfb started but takes no clients on $DISPLAY"
}

# True once a window manager has announced itself on the screen.
e2e_wm_ready() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    kill -0 "$E2E_WM_PID" 2>/dev/null || return 2
    return 1
}

# A window manager, as on a desktop: it frames each window with a title bar.
e2e_start_wm() {
    command -v openbox >/dev/null || e2e_skip "no window manager for this scenario: openbox is not installed"
    openbox --sm-disable --config-file /dev/null >"$E2E_TMP/wm.log" 2>&1 &
    E2E_WM_PID=$!
    e2e_poll 10 e2e_wm_ready || e2e_fail "openbox did not start: $(tail -n 3 "$E2E_TMP/wm.log" | tr '\n' ' ')"
}

# "LEFT RIGHT TOP BOTTOM": the frame a window manager draws around a window.
e2e_frame_extents() {
    xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.* = \([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)$/\1 \2 \3 \4/p'
}

# Settings for the editor's environment, e.g. QT_SCALE_FACTOR=2.
E2E_EDITOR_ENV=()

e2e_start_editor() {
    e2e_step start-editor
    [ -x "$E2E_EDITOR" ] || e2e_fail "no editor at $E2E_EDITOR"
    # Own settings and runtime folders: Qt's file dialog remembers its last folder. A
    # sanitizer build checks the editor's leaks but not those of the desktop libraries.
    local lsan="suppressions=$E2E_LIB_DIR/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
    (cd "$E2E_TMP/work" &&
        exec env QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$E2E_TMP/config" XDG_RUNTIME_DIR="$E2E_TMP/runtime" \
            LSAN_OPTIONS="$lsan" "${E2E_EDITOR_ENV[@]}" "$E2E_EDITOR" >"$E2E_TMP/editor.log" 2>&1) &
    E2E_EDITOR_PID=$!
    E2E_MAIN=$(e2e_wait_window "$E2E_TITLE")
    local width
    width=$(xdotool getwindowgeometry "$E2E_MAIN" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
    E2E_SCALE=$(awk -v w="$width" -v t="$E2E_CLIENT_WIDTH_TWIPS" 'BEGIN { print w / (t / 15) }')
    echo "window $E2E_MAIN, $width pixels wide, layout scale $E2E_SCALE"
}

# Ends the editor from outside, as a user would by closing its window.
e2e_stop_editor() {
    kill "$E2E_EDITOR_PID" 2>/dev/null || true
    wait "$E2E_EDITOR_PID" 2>/dev/null || true
    E2E_EDITOR_PID=
}

# "X Y WIDTH HEIGHT" of a window's inside on the screen (xdotool counts a window
# manager's frame twice in the position).
e2e_window_geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
        /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print x, y, w, h }'
}

# A checksum of what a window shows.
e2e_window_picture() {
    command -v import >/dev/null || e2e_skip "no way to look at the window: imagemagick is not installed"
    import -window "$1" rgb:- 2>/dev/null | md5sum
}

# Visible windows titled exactly TITLE, one id a line.
e2e_windows() {
    local pattern
    pattern=$(printf '%s' "$1" | sed 's/[][\.*^$?+(){}|/]/\\&/g')
    xdotool search --onlyvisible --name "^$pattern\$" 2>/dev/null || true
}

# The first visible window titled TITLE other than the ones given, if there is one.
e2e_find_window() {
    local title=$1 id known
    shift
    for id in $(e2e_windows "$title"); do
        for known in "$@"; do
            [ "$id" = "$known" ] && continue 2
        done
        echo "$id"
        return 0
    done
    return 1
}

# e2e_wait_window TITLE [IGNORED_ID...]: the id of a window titled TITLE once it shows.
e2e_wait_window() {
    local title=$1 id
    shift
    local deadline=$((SECONDS + E2E_TIMEOUT))
    until id=$(e2e_find_window "$title" "$@"); do
        [ "$SECONDS" -lt "$deadline" ] || e2e_fail "no window titled '$title' within $E2E_TIMEOUT s"
        e2e_editor_alive || e2e_fail "the editor ended while waiting for '$title'"
        sleep 0.1
    done
    echo "$id"
}

e2e_window_shown() {
    xwininfo -id "$1" 2>/dev/null | grep -q IsViewable
}

e2e_wait_closed() {
    local id=$1 what=$2
    e2e_poll "$E2E_TIMEOUT" eval '! e2e_window_shown "$id"' || e2e_fail "$what stayed open"
}

# The first dialog (of the titles given) that shows; no fixed waiting where something
# should not appear: a later command that does show a dialog tells which came first.
e2e_wait_any_window() {
    local deadline=$((SECONDS + E2E_TIMEOUT)) title
    while :; do
        for title in "$@"; do
            if e2e_find_window "$title" "$E2E_MAIN" >/dev/null; then
                echo "$title"
                return 0
            fi
        done
        [ "$SECONDS" -lt "$deadline" ] || e2e_fail "none of these windows showed: $*"
        sleep 0.1
    done
}

e2e_editor_alive() {
    kill -0 "$E2E_EDITOR_PID" 2>/dev/null
}

e2e_expect_running() {
    e2e_editor_alive || e2e_fail "the editor is no longer running"
    e2e_window_shown "$E2E_MAIN" || e2e_fail "the editor's window is gone"
}

# Without a window manager keys go where X's focus is, and that falls back to the root
# window whenever a dialog closes: give the window the focus before typing into it.
e2e_focus() {
    xdotool windowfocus --sync "$1" 2>/dev/null || e2e_fail "could not give window $1 the keyboard focus"
}

e2e_key() {
    xdotool key --delay 30 "$@"
}

e2e_type() {
    xdotool type --delay 20 -- "$1"
}

# e2e_click CONTROL [PART]: PART is middle (default), field (the text of a combo),
# arrow (a combo's drop-down button) or first-row (of the list).
e2e_click() {
    local control=$1 part=${2:-middle}
    local place=${E2E_CONTROLS[$control]:-}
    [ -n "$place" ] || e2e_fail "no control named $control in the layout"
    local left top width height x y
    read -r left top width height <<<"$place"
    case $part in
    middle) x=$((left + width / 2)) y=$((top + height / 2)) ;;
    field) x=$((left + 120)) y=$((top + height / 2)) ;;
    arrow) x=$((left + width - 120)) y=$((top + height / 2)) ;;
    first-row) x=$((left + width / 2)) y=$((top + 150)) ;;
    *) e2e_fail "no part '$part' of a control" ;;
    esac
    local px py
    read -r px py < <(awk -v x="$x" -v y="$y" -v s="$E2E_SCALE" \
        'BEGIN { printf "%d %d\n", x / 15 * s + 0.5, y / 15 * s + 0.5 }')
    xdotool mousemove --window "$E2E_MAIN" "$px" "$py" click 1
}

# e2e_click_scrolled CONTROL BAR: clicks the middle of CONTROL in a window scrolled to
# its bottom right corner, where the surface's corner meets the inside corner of scroll
# bars BAR pixels thick.
e2e_click_scrolled() {
    local control=$1 bar=$2
    local place=${E2E_CONTROLS[$control]:-}
    [ -n "$place" ] || e2e_fail "no control named $control in the layout"
    local left top width height x y window_width window_height
    read -r left top width height <<<"$place"
    read -r x y window_width window_height < <(e2e_window_geometry "$E2E_MAIN")
    local px py
    read -r px py < <(awk -v s="$E2E_SCALE" -v w="$window_width" -v h="$window_height" -v b="$bar" \
        -v right=$((E2E_CLIENT_WIDTH_TWIPS - left - width / 2)) -v bottom=$((E2E_CLIENT_HEIGHT_TWIPS - top - height / 2)) \
        'BEGIN { printf "%d %d\n", w - b - right / 15 * s + 0.5, h - b - bottom / 15 * s + 0.5 }')
    xdotool mousemove --window "$E2E_MAIN" "$px" "$py" click 1
}

# Replaces the text of a text box or a combo with TEXT, typed.
e2e_type_into() {
    local control=$1 text=$2
    e2e_focus "$E2E_MAIN"
    e2e_click "$control" field
    e2e_key ctrl+a
    e2e_type "$text"
}

# How many windows are on the screen, named or not.
e2e_count_windows() {
    { xdotool search --onlyvisible --name '' 2>/dev/null || true; } | wc -l
}

# Opens a combo's drop-down list with a click on its button and picks the item at
# POSITION (0 for the first) with the arrow keys and Enter.
e2e_pick() {
    local control=$1 position=$2
    e2e_focus "$E2E_MAIN"
    local before
    before=$(e2e_count_windows)
    e2e_click "$control" arrow
    # The list is a window of its own.
    e2e_poll "$E2E_TIMEOUT" eval '[ "$(e2e_count_windows)" -gt "$before" ]' ||
        e2e_fail "the drop-down list of $control did not open"
    e2e_key Home
    local i
    for ((i = 0; i < position; i++)); do e2e_key Down; done
    e2e_key Return
    e2e_poll "$E2E_TIMEOUT" eval '[ "$(e2e_count_windows)" -le "$before" ]' ||
        e2e_fail "the drop-down list of $control stayed open"
}

# Selects the unit list's entry at ROW (1 for the first): a click on the first entry,
# then the Down key.
e2e_select_row() {
    local row=$1 i
    e2e_focus "$E2E_MAIN"
    e2e_click List1 first-row
    for ((i = 1; i < row; i++)); do e2e_key Down; done
}

# Visible popups (drop-down lists, the completions a file dialog offers for a typed name):
# windows that the window manager is told to leave alone. One id a line.
e2e_popups() {
    local id
    for id in $({ xdotool search --onlyvisible --name '' 2>/dev/null || true; } | sort); do
        if xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes'; then echo "$id"; fi
    done
}

# True once no popup shows that is not among the ones given.
e2e_no_new_popup() {
    [ -z "$(comm -13 <(printf '%s\n' "$@" | sort) <(e2e_popups))" ]
}

# e2e_answer TITLE TEXT|--cancel: answers Qt's file dialog (TEXT is the whole path, typed
# into its file-name field) or one of the input boxes of "New Unit", or cancels it with
# Escape.
e2e_answer() {
    local title=$1 text=$2 id popups
    id=$(e2e_wait_window "$title" "$E2E_MAIN")
    popups=$(e2e_popups)
    e2e_focus "$id"
    if [ "$text" = --cancel ]; then
        e2e_key Escape
    else
        e2e_type "$text"
        e2e_key Return
    fi
    e2e_wait_closed "$id" "the '$title' box"
    # The file dialog's list of completions for the typed name can outlive the dialog for a
    # moment, and while it shows it takes the next click and key (a click on the unit list
    # only closes it). It goes once the editor is past the dialog.
    # shellcheck disable=SC2086
    e2e_poll "$E2E_TIMEOUT" e2e_no_new_popup $popups || e2e_fail "a popup of the '$title' box stayed open"
}

# e2e_exit_box yes|no: answers the question that follows a save, by its buttons'
# shortcuts.
e2e_exit_box() {
    local id
    id=$(e2e_wait_window "Exit?" "$E2E_MAIN")
    e2e_focus "$id"
    case $1 in
    yes) e2e_key alt+y ;;
    no) e2e_key alt+n ;;
    esac
    e2e_wait_closed "$id" "the 'Exit?' box"
}

# Waits for an error message (titled like the window) and dismisses it with Enter.
e2e_dismiss_error() {
    local id
    id=$(e2e_wait_window "$E2E_TITLE" "$E2E_MAIN")
    e2e_focus "$id"
    e2e_key Return
    e2e_wait_closed "$id" "the error message"
}

e2e_wait_editor_end() {
    e2e_poll "$E2E_TIMEOUT" eval '! e2e_editor_alive' || e2e_fail "the editor is still running"
    local status=0
    wait "$E2E_EDITOR_PID" || status=$?
    E2E_EDITOR_PID=
    [ "$status" -eq 0 ] || e2e_fail "the editor ended with status $status"
}

# e2e_expect_file GOT EXPECTED_NAME: the file matches tests/data/EXPECTED_NAME byte for byte.
e2e_expect_file() {
    local got=$1 want="$E2E_DATA/$2"
    [ -f "$got" ] || e2e_fail "no file was written at $got"
    if ! cmp -s "$got" "$want"; then
        echo "$got differs from $want (< expected, > written; ^M is CR):" >&2
        diff <(cat -A "$want") <(cat -A "$got") | head -n 40 >&2 || true
        e2e_fail "$(basename "$got") is not as expected"
    fi
}

e2e_expect_no_file() {
    [ ! -e "$1" ] || e2e_fail "a file was written at $1"
}

e2e_pass() {
    E2E_PASSED=yes
    echo "$E2E_SCENARIO passed in $((SECONDS - E2E_STARTED)) s"
}
