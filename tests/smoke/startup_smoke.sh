#!/usr/bin/env bash
# Starts the real program on a virtual X server with the shipped files, finds
# its window by title, opens the overview window (found by its caption),
# clicks hours on the overview's time-height picture and finds the main
# window showing each clicked hour, closes the overview, and ends the
# program through Done, which must write the user's settings file.
# Usage: startup_smoke.sh BIN_FOLDER
set -euo pipefail
bin="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$bin/tarvex" "$bin/Tarvex.cfg" "$bin/Tarvex.Dat" "$bin/Tarvex.ref" "$bin/samples" "$bin/training" "$work/"
[ -d "$bin/archive" ] && cp -r "$bin/archive" "$work/"

cat > "$work/session.sh" <<'INNER'
set -u
cd "$1"
QT_QPA_PLATFORM=xcb ./tarvex > tarvex.log 2>&1 &
pid=$!
window=""
for _ in $(seq 1 100); do
  window=$(xdotool search --name "KBUF - eta - TARVEX" 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "the main window did not appear"; cat tarvex.log; kill "$pid" 2>/dev/null; exit 1
fi
echo "found the main window"
xdotool windowfocus --sync "$window" 2>/dev/null || true
sleep 0.3
xdotool key alt+o
overview=""
for _ in $(seq 1 100); do
  overview=$(xdotool search --name "KBUF - eta - TARVEX Overview" 2>/dev/null | head -n 1 || true)
  [ -n "$overview" ] && break
  sleep 0.1
done
if [ -z "$overview" ]; then
  echo "the overview window did not appear"; cat tarvex.log; kill "$pid" 2>/dev/null; exit 1
fi
echo "found the overview window"
# The two windows side by side, so that the main window can be seen whole.
xdotool windowmove "$window" 0 0
xdotool windowmove "$overview" 1700 0
sleep 0.5
xdotool windowfocus --sync "$overview" 2>/dev/null || true
sleep 0.3
# A click on an hour of the time-height picture (its left part lies between
# a tenth and a half of the window's width) moves the main window to that
# hour: its picture and hour label change, and a click on the same hour
# later shows exactly the same main window again.
shot() { sleep 0.6; import -window "$window" "$1"; }
differ() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1)" != "0" ]; }
click() { xdotool mousemove --window "$overview" "$1" 300 click 1; }
shot start.png
click 500; shot first.png
click 250; shot second.png
click 500; shot again.png
if ! differ start.png first.png || ! differ first.png second.png; then
  echo "the main window did not follow the clicked hours"; kill "$pid"; exit 1
fi
if differ first.png again.png; then
  echo "the same hour clicked twice showed two different main windows"; kill "$pid"; exit 1
fi
echo "the main window followed the hours clicked in the overview"
xdotool key alt+c
for _ in $(seq 1 50); do
  xdotool search --name "TARVEX Overview" >/dev/null 2>&1 || break
  sleep 0.1
done
if xdotool search --name "TARVEX Overview" >/dev/null 2>&1; then
  echo "Close did not close the overview"; kill "$pid"; exit 1
fi
echo "closed the overview window"
xdotool windowfocus --sync "$window" 2>/dev/null || true
sleep 0.3
xdotool key alt+d
for _ in $(seq 1 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  echo "Done did not end the program"; kill "$pid"; exit 1
fi
wait "$pid"
INNER

xvfb-run -a -s "-screen 0 3000x1200x24" bash "$work/session.sh" "$work"
test -s "$work/tarvex.hst" || { echo "Done wrote no settings file"; exit 1; }
echo "ended through Done; settings written"
