#!/usr/bin/env bash
# Runs a Windows test program under Wine on an X screen of its own (Xvfb), in the given Wine
# prefix, whose server is ended before and after so that it draws on this screen only.
# usage: with_display.sh WINE_RUN_SH PREFIX PROGRAM [ARGUMENT...]
set -u

wine_run=$1
prefix=$2
shift 2
command -v Xvfb >/dev/null || {
    echo "skipped: Xvfb is not installed"
    exit 77
}
work=$(mktemp -d "${TMPDIR:-/tmp}/brevorn-display.XXXXXX")
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
    grep -qs '^[0-9]' "$work/display" && break
    sleep 0.1
done
grep -qs '^[0-9]' "$work/display" || {
    echo "skipped: Xvfb did not start: $(tail -n 3 "$work/xvfb.log")"
    kill "$xvfb" 2>/dev/null
    exit 77
}
export DISPLAY=":$(head -n 1 "$work/display")"
end_server() { [ ! -d "$prefix" ] || WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; }
end_server
"$wine_run" "$prefix" "$@"
status=$?
end_server
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
rm -rf "$work"
exit "$status"
