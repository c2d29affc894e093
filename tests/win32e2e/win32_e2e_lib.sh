# Helpers for driving the Windows editor under Wine in a real X window, with the mouse and
# the keyboard only: Xvfb for the screen, xdotool for the hands. Wine draws the controls
# inside one X window, so a spy program (window_spy.exe) under the same Wine server reads
# the editor's window from outside and tells where each control is and what it shows;
# every action is checked against that state.
# Sourced by scenarios.sh; every helper fails the scenario with a screenshot.

source "$(dirname "${BASH_SOURCE[0]}")/../real_window_lib.sh"

RW_TITLE="Steelvane Brevorn Builder"
RW_SKIP=77
# A healthy run answers within a second; Wine on a busy machine may take a few.
RW_TIMEOUT=${RW_TIMEOUT:-20}
# Wine's server, its services and its desktop start afresh with each scenario: about 2 s on
# an idle machine, from 9 to 22 s measured on two cores busy with builds (load 11 to 15).
RW_START_TIMEOUT=${RW_START_TIMEOUT:-90}
# The X screen's size, where the window fits unless a scenario chooses a smaller one.
RW_SCREEN=1024x768
# The screen's density, as Wine reads it from the registry; set for every scenario, since
# the Wine prefix is the build's.
RW_DPI=96

# rw_begin SCENARIO EDITOR_EXE SPY_EXE DATA_DIR OUT_DIR WINE_RUN
rw_begin() {
    RW_SCENARIO=$1
    RW_EDITOR=$(realpath "$2")
    RW_SPY=$(realpath "$3")
    RW_DATA=$(realpath "$4")
    mkdir -p "$5"
    RW_OUT=$(realpath "$5")
    RW_WINE_RUN=$(realpath "$6")
    RW_STEP=start
    RW_XVFB_PID=
    RW_EDITOR_PID=
    RW_SPY_PID=
    RW_PASSED=
    rm -f "$RW_OUT/failure-$RW_SCENARIO-"*.png
    RW_TMP=$(mktemp -d "${TMPDIR:-/tmp}/brevorn-win32-e2e-$RW_SCENARIO.XXXXXX")
    mkdir -p "$RW_TMP/work"
    RW_STATE_FILE=$RW_TMP/state.txt
    trap rw_cleanup EXIT
    RW_STARTED=$SECONDS
}

# The Wine prefix is the build's; its server is ended between scenarios, so that each
# starts with Wine's desktop on its own X server.
rw_wineserver() {
    WINEPREFIX=$(sed -n "s/^exec '[^']*' '\([^']*\)'.*/\1/p" "$RW_WINE_RUN") wineserver "$@"
}

