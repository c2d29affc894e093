#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in a Wine prefix of the build's own.
# usage: wine_run.sh PREFIX PROGRAM [ARGUMENT...]
# The prefix is made on first use (about 15 s); several runs at once wait for the one that
# makes it. A persistent wineserver keeps each later start near a tenth of a second.
set -euo pipefail

prefix=$1
shift

export WINEPREFIX=$prefix
export WINEARCH=win64
# No debug chatter, and no offer to install Mono or Gecko.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ ! -f "$prefix/.brevorn-ready" ]; then
    mkdir -p "$(dirname "$prefix")"
    exec 9>"$prefix.lock"
    flock 9
    if [ ! -f "$prefix/.brevorn-ready" ]; then
        rm -rf "$prefix"
        wineboot --init >/dev/null 2>&1
        # Without a window manager, Wine's own window management stalls every closed
        # window for two seconds; the real-window tests run without one or with openbox.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        wineserver --wait
        touch "$prefix/.brevorn-ready"
    fi
    exec 9>&-
fi

# A server that stays up for a minute after the last program ends. The first program of a
# server's life also starts Wine's own background processes, which keep its standard
# output open as long as the server lives; a throwaway program takes that part, so that
# whoever reads this program's output sees it end when the program ends.
exec 9>"$prefix.lock"
flock 9
if wineserver -p60 >/dev/null 2>&1 9>&-; then
    wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
fi
exec 9>&-
exec wine "$@"
