#!/usr/bin/env bash
# Start-up benchmark, run by hand (not by CI): on a virtual X server (with
# openbox when installed) it starts the release program and an empty Qt
# window of the same title and size in turns, and times each from the
# process start to its titled, mapped window (polled every 5 ms). It prints
# every time, both medians and their difference; the empty window is the
# floor that the toolkit itself sets.
# Usage: bench/startup.sh [BIN_FOLDER [RUNS]]   (default build/release/bin, 10)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(realpath "${1:-$here/../build/release/bin}")
runs=${2:-10}
for program in tarvex empty_window; do
    [ -x "$bin/$program" ] || { echo "no $bin/$program: build the release preset first"; exit 1; }
done
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 1; }
done

# The program runs from a copy of the shipped files, so that the settings it
# keeps never reach the build folder.
work=$(mktemp -d)
server=""
manager=""
finish() {
    [ -n "$manager" ] && kill "$manager" 2>/dev/null
    [ -n "$server" ] && kill "$server" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT
cp "$bin/tarvex" "$bin/empty_window" "$work/"
for f in Tarvex.cfg Tarvex.Dat Tarvex.ref TarVex.Map TarVex.CTY samples training archive; do
    [ -e "$bin/$f" ] && cp -r "$bin/$f" "$work/"
done

display=""
for n in $(seq 70 199); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free display number"; exit 1; }
Xvfb "$display" -screen 0 1920x1200x24 -nolisten tcp >/dev/null 2>&1 &
server=$!
export DISPLAY="$display" QT_QPA_PLATFORM=xcb
for _ in $(seq 1 200); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.05
done
if command -v openbox >/dev/null; then
    openbox --sm-disable >/dev/null 2>&1 &
    manager=$!
    sleep 0.5
fi

now_ns() { date +%s%N; }

# Starts a program and prints the seconds from its start to a mapped window
# of its own with the title; the program ends afterwards.
time_window() {
    local title="$1"; shift
    local start end pid
    start=$(now_ns)
    "$@" >/dev/null 2>&1 &
    pid=$!
    until xdotool search --all --onlyvisible --pid "$pid" --name "^${title}\$" >/dev/null 2>&1; do
        if ! kill -0 "$pid" 2>/dev/null; then echo "$* ended without its window" >&2; exit 1; fi
        if (($(now_ns) - start > 30000000000)); then
            echo "$* showed no window titled \"$title\" within 30 s" >&2
            kill "$pid"; exit 1
        fi
        sleep 0.005
    done
    end=$(now_ns)
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
    awk -v ns=$((end - start)) 'BEGIN { printf "%.3f\n", ns / 1e9 }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

cd "$work"
# A first start warms the file cache and tells the title and size of the
# main window, which the empty window takes.
./tarvex >/dev/null 2>&1 &
pid=$!
window=""
for _ in $(seq 1 600); do
    window=$(xdotool search --all --onlyvisible --pid "$pid" --name " - " 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.05
done
[ -n "$window" ] || { echo "the program showed no titled window"; kill "$pid"; exit 1; }
sleep 0.3
title=$(xdotool getwindowname "$window")
eval "$(xdotool getwindowgeometry --shell "$window")"
kill "$pid"; wait "$pid" 2>/dev/null || true
./empty_window "$title" "$WIDTH" "$HEIGHT" >/dev/null 2>&1 &
pid=$!
sleep 1
kill "$pid"; wait "$pid" 2>/dev/null || true

echo "window \"$title\", ${WIDTH}x${HEIGHT}, $runs starts each, display $display"
: > tarvex.times
: > empty.times
for run in $(seq 1 "$runs"); do
    t=$(time_window "$title" ./tarvex)
    e=$(time_window "$title" ./empty_window "$title" "$WIDTH" "$HEIGHT")
    echo "$t" >> tarvex.times
    echo "$e" >> empty.times
    printf 'run %2d: tarvex %s s, empty window %s s\n' "$run" "$t" "$e"
done
t=$(median < tarvex.times)
e=$(median < empty.times)
printf 'median: tarvex %.3f s, empty window %.3f s, difference %.3f s\n' "$t" "$e" \
    "$(awk -v a="$t" -v b="$e" 'BEGIN { print a - b }')"
