# Helpers for driving the Windows editor under Wine in a real X window, with the mouse and
# the keyboard only: Xvfb for the screen, xdotool for the hands. Wine draws the controls
# inside one X window, so the editor's test switch (BREVORN_TEST_STATE_FILE) tells where
# each control is and what it shows; every action is checked against that state.
# Sourced by scenarios.sh; every helper fails the scenario with a screenshot.

W32_TITLE="Steelvane Brevorn Builder"
W32_SKIP=77
# A healthy run answers within a second; Wine on a busy machine may take a few.
W32_TIMEOUT=${W32_TIMEOUT:-20}
# The X screen's size, where the window fits unless a scenario chooses a smaller one.
W32_SCREEN=1024x768

# w32_begin SCENARIO EDITOR_EXE DATA_DIR OUT_DIR WINE_RUN
w32_begin() {
    W32_SCENARIO=$1
    W32_EDITOR=$(realpath "$2")
    W32_DATA=$(realpath "$3")
    mkdir -p "$4"
    W32_OUT=$(realpath "$4")
    W32_WINE_RUN=$(realpath "$5")
    W32_STEP=start
    W32_XVFB_PID=
    W32_EDITOR_PID=
    W32_PASSED=
    rm -f "$W32_OUT/failure-$W32_SCENARIO-"*.png
    W32_TMP=$(mktemp -d "${TMPDIR:-/tmp}/brevorn-win32-e2e-$W32_SCENARIO.XXXXXX")
    mkdir -p "$W32_TMP/work"
    W32_STATE_FILE=$W32_TMP/state.txt
    trap w32_cleanup EXIT
    W32_STARTED=$SECONDS
}

# The Wine prefix is the build's; its server is ended between scenarios, so that each
# starts with Wine's desktop on its own X server.
w32_wineserver() {
    WINEPREFIX=$(sed -n "s/^exec '[^']*' '\([^']*\)'.*/\1/p" "$W32_WINE_RUN") wineserver "$@"
}

w32_cleanup() {
    if [ -n "$W32_EDITOR_PID" ]; then
        kill "$W32_EDITOR_PID" 2>/dev/null || true
        wait "$W32_EDITOR_PID" 2>/dev/null || true
    fi
    w32_wineserver -k 2>/dev/null || true
    if [ -n "$W32_XVFB_PID" ]; then
        kill "$W32_XVFB_PID" 2>/dev/null || true
        wait "$W32_XVFB_PID" 2>/dev/null || true
    fi
    if [ -n "$W32_PASSED" ]; then
        rm -rf "$W32_TMP"
    else
        echo "files of the run kept in $W32_TMP" >&2
    fi
}

w32_skip() {
    echo "SKIPPED: $*"
    W32_PASSED=yes
    exit "$W32_SKIP"
}

w32_step() {
    W32_STEP=$1
    echo "[$((SECONDS - W32_STARTED))s] $W32_SCENARIO: $1"
}

w32_fail() {
    local shot="$W32_OUT/failure-$W32_SCENARIO-$W32_STEP.png"
    if command -v import >/dev/null && import -window root "$shot" 2>/dev/null; then
        echo "FAILED at step '$W32_STEP': $*; screenshot: $shot" >&2
    else
        echo "FAILED at step '$W32_STEP': $*; no screenshot (install imagemagick)" >&2
    fi
    if [ -s "$W32_STATE_FILE" ]; then
        echo "last state of the window:" >&2
        sed 's/^/  /' "$W32_STATE_FILE" >&2
    fi
    exit 1
}

# w32_poll SECONDS COMMAND...: runs COMMAND every tenth of a second until it succeeds.
w32_poll() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

w32_x_ready() {
    grep -qs '^[0-9]' "$W32_TMP/display"
}