rw_cleanup() {
    local pid
    for pid in "$RW_EDITOR_PID" "$RW_SPY_PID"; do
        [ -n "$pid" ] || continue
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rw_wineserver -k 2>/dev/null || true
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

rw_fail() {
    local shot="$RW_OUT/failure-$RW_SCENARIO-$RW_STEP.png"
    if command -v import >/dev/null && import -window root "$shot" 2>/dev/null; then
        echo "FAILED at step '$RW_STEP': $*; screenshot: $shot" >&2
    else
        echo "FAILED at step '$RW_STEP': $*; no screenshot (install imagemagick)" >&2
    fi
    if [ -s "$RW_STATE_FILE" ]; then
        echo "last state of the window:" >&2
        sed 's/^/  /' "$RW_STATE_FILE" >&2
    fi
    exit 1
}

# rw_poll SECONDS COMMAND...: runs COMMAND every tenth of a second until it succeeds.
rw_poll() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

rw_x_ready() {
    grep -qs '^[0-9]' "$RW_TMP/display"
}

rw_start_x() {
    command -v Xvfb >/dev/null || rw_skip "no X server for the real-window tests: Xvfb is not installed"
    command -v xdotool >/dev/null || rw_skip "no way to drive the window: xdotool is not installed"
    command -v xkbcomp >/dev/null || rw_skip "no way to type é and €: xkbcomp is not installed"
    Xvfb -displayfd 3 -screen 0 "${RW_SCREEN}x24" -nolisten tcp 3>"$RW_TMP/display" 2>"$RW_TMP/xvfb.log" &
    RW_XVFB_PID=$!
    rw_poll 10 rw_x_ready || rw_skip "Xvfb did not start: $(tail -n 3 "$RW_TMP/xvfb.log" | tr '\n' ' ')"
    export DISPLAY=":$(head -n 1 "$RW_TMP/display")"
    # Wine turns a key into a character through the keyboard map it reads at start-up; keys
    # xdotool maps on the fly mean nothing to it. Two spare keys get é and € beforehand.
    xkbcomp "$DISPLAY" "$RW_TMP/keymap.xkb" 2>/dev/null || rw_skip "cannot read the X keyboard map"
    sed -i -e 's/key <FK13> {[^}]*};/key <FK13> { [ eacute, Eacute ] };/' \
        -e 's/key <FK14> {[^}]*};/key <FK14> { [ EuroSign ] };/' "$RW_TMP/keymap.xkb"
    xkbcomp "$RW_TMP/keymap.xkb" "$DISPLAY" 2>/dev/null || rw_skip "cannot load the X keyboard map"
}

# The Windows path of a file of this machine, as the editor sees it under Wine.
rw_windows_path() {
    printf 'Z:%s' "$1" | tr '/' '\\'
}

# Starts the editor, and the spy that answers for its window under the same Wine server.
rw_start_editor() {
    rw_step start-editor
    [ -f "$RW_EDITOR" ] || rw_fail "no editor at $RW_EDITOR"
    [ -f "$RW_SPY" ] || rw_fail "no window spy at $RW_SPY"
    # A server on its way out would take the new programs with it: the next one starts once
    # it has gone.
    rw_wineserver -k 2>/dev/null || true
    "$RW_WINE_RUN" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$RW_DPI" /f \
        >"$RW_TMP/reg.log" 2>&1 || rw_fail "cannot set Wine's density to $RW_DPI: $(tail -n 2 "$RW_TMP/reg.log")"
    # The registry is read when the server starts: this one ends with the change written.
    rw_wineserver -k 2>/dev/null || true
    rw_wineserver -w 2>/dev/null || true
    (cd "$RW_TMP/work" && exec "$RW_WINE_RUN" "$RW_EDITOR" >"$RW_TMP/editor.log" 2>&1) &
    RW_EDITOR_PID=$!
    "$RW_WINE_RUN" "$RW_SPY" "$(rw_windows_path "$RW_STATE_FILE")" >"$RW_TMP/spy.log" 2>&1 &
    RW_SPY_PID=$!
    RW_MAIN=$(RW_TIMEOUT=$RW_START_TIMEOUT rw_wait_active "$RW_TITLE")
    echo "window $(rw_value window) (client area, screen pixels)"
}

rw_state_written() {
    [ ! -e "$RW_STATE_FILE.request" ] && [ -s "$RW_STATE_FILE" ]
}

# Asks the spy for the editor's state; the file is complete once the request is gone.
rw_state() {
    rm -f "$RW_STATE_FILE"
    : >"$RW_STATE_FILE.request"
    local deadline=$((SECONDS + RW_TIMEOUT))
    until rw_state_written; do
        rw_editor_alive || {
            rm -f "$RW_STATE_FILE.request"
            rw_fail "the editor ended"
        }
        kill -0 "$RW_SPY_PID" 2>/dev/null || rw_fail "the window spy ended: $(tail -n 3 "$RW_TMP/spy.log" | tr '\n' ' ')"
        [ "$SECONDS" -lt "$deadline" ] || rw_fail "no state of the editor's window within $RW_TIMEOUT s"
        sleep 0.05
    done
    tail -n 1 "$RW_STATE_FILE" | grep -qx end || rw_fail "the state file is incomplete"
}

# rw_value KEY [NAME]: the rest of the line "KEY NAME ..." (or "KEY ...") of the last state.
rw_value() {
    local key=$1 name=${2-}
    if [ -n "$name" ]; then
        awk -v k="$key" -v n="$name" '$1 == k && $2 == n { sub("^[^ ]* [^ ]* ?", ""); print; exit }' "$RW_STATE_FILE"
    else
        awk -v k="$key" '$1 == k { sub("^[^ ]* ?", ""); print; exit }' "$RW_STATE_FILE"
    fi
}

# The handle of the program's active window if its title is TITLE ("*" for any) and it is
# not one of the handles given.
rw_active_is() {
    local title=$1 handle rest known
    shift
    rw_state
    read -r handle rest <<<"$(rw_value active)"
    [ "$title" = "*" ] || [ "$rest" = "$title" ] || return 1
    for known in "$@"; do
        [ "$handle" = "$known" ] && return 1
    done
    echo "$handle"
}

# rw_wait_active TITLE [IGNORED_HANDLE...]: the handle of the active window once it is a
# window titled TITLE (other than the ones given).
rw_wait_active() {
    local deadline=$((SECONDS + RW_TIMEOUT)) handle
    until handle=$(rw_active_is "$@"); do
        # A failure inside the $(...) above ends only that subshell.
        rw_editor_alive || rw_fail "the editor ended"
        [ "$SECONDS" -lt "$deadline" ] || rw_fail "no window titled '$1' became active within $RW_TIMEOUT s"
        sleep 0.1
    done
    echo "$handle"
}

# Polls the state until the line "KEY NAME VALUE" reads exactly VALUE.
rw_expect() {
    local key=$1 name=$2 want=$3 deadline=$((SECONDS + RW_TIMEOUT))
    while :; do
        rw_state
        [ "$(rw_value "$key" "$name")" = "$want" ] && return 0
        [ "$SECONDS" -lt "$deadline" ] ||
            rw_fail "$key $name is '$(rw_value "$key" "$name")', not '$want'"
        sleep 0.1
    done
}

# Polls the state until CONTROL is enabled (1) or disabled (0).
rw_expect_enabled() {
    local control=$1 want=$2 deadline=$((SECONDS + RW_TIMEOUT)) enabled
    while :; do
        rw_state
        enabled=$(rw_value control "$control" | awk '{ print $5 }')
        [ "$enabled" = "$want" ] && return 0
        [ "$SECONDS" -lt "$deadline" ] || rw_fail "$control is enabled '$enabled', not '$want'"
        sleep 0.1
    done
}

rw_expect_focus() {
    local deadline=$((SECONDS + RW_TIMEOUT))
    while :; do
        rw_state
        [ "$(rw_value focus)" = "$1" ] && return 0
        [ "$SECONDS" -lt "$deadline" ] || rw_fail "the focus is on '$(rw_value focus)', not on $1"
        sleep 0.1
    done
}

# rw_click CONTROL [PART]: PART is middle (default), field (a combo's text), arrow (a
# combo's drop-down button) or first-row (of the list). The place comes from the state.
rw_click() {
    local control=$1 part=${2:-middle} left top width height enabled x y
    rw_state
    read -r left top width height enabled <<<"$(rw_value control "$control")"
    [ -n "$left" ] || rw_fail "no control named $control in the state"
    case $part in
    middle) x=$((left + width / 2)) y=$((top + height / 2)) ;;
    field) x=$((left + 8)) y=$((top + height / 2)) ;;
    arrow) x=$((left + width - 8)) y=$((top + height / 2)) ;;
    first-row) x=$((left + width / 2)) y=$((top + 10)) ;;
    *) rw_fail "no part '$part' of a control" ;;
    esac
    # No --sync: it waits many seconds when the pointer is already in place.
    xdotool mousemove "$x" "$y" click 1
}

