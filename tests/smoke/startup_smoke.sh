#!/usr/bin/env bash
# Starts the real program on a virtual X server with the shipped files, finds
# its window by title and ends it through Done, which must write the user's
# settings file.
# Usage: startup_smoke.sh BIN_FOLDER [SETTINGS_FILE]
# SETTINGS_FILE, when given, is the user's settings file the program starts
# with (for example one with every option checked).
set -euo pipefail
bin="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$bin/tarvex" "$bin/Tarvex.cfg" "$bin/Tarvex.Dat" "$bin/Tarvex.ref" "$bin/samples" "$bin/training" "$work/"
[ -d "$bin/archive" ] && cp -r "$bin/archive" "$work/"
[ -n "${2:-}" ] && cp "$2" "$work/tarvex.hst"

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

xvfb-run -a -s "-screen 0 1600x1200x24" bash "$work/session.sh" "$work"
test -s "$work/tarvex.hst" || { echo "Done wrote no settings file"; exit 1; }
echo "ended through Done; settings written"