w32_start_x() {
    command -v Xvfb >/dev/null || w32_skip "no X server for the real-window tests: Xvfb is not installed"
    command -v xdotool >/dev/null || w32_skip "no way to drive the window: xdotool is not installed"
    command -v xkbcomp >/dev/null || w32_skip "no way to type é and €: xkbcomp is not installed"
    Xvfb -displayfd 3 -screen 0 "${W32_SCREEN}x24" -nolisten tcp 3>"$W32_TMP/display" 2>"$W32_TMP/xvfb.log" &
    W32_XVFB_PID=$!
    w32_poll 10 w32_x_ready || w32_skip "Xvfb did not start: $(tail -n 3 "$W32_TMP/xvfb.log" | tr '\n' ' ')"
    export DISPLAY=":$(head -n 1 "$W32_TMP/display")"
    # Wine turns a key into a character through the keyboard map it reads at start-up; keys
    # xdotool maps on the fly mean nothing to it. Two spare keys get é and € beforehand.
    xkbcomp "$DISPLAY" "$W32_TMP/keymap.xkb" 2>/dev/null || w32_skip "cannot read the X keyboard map"
    sed -i -e 's/key <FK13> {[^}]*};/key <FK13> { [ eacute, Eacute ] };/' \
        -e 's/key <FK14> {[^}]*};/key <FK14> { [ EuroSign ] };/' "$W32_TMP/keymap.xkb"
    xkbcomp "$W32_TMP/keymap.xkb" "$DISPLAY" 2>/dev/null || w32_skip "cannot load the X keyboard map"
}

# The Windows path of a file of this machine, as the editor sees it under Wine.
w32_windows_path() {
    printf 'Z:%s' "$1" | tr '/' '\\'
}

w32_start_editor() {
    w32_step start-editor
    [ -f "$W32_EDITOR" ] || w32_fail "no editor at $W32_EDITOR"
    w32_wineserver -k 2>/dev/null || true
    (cd "$W32_TMP/work" &&
        exec env BREVORN_TEST_STATE_FILE="$(w32_windows_path "$W32_STATE_FILE")" \
            "$W32_WINE_RUN" "$W32_EDITOR" >"$W32_TMP/editor.log" 2>&1) &
    W32_EDITOR_PID=$!
    W32_MAIN=$(w32_wait_active "$W32_TITLE")
    echo "window $(w32_value window) (client area, screen pixels)"
}

w32_editor_alive() {
    kill -0 "$W32_EDITOR_PID" 2>/dev/null
}

w32_state_written() {
    [ ! -e "$W32_STATE_FILE.request" ] && [ -s "$W32_STATE_FILE" ]
}

# Asks the editor for its state; the file is complete once the request is gone.
w32_state() {
    rm -f "$W32_STATE_FILE"
    : >"$W32_STATE_FILE.request"
    local deadline=$((SECONDS + W32_TIMEOUT))
    until w32_state_written; do
        w32_editor_alive || {
            rm -f "$W32_STATE_FILE.request"
            w32_fail "the editor ended"
        }
        [ "$SECONDS" -lt "$deadline" ] || w32_fail "the editor did not report its state within $W32_TIMEOUT s"
        sleep 0.05
    done
    tail -n 1 "$W32_STATE_FILE" | grep -qx end || w32_fail "the state file is incomplete"
}

# w32_value KEY [NAME]: the rest of the line "KEY NAME ..." (or "KEY ...") of the last state.
w32_value() {
    local key=$1 name=${2-}
    if [ -n "$name" ]; then
        awk -v k="$key" -v n="$name" '$1 == k && $2 == n { sub("^[^ ]* [^ ]* ?", ""); print; exit }' "$W32_STATE_FILE"
    else
        awk -v k="$key" '$1 == k { sub("^[^ ]* ?", ""); print; exit }' "$W32_STATE_FILE"
    fi
}

# The handle of the program's active window if its title is TITLE ("*" for any) and it is
# not one of the handles given.
w32_active_is() {
    local title=$1 handle rest known
    shift
    w32_state
    read -r handle rest <<<"$(w32_value active)"
    [ "$title" = "*" ] || [ "$rest" = "$title" ] || return 1
    for known in "$@"; do
        [ "$handle" = "$known" ] && return 1
    done
    echo "$handle"
}