# The window, frame included, lies on the screen.
rw_expect_on_screen() {
    local left top width height screen_width screen_height
    rw_state
    read -r left top width height <<<"$(rw_value frame)"
    IFS=x read -r screen_width screen_height <<<"$RW_SCREEN"
    [ "$left" -ge 0 ] && [ "$top" -ge 0 ] && [ $((left + width)) -le "$screen_width" ] &&
        [ $((top + height)) -le "$screen_height" ] ||
        rw_fail "the window (${width}x$height at $left,$top) is not inside the ${RW_SCREEN} screen"
}

# rw_expect_scroll_bars HORIZONTAL VERTICAL: each scroll bar shown (1) or not (0).
rw_expect_scroll_bars() {
    local shown
    rw_state
    shown="$(rw_value scrollbar horizontal | awk '{ print $5 }') $(rw_value scrollbar vertical | awk '{ print $5 }')"
    [ "$shown" = "$1 $2" ] || rw_fail "the scroll bars shown are '$shown', not '$1 $2'"
}

# True when CONTROL lies whole inside the window's client area, by the last state.
rw_in_view() {
    local left top width height cl ct cw ch
    read -r left top width height _ <<<"$(rw_value control "$1")"
    read -r cl ct cw ch <<<"$(rw_value window)"
    [ "$left" -ge "$cl" ] && [ "$top" -ge "$ct" ] && [ $((left + width)) -le $((cl + cw)) ] &&
        [ $((top + height)) -le $((ct + ch)) ]
}

