#!/usr/bin/env bash
# Measures the windows' frames under a real window manager: openbox on a
# 1280 x 800 virtual X server, the toolkit on its X platform, runs the window
# test that checks both frames inside the screen after every pair of
# switches. The test skips itself without a manager, so a skip fails here.
# Usage: window_frames.sh UI_TEST_PROGRAM
set -euo pipefail
program="$1"
for tool in Xvfb openbox xprop; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed (tools/install-deps.sh)"; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/virtual_display.sh"

cat > "$work/session.sh" <<'INNER'
set -u
managed() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
openbox > "$2/openbox.log" 2>&1 &
manager=$!
# The manager is up once it names itself on the root window.
for _ in $(seq 1 600); do
  managed && break
  kill -0 "$manager" 2>/dev/null || break
  sleep 0.1
done
if ! managed; then
  echo "openbox did not start"; cat "$2/openbox.log"; kill "$manager" 2>/dev/null; exit 75
fi
# The X libraries keep some memory to the end; the address checker's leak
# report would blame them.
TARVEX_WINDOW_MANAGER=openbox QT_QPA_PLATFORM=xcb ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" \
  "$1" --gtest_filter='Startup.BothFramesStayInsideTheScreenAfterEverySwitch:Startup.AHelpMessageFromTheOverviewLeavesTheOverviewInFront' > "$2/test.log" 2>&1
status=$?
kill "$manager"
wait "$manager" 2>/dev/null
exit $status
INNER

# A manager that does not come up is tried again on a new server (status 75).
for _ in 1 2 3; do
  status=0
  HOME="$work" on_virtual_display 1280x800x24 bash "$work/session.sh" "$program" "$work" || status=$?
  [ "$status" -eq 75 ] || break
done
[ -f "$work/test.log" ] || { echo "the window test did not start"; exit 1; }
cat "$work/test.log"
if grep -q "SKIPPED" "$work/test.log"; then
  echo "the window test did not run under the window manager"; exit 1
fi
exit $status