# w32_wait_active TITLE [IGNORED_HANDLE...]: the handle of the active window once it is a
# window titled TITLE (other than the ones given).
w32_wait_active() {
    local deadline=$((SECONDS + W32_TIMEOUT)) handle
    until handle=$(w32_active_is "$@"); do
        [ "$SECONDS" -lt "$deadline" ] || w32_fail "no window titled '$1' became active within $W32_TIMEOUT s"
        sleep 0.1
    done
    echo "$handle"
}

# Polls the state until the line "KEY NAME VALUE" reads exactly VALUE.
w32_expect() {
    local key=$1 name=$2 want=$3 deadline=$((SECONDS + W32_TIMEOUT))
    while :; do
        w32_state
        [ "$(w32_value "$key" "$name")" = "$want" ] && return 0
        [ "$SECONDS" -lt "$deadline" ] ||
            w32_fail "$key $name is '$(w32_value "$key" "$name")', not '$want'"
        sleep 0.1
    done
}

# Polls the state until CONTROL is enabled (1) or disabled (0).
w32_expect_enabled() {
    local control=$1 want=$2 deadline=$((SECONDS + W32_TIMEOUT)) enabled
    while :; do
        w32_state
        enabled=$(w32_value control "$control" | awk '{ print $5 }')
        [ "$enabled" = "$want" ] && return 0
        [ "$SECONDS" -lt "$deadline" ] || w32_fail "$control is enabled '$enabled', not '$want'"
        sleep 0.1
    done
}

w32_expect_focus() {
    local deadline=$((SECONDS + W32_TIMEOUT))
    while :; do
        w32_state
        [ "$(w32_value focus)" = "$1" ] && return 0
        [ "$SECONDS" -lt "$deadline" ] || w32_fail "the focus is on '$(w32_value focus)', not on $1"
        sleep 0.1
    done
}

# w32_click CONTROL [PART]: PART is middle (default), field (a combo's text), arrow (a
# combo's drop-down button) or first-row (of the list). The place comes from the state.
w32_click() {
    local control=$1 part=${2:-middle} left top width height enabled x y
    w32_state
    read -r left top width height enabled <<<"$(w32_value control "$control")"
    [ -n "$left" ] || w32_fail "no control named $control in the state"
    case $part in
    middle) x=$((left + width / 2)) y=$((top + height / 2)) ;;
    field) x=$((left + 8)) y=$((top + height / 2)) ;;
    arrow) x=$((left + width - 8)) y=$((top + height / 2)) ;;
    first-row) x=$((left + width / 2)) y=$((top + 10)) ;;
    *) w32_fail "no part '$part' of a control" ;;
    esac
    # No --sync: it waits many seconds when the pointer is already in place.
    xdotool mousemove "$x" "$y" click 1
}

# The window, frame included, lies on the screen.
w32_expect_on_screen() {
    local left top width height screen_width screen_height
    w32_state
    read -r left top width height <<<"$(w32_value frame)"
    IFS=x read -r screen_width screen_height <<<"$W32_SCREEN"
    [ "$left" -ge 0 ] && [ "$top" -ge 0 ] && [ $((left + width)) -le "$screen_width" ] &&
        [ $((top + height)) -le "$screen_height" ] ||
        w32_fail "the window (${width}x$height at $left,$top) is not inside the ${W32_SCREEN} screen"
}

# w32_expect_scroll_bars HORIZONTAL VERTICAL: each scroll bar shown (1) or not (0).
w32_expect_scroll_bars() {
    local shown
    w32_state
    shown="$(w32_value scrollbar horizontal | awk '{ print $5 }') $(w32_value scrollbar vertical | awk '{ print $5 }')"
    [ "$shown" = "$1 $2" ] || w32_fail "the scroll bars shown are '$shown', not '$1 $2'"
}

# True when CONTROL lies whole inside the window's client area, by the last state.
w32_in_view() {
    local left top width height cl ct cw ch
    read -r left top width height _ <<<"$(w32_value control "$1")"
    read -r cl ct cw ch <<<"$(w32_value window)"
    [ "$left" -ge "$cl" ] && [ "$top" -ge "$ct" ] && [ $((left + width)) -le $((cl + cw)) ] &&
        [ $((top + height)) -le $((ct + ch)) ]
}