# rw_scroll_bar vertical|horizontal start|end: one click into the scroll bar's track next
# to its arrow at that end (a page that way); waits until the window has scrolled.
rw_scroll_bar() {
    local bar=$1 end=$2 left top width height shown position x y
    rw_state
    read -r left top width height shown position <<<"$(rw_value scrollbar "$bar")"
    [ "$shown" = 1 ] || rw_fail "the $bar scroll bar is not shown"
    # The arrows are as long as the bar is thick.
    if [ "$bar" = vertical ]; then
        x=$((left + width / 2))
        if [ "$end" = end ]; then y=$((top + height - width - 3)); else y=$((top + width + 3)); fi
    else
        y=$((top + height / 2))
        if [ "$end" = end ]; then x=$((left + width - height - 3)); else x=$((left + height + 3)); fi
    fi
    xdotool mousemove "$x" "$y" click 1
    rw_poll "$RW_TIMEOUT" eval 'rw_state; [ "$(rw_value scrollbar "$bar" | awk "{ print \$6 }")" != "$position" ]' ||
        rw_fail "a click on the $bar scroll bar at $x,$y did not scroll (position $position)"
}

# Scrolls with the scroll bars, a page at a time, until CONTROL lies whole in the window.
rw_scroll_into_view() {
    local control=$1 attempt left top width height cl ct cw ch
    for attempt in 1 2 3 4 5 6 7 8 9 10; do
        rw_state
        rw_in_view "$control" && return 0
        read -r left top width height _ <<<"$(rw_value control "$control")"
        read -r cl ct cw ch <<<"$(rw_value window)"
        if [ $((top + height)) -gt $((ct + ch)) ]; then
            rw_scroll_bar vertical end
        elif [ "$top" -lt "$ct" ]; then
            rw_scroll_bar vertical start
        elif [ $((left + width)) -gt $((cl + cw)) ]; then
            rw_scroll_bar horizontal end
        else
            rw_scroll_bar horizontal start
        fi
    done
    rw_fail "$control did not come into view"
}

# The X key name of one character.
rw_keysym() {
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
rw_type() {
    local text=$1 keys=() i sym
    case $text in
    *[é€]*) ;;
    *)
        xdotool type --delay 20 -- "$text"
        return
        ;;
    esac
    for ((i = 0; i < ${#text}; i++)); do
        sym=$(rw_keysym "${text:i:1}") || rw_fail "no key for '${text:i:1}' in '$text'"
        keys+=("$sym")
    done
    rw_key "${keys[@]}"
}

# Replaces the text of a text box or a combo with TEXT, typed, and checks that it arrived.
# On a loaded machine Wine now and then drops one of the keys mapped for é and € (twice in
# ten runs of the suite here); what arrived is checked, and the text is typed again then.
# A program that changed the text would fail every attempt.
rw_type_into() {
    local control=$1 text=$2 attempt
    rw_click "$control" field
    rw_expect_focus "$control"
    for attempt in 1 2 3; do
        rw_key Home shift+End
        rw_type "$text"
        if rw_poll 2 rw_text_is "$control" "$text"; then
            return 0
        fi
        echo "typed again into $control: '$(rw_value text "$control")' arrived for '$text'"
    done
    rw_expect text "$control" "$text"
}

rw_text_is() {
    rw_state
    [ "$(rw_value text "$1")" = "$2" ]
}

# Opens a combo's drop-down list with a click on its button and picks the item at
# POSITION (0 for the first) with the arrow keys and Enter; the combo then shows WANT.
rw_pick() {
    local control=$1 position=$2 want=$3 highlighted i
    rw_click "$control" arrow
    rw_poll "$RW_TIMEOUT" rw_dropped "$control" || rw_fail "the drop-down list of $control did not open"
    # The list opens with the item matching the field highlighted, or none: Down from none
    # goes to the first item.
    highlighted=$(rw_value dropped "$control")
    if [ "$position" -gt "$highlighted" ]; then
        for ((i = highlighted; i < position; i++)); do rw_key Down; done
    else
        for ((i = position; i < highlighted; i++)); do rw_key Up; done
    fi
    rw_key Return
    rw_expect text "$control" "$want"
    rw_poll "$RW_TIMEOUT" eval '! rw_dropped "$control"' || rw_fail "the drop-down list of $control stayed open"
}

rw_dropped() {
    rw_state
    grep -q "^dropped $1 " "$RW_STATE_FILE"
}

# Selects the unit list's entry at ROW (1 for the first): a click on the first entry,
# then the Down key.
rw_select_row() {
    local row=$1 i
    rw_click List1 first-row
    for ((i = 1; i < row; i++)); do rw_key Down; done
    rw_expect selected "" "$((row - 1))"
}

# rw_answer TITLE TEXT|--cancel: answers a file dialog (TEXT is the whole path, typed into
# its file-name field) or an input box of "New Unit", or cancels it with Escape.
rw_answer() {
    local title=$1 text=$2 handle
    handle=$(rw_wait_active "$title")
    if [ "$text" = --cancel ]; then
        rw_key Escape
    else
        rw_type "$text"
        rw_key Return
    fi
    rw_wait_gone "$handle" "the '$title' box"
}

# Waits until the window with HANDLE is no longer the active one.
rw_wait_gone() {
    local handle=$1 what=$2 deadline=$((SECONDS + RW_TIMEOUT)) active rest
    while :; do
        rw_state
        read -r active rest <<<"$(rw_value active)"
        [ "$active" != "$handle" ] && return 0
        [ "$SECONDS" -lt "$deadline" ] || rw_fail "$what stayed open"
        sleep 0.1
    done
}

# rw_exit_box yes|no: answers the question that follows a save with the buttons' keys.
rw_exit_box() {
    local handle
    handle=$(rw_wait_active "Exit?")
    case $1 in
    yes) rw_key y ;;
    no) rw_key n ;;
    esac
    [ "$1" = yes ] || rw_wait_gone "$handle" "the 'Exit?' box"
}

