#!/bin/sh
# Checks the launcher dialog on a virtual X display (Xvfb, xdotool and
# ImageMagick's import): the dialog appears, Escape ends the program with
# status 0 before the engine starts, "Fullscreen" greys out "Always on top",
# and Enter starts the engine at the desktop's mode.
#
#   sh tools/launcher-check.sh BUILD_DIR OUT_DIR
#
# Leaves dialog.png and fullscreen.png (the whole 800x600 screen) and a log
# per run in OUT_DIR; exits non-zero naming the first check that failed.
set -eu
build=$(cd "${1:?build directory}" && pwd)
out=$(mkdir -p "${2:?output directory}" && cd "$2" && pwd)
fail() { echo "launcher-check: $*" >&2; exit 1; }

rm -f "$out/display"
Xvfb -displayfd 3 -screen 0 800x600x24 3>"$out/display" >/dev/null 2>&1 &
xvfb=$!
pid=""
trap 'kill $xvfb 2>/dev/null; [ -z "$pid" ] || kill $pid 2>/dev/null' EXIT
for _ in $(seq 100); do [ -s "$out/display" ] && break; sleep 0.1; done
[ -s "$out/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$out/display")"
cd "$build"

# Starts zephran logging to $out/$1.log and waits for its dialog ($win).
start() {
    ./zephran >"$out/$1.log" 2>&1 &
    pid=$!
    for _ in $(seq 200); do
        win=$(xdotool search --name 'Zephran Emberfall 2010' 2>/dev/null | head -1) || true
        [ -n "$win" ] && return
        sleep 0.1
    done
    fail "$1: no dialog within 20 s"
}
finish() {
    status=0
    wait $pid || status=$?
    pid=""
    [ $status -eq 0 ] || fail "$1: exit status $status"
}

start quit
sleep 1
import -window root "$out/dialog.png"
xdotool windowfocus --sync "$win" key Escape
finish quit
! grep -q stmInitEx "$out/quit.log" || fail "quit: Escape started the engine"

start fullscreen
eval "$(xdotool getwindowgeometry --shell "$win")"
# The "Fullscreen" box, then "Always on top", which must not take the click.
xdotool mousemove $((X + 33)) $((Y + 221)) click 1
sleep 0.3
xdotool mousemove $((X + 135)) $((Y + 221)) click 1
sleep 0.3
xdotool mousemove $((X + 200)) $((Y + 100))
sleep 0.5
import -window root "$out/fullscreen.png"
xdotool windowfocus --sync "$win" key Escape
finish fullscreen

start play
xdotool windowfocus --sync "$win" key Return
for _ in $(seq 300); do grep -q stmInitEx "$out/play.log" && break; sleep 0.1; done
grep -q 'stmInitEx: 800x600' "$out/play.log" || fail "play: Enter did not start the engine at 800x600"
kill $pid
pid=""
echo "launcher-check: all checks passed; pictures in $out"