# w32_scroll_bar vertical|horizontal start|end: one click into the scroll bar's track next
# to its arrow at that end (a page that way); waits until the window has scrolled.
w32_scroll_bar() {
    local bar=$1 end=$2 left top width height shown position x y
    w32_state
    read -r left top width height shown position <<<"$(w32_value scrollbar "$bar")"
    [ "$shown" = 1 ] || w32_fail "the $bar scroll bar is not shown"
    # The arrows are as long as the bar is thick.
    if [ "$bar" = vertical ]; then
        x=$((left + width / 2))
        if [ "$end" = end ]; then y=$((top + height - width - 3)); else y=$((top + width + 3)); fi
    else
        y=$((top + height / 2))
        if [ "$end" = end ]; then x=$((left + width - height - 3)); else x=$((left + height + 3)); fi
    fi
    xdotool mousemove "$x" "$y" click 1
    w32_poll "$W32_TIMEOUT" eval 'w32_state; [ "$(w32_value scrollbar "$bar" | awk "{ print \$6 }")" != "$position" ]' ||
        w32_fail "a click on the $bar scroll bar at $x,$y did not scroll (position $position)"
}

# Scrolls with the scroll bars, a page at a time, until CONTROL lies whole in the window.
w32_scroll_into_view() {
    local control=$1 attempt left top width height cl ct cw ch
    for attempt in 1 2 3 4 5 6 7 8 9 10; do
        w32_state
        w32_in_view "$control" && return 0
        read -r left top width height _ <<<"$(w32_value control "$control")"
        read -r cl ct cw ch <<<"$(w32_value window)"
        if [ $((top + height)) -gt $((ct + ch)) ]; then
            w32_scroll_bar vertical end
        elif [ "$top" -lt "$ct" ]; then
            w32_scroll_bar vertical start
        elif [ $((left + width)) -gt $((cl + cw)) ]; then
            w32_scroll_bar horizontal end
        else
            w32_scroll_bar horizontal start
        fi
    done
    w32_fail "$control did not come into view"
}

w32_key() {
    xdotool key --delay 30 "$@"
}

# The X key name of one character.
w32_keysym() {
    case $1 in
    [A-Za-z0-9]) printf '%s' "$1" ;;
    ' ') printf space ;;
    .) printf period ;;
    ,) printf comma ;;
    -) printf minus ;;
    _) printf underscore ;;
    :) printf colon ;;
    \\) printf backslash ;;
    /) printf slash ;;
    é) printf eacute ;;
    €) printf EuroSign ;;
    *) return 1 ;;
    esac
}

