#!/usr/bin/env bash
# Starts the real program on a virtual X server with the shipped files, finds
# its window by title, opens the overview window (found by its caption),
# clicks hours on the overview's time-height picture and finds the main
# window showing each clicked hour, closes the overview, and ends the
# program through Done, which must write the user's settings file. The first
# run also prints the window (with no printer, into a PDF file named in the
# file dialog); the second starts on the "Loop" panel, starts the hour
# animation and stops it again. The first run keeps a screenshot of the main
# window for a reviewer; then the window test of the shown pictures runs on
# the same kind of server, and one screenshot of each display on a 1280 x 800
# screen is kept beside it.
# Usage: startup_smoke.sh BIN_FOLDER [SHOT_FOLDER [SETTINGS_FILE]]
# SETTINGS_FILE, when given, is the user's settings file the program starts
# with (for example one with every option checked).
set -euo pipefail
bin="$1"
shots="${2:+$(realpath -m "$2")}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/virtual_display.sh"
cp -r "$bin/tarvex" "$bin/Tarvex.cfg" "$bin/Tarvex.Dat" "$bin/Tarvex.ref" "$bin/samples" "$bin/training" "$work/"
[ -d "$bin/archive" ] && cp -r "$bin/archive" "$work/"
# The map's outlines and cities, so that the map display shows them.
for f in TarVex.Map TarVex.CTY; do [ -f "$bin/$f" ] && cp "$bin/$f" "$work/"; done
[ -n "${3:-}" ] && cp "$3" "$work/tarvex.hst"

# Starts the program on the server once it accepts connections and finds
# its main window: sets pid and window, or ends the session.
cat > "$work/start.sh" <<'INNER'
# Prints the first window whose title holds the name, waiting up to 40 s;
# prints nothing when none appears.
find_window() {
  local found=""
  for _ in $(seq 1 400); do
    found=$(xdotool search --name "$1" 2>/dev/null | head -n 1 || true)
    [ -n "$found" ] && break
    sleep 0.1
  done
  echo "$found"
}
start_program() {
  local attempt
  for attempt in 1 2 3; do
    # On a busy machine the server may take a while to accept connections.
    for _ in $(seq 1 300); do
      xdotool getdisplaygeometry >/dev/null 2>&1 && break
      sleep 0.2
    done
    QT_QPA_PLATFORM=xcb ./tarvex > tarvex.log 2>&1 &
    pid=$!
    window=""
    for _ in $(seq 1 400); do
      window=$(xdotool search --name "KBUF - eta - TARVEX" 2>/dev/null | head -n 1 || true)
      [ -n "$window" ] && return 0
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    # A program the server turned away at its start says nothing of the
    # program: it is started again.
    if [ $attempt -lt 3 ] && ! kill -0 "$pid" 2>/dev/null &&
      grep -q "could not connect to display" tarvex.log; then
      echo "start $attempt: the server turned the program away; starting it again"
      sleep 1
      continue
    fi
    break
  done
  echo "the main window did not appear"; cat tarvex.log; kill "$pid" 2>/dev/null; exit 1
}
INNER

cat > "$work/session.sh" <<'INNER'
set -u
cd "$1"
. ./start.sh
start_program
echo "found the main window"
xdotool windowfocus --sync "$window" 2>/dev/null || true
sleep 0.3
if [ -n "${3:-}" ] && command -v import >/dev/null; then
  sleep 0.7
  import -window root "$3/startup_xvfb.png" && echo "screenshot: $3/startup_xvfb.png"
fi
xdotool key alt+o
overview=$(find_window "KBUF - eta - TARVEX Overview")
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
for _ in $(seq 1 200); do
  xdotool search --name "TARVEX Overview" >/dev/null 2>&1 || break
  sleep 0.1
done
if xdotool search --name "TARVEX Overview" >/dev/null 2>&1; then
  echo "Close did not close the overview"; kill "$pid"; exit 1
fi
echo "closed the overview window"
xdotool windowfocus --sync "$window" 2>/dev/null || true
sleep 0.3
case "$2" in
print)
  xdotool key alt+p
  sleep 1.5
  xdotool type --delay 10 "$1/profile.pdf"
  xdotool key Return
  for _ in $(seq 1 200); do
    [ -s "$1/profile.pdf" ] && break
    sleep 0.1
  done
  ;;
loop)
  xdotool key alt+l
  sleep 1
  kill -0 "$pid" 2>/dev/null || { echo "the animation ended the program"; cat tarvex.log; exit 1; }
  xdotool key alt+l
  sleep 0.3
  ;;
esac
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key alt+d
for _ in $(seq 1 200); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  echo "Done did not end the program"; kill "$pid"; exit 1
fi
wait "$pid"
INNER

[ -n "$shots" ] && mkdir -p "$shots"
on_virtual_display 3000x1200x24 bash "$work/session.sh" "$work" print "$shots"
test -s "$work/tarvex.hst" || { echo "Done wrote no settings file"; exit 1; }
echo "ended through Done; settings written"
head -c 4 "$work/profile.pdf" | grep -q "%PDF" || { echo "Print Profile wrote no PDF file"; exit 1; }
echo "printed into a PDF file"

# Line 26 of the settings holds the display and the control panel to start
# with: the next run opens on panel 2, "Loop".
sed -i '26s/^\([^ ]*\) .*$/\1 2/' "$work/tarvex.hst"
on_virtual_display 3000x1200x24 bash "$work/session.sh" "$work" loop
echo "started and stopped the hour animation"

# One screenshot of each display on a 1280 x 800 screen, for a reviewer:
# line 26 of the settings chooses the display to start with (and the
# storm-matrix panel beside it).
if [ -n "$shots" ] && command -v import >/dev/null; then
  cat > "$work/shots.sh" <<'INNER'
set -u
cd "$1"
. ./start.sh
names=(data map hodograph indices storm_type heavy_pcp precip_type lapse_rates fog)
for mode in 0 1 2 3 4 5 6 7 8; do
  sed -i "26s/^.*$/$mode 4/" tarvex.hst
  start_program
  sleep 2
  import -window root "$2/display_${mode}_${names[$mode]}.png"
  kill "$pid"
  wait "$pid" 2>/dev/null
done
echo "screenshots of the nine displays at 1280 x 800: $2/display_*.png"
INNER
  on_virtual_display 1280x800x24 bash "$work/shots.sh" "$work" "$shots"
fi

if [ -x "$bin/tarvex_ui_tests" ]; then
  QT_QPA_PLATFORM=xcb on_virtual_display 1920x1200x24 \
    "$bin/tarvex_ui_tests" --gtest_filter='ShownPictures.*' --gtest_brief=1
fi
