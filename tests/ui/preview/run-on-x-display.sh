#!/bin/sh
# Runs a test program on a private X display (Xvfb) managed by openbox, where focus and the
# active window are the window manager's decisions as on a desktop. Exits 77, which CTest
# reports as skipped, when a tool is missing. Usage: run-on-x-display.sh PROGRAM [ARGS...]
set -u

for tool in Xvfb openbox xdotool xprop; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed (scripts/install-deps installs xvfb, openbox," \
            "xdotool and x11-utils)"
        exit 77
    fi
done

work=$(mktemp -d)
xvfb_pid=""
wm_pid=""
cleanup() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Polls COMMAND every 50 ms for at most 10 s.
wait_until() {
    tries=200
    until "$@" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.05
    done
}

# -displayfd: the server takes a free display number and writes it, so runs side by side never
# race for a display. -noreset: the server would otherwise reset, refusing clients for a moment,
# each time its last client leaves (the probes below).
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
# The number is complete with its newline; the display is usable once a client gets through.
has_display() {
    [ "$(wc -l <"$work/display")" -ge 1 ] && xprop -display ":$(head -n 1 "$work/display")" -root
}
if ! wait_until has_display; then
    echo "Xvfb did not start:"
    cat "$work/xvfb.log"
    exit 1
fi
DISPLAY=":$(head -n 1 "$work/display")"
export DISPLAY

XDG_CONFIG_HOME="$work" XDG_CACHE_HOME="$work" openbox --sm-disable 2>"$work/openbox.log" &
wm_pid=$!
# openbox announces itself on the root window once it manages windows.
if ! wait_until sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'; then
    echo "openbox did not start:"
    cat "$work/openbox.log"
    exit 1
fi

QT_QPA_PLATFORM=xcb "$@"