# Types TEXT. A text with é or € goes key by key, through the keys mapped for them at start:
# mixing xdotool's typing of other characters with them loses keys under Wine.
w32_type() {
    local text=$1 keys=() i sym
    case $text in
    *[é€]*) ;;
    *)
        xdotool type --delay 20 -- "$text"
        return
        ;;
    esac
    for ((i = 0; i < ${#text}; i++)); do
        sym=$(w32_keysym "${text:i:1}") || w32_fail "no key for '${text:i:1}' in '$text'"
        keys+=("$sym")
    done
    w32_key "${keys[@]}"
}

# Replaces the text of a text box or a combo with TEXT, typed, and checks that it arrived.
# On a loaded machine Wine now and then drops one of the keys mapped for é and € (twice in
# ten runs of the suite here); what arrived is checked, and the text is typed again then.
# A program that changed the text would fail every attempt.
w32_type_into() {
    local control=$1 text=$2 attempt
    w32_click "$control" field
    w32_expect_focus "$control"
    for attempt in 1 2 3; do
        w32_key Home shift+End
        w32_type "$text"
        if w32_poll 2 w32_text_is "$control" "$text"; then
            return 0
        fi
        echo "typed again into $control: '$(w32_value text "$control")' arrived for '$text'"
    done
    w32_expect text "$control" "$text"
}

w32_text_is() {
    w32_state
    [ "$(w32_value text "$1")" = "$2" ]
}

# Opens a combo's drop-down list with a click on its button and picks the item at
# POSITION (0 for the first) with the arrow keys and Enter; the combo then shows WANT.
w32_pick() {
    local control=$1 position=$2 want=$3 highlighted i
    w32_click "$control" arrow
    w32_poll "$W32_TIMEOUT" w32_dropped "$control" || w32_fail "the drop-down list of $control did not open"
    # The list opens with the item matching the field highlighted, or none: Down from none
    # goes to the first item.
    highlighted=$(w32_value dropped "$control")
    if [ "$position" -gt "$highlighted" ]; then
        for ((i = highlighted; i < position; i++)); do w32_key Down; done
    else
        for ((i = position; i < highlighted; i++)); do w32_key Up; done
    fi
    w32_key Return
    w32_expect text "$control" "$want"
    w32_poll "$W32_TIMEOUT" eval '! w32_dropped "$control"' || w32_fail "the drop-down list of $control stayed open"
}

w32_dropped() {
    w32_state
    grep -q "^dropped $1 " "$W32_STATE_FILE"
}

# Selects the unit list's entry at ROW (1 for the first): a click on the first entry,
# then the Down key.
w32_select_row() {
    local row=$1 i
    w32_click List1 first-row
    for ((i = 1; i < row; i++)); do w32_key Down; done
    w32_expect selected "" "$((row - 1))"
}

# w32_answer TITLE TEXT|--cancel: answers a file dialog (TEXT is the whole path, typed into
# its file-name field) or an input box of "New Unit", or cancels it with Escape.
w32_answer() {
    local title=$1 text=$2 handle
    handle=$(w32_wait_active "$title")
    if [ "$text" = --cancel ]; then
        w32_key Escape
    else
        w32_type "$text"
        w32_key Return
    fi
    w32_wait_gone "$handle" "the '$title' box"
}

# Waits until the window with HANDLE is no longer the active one.
w32_wait_gone() {
    local handle=$1 what=$2 deadline=$((SECONDS + W32_TIMEOUT)) active rest
    while :; do
        w32_state
        read -r active rest <<<"$(w32_value active)"
        [ "$active" != "$handle" ] && return 0
        [ "$SECONDS" -lt "$deadline" ] || w32_fail "$what stayed open"
        sleep 0.1
    done
}

# w32_exit_box yes|no: answers the question that follows a save with the buttons' keys.
w32_exit_box() {
    local handle
    handle=$(w32_wait_active "Exit?")
    case $1 in
    yes) w32_key y ;;
    no) w32_key n ;;
    esac
    [ "$1" = yes ] || w32_wait_gone "$handle" "the 'Exit?' box"
}

# Waits for an error message (titled like the window) and dismisses it with Enter.
w32_dismiss_error() {
    local handle
    handle=$(w32_wait_active "$W32_TITLE" "$W32_MAIN")
    w32_key Return
    w32_wait_gone "$handle" "the error message"
}

w32_expect_running() {
    w32_editor_alive || w32_fail "the editor is no longer running"
    [ "$(w32_active_is "$W32_TITLE")" = "$W32_MAIN" ] || w32_fail "the editor's window is not the active one"
}

w32_wait_editor_end() {
    w32_poll "$W32_TIMEOUT" eval '! w32_editor_alive' || w32_fail "the editor is still running"
    local status=0
    wait "$W32_EDITOR_PID" || status=$?
    W32_EDITOR_PID=
    [ "$status" -eq 0 ] || w32_fail "the editor ended with status $status"
}

# w32_expect_file GOT EXPECTED_NAME: the file matches tests/data/EXPECTED_NAME byte for byte.
w32_expect_file() {
    local got=$1 want="$W32_DATA/$2"
    [ -f "$got" ] || w32_fail "no file was written at $got"
    if ! cmp -s "$got" "$want"; then
        echo "$got differs from $want (< expected, > written; ^M is CR):" >&2
        diff <(cat -A "$want") <(cat -A "$got") | head -n 40 >&2 || true
        w32_fail "$(basename "$got") is not as expected"
    fi
}

w32_pass() {
    W32_PASSED=yes
    echo "$W32_SCENARIO passed in $((SECONDS - W32_STARTED)) s"
}