# Waits for an error message (titled like the window) and dismisses it with Enter.
rw_dismiss_error() {
    local handle
    handle=$(rw_wait_active "$RW_TITLE" "$RW_MAIN")
    rw_key Return
    rw_wait_gone "$handle" "the error message"
}

rw_expect_running() {
    rw_editor_alive || rw_fail "the editor is no longer running"
    [ "$(rw_active_is "$RW_TITLE")" = "$RW_MAIN" ] || rw_fail "the editor's window is not the active one"
}

# rw_scroll_positions: "HORIZONTAL VERTICAL", the window's scroll position, by the last state.
rw_scroll_positions() {
    echo "$(rw_value scrollbar horizontal | awk '{ print $6 }') $(rw_value scrollbar vertical | awk '{ print $6 }')"
}

# rw_expect_scrolled "HORIZONTAL VERTICAL": the window is scrolled exactly so far.
rw_expect_scrolled() {
    rw_state
    [ "$(rw_scroll_positions)" = "$1" ] || rw_fail "the window is scrolled to '$(rw_scroll_positions)', not '$1'"
}

# Every label lies a pixel or more clear of every control that is not a label, and inside
# the window's layout; every control lies inside the window's client area.
rw_expect_clear_labels() {
    local name left top width height other ol ot ow oh cl ct cw ch
    rw_state
    read -r cl ct cw ch <<<"$(rw_value window)"
    while read -r name left top width height; do
        [ "$left" -ge "$cl" ] && [ "$top" -ge "$ct" ] && [ $((left + width)) -le $((cl + cw)) ] &&
            [ $((top + height)) -le $((ct + ch)) ] ||
            rw_fail "$name at $left,$top ${width}x$height lies outside the client area $cl,$ct ${cw}x$ch"
        case $name in Label*) ;; *) continue ;; esac
        while read -r other ol ot ow oh; do
            case $other in Label*) continue ;; esac
            # Half-open rectangles: a gap of a pixel or more on some side.
            [ $((left + width)) -lt "$ol" ] || [ $((ol + ow)) -lt "$left" ] || [ $((top + height)) -lt "$ot" ] ||
                [ $((ot + oh)) -lt "$top" ] ||
                rw_fail "$name at $left,$top ${width}x$height meets $other at $ol,$ot ${ow}x$oh"
        done < <(awk '$1 == "control" { print $2, $3, $4, $5, $6 }' "$RW_STATE_FILE")
    done < <(awk '$1 == "control" { print $2, $3, $4, $5, $6 }' "$RW_STATE_FILE")
}
