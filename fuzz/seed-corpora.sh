#!/usr/bin/env bash
# Adds seed inputs made from the files the program ships (data/) and from the
# sounding generator to the fuzz corpora, under names that say where they come
# from. Run from the repository after a dev build (it uses the generator):
#   fuzz/seed-corpora.sh [build/dev/bin/tarvex_gensounding]
set -euo pipefail
cd "$(dirname "$0")/.."
generator=${1:-build/dev/bin/tarvex_gensounding}
corpus=fuzz/corpus
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The shipped files as they stand, the map's outline file cut to its first
# shapes (the whole file adds nothing a part does not, and slows every run).
cp data/Tarvex.cfg "$corpus/config/shipped-now.cfg"
sed 's/$/\r/' data/Tarvex.cfg >"$corpus/config/shipped-crlf.cfg"
cp data/Tarvex.Dat "$corpus/datafile/shipped-now.dat"
cp data/Tarvex.ref "$corpus/reference/shipped-now.ref"
cp data/TarVex.CTY "$corpus/mapfiles/shipped-now.cty"
head -n 200 data/TarVex.Map >"$corpus/mapfiles/shipped-start.map"

# The file names of the generated samples and archive, one a line, and a
# command line of each kind.
{
  for layout in eta ngm gfs3 ruc; do echo "${layout}_KBUF.buf"; done
  echo "26120812.eta_KBUF.buf"
  echo "26120800.ngm_KALB.buf"
} >"$corpus/commandline/sample-names"
printf '/U=forecaster\nsamples/eta_KBUF.buf\n' >"$corpus/commandline/user-and-file"
printf -- '-\n"samples/gfs3_KAPX.buf"\n' >"$corpus/commandline/dash-and-quoted"

# Short generated runs of every layout and atmosphere, each after a choice of
# what to draw: every option and display on, the display mode's marks and the
# last hour.
mode=0
for layout in eta ngm gfs3 ruc; do
  for atmosphere in convective winter lake humid; do
    "$generator" --layout "$layout" --atmosphere "$atmosphere" --times 2 --levels 16 \
      -o "$work/sounding"
    {
      printf '\377\377\377\377\377\377'
      printf "\\$(printf '%03o' "$mode")\\001"
      cat "$work/sounding"
    } >"$corpus/drawing/generated-$layout-$atmosphere"
    mode=$(((mode + 1) % 10))
  done
done

# Zoom clicks on the overview's side scales after two of the slot seeds: a
# choice byte (bit 0: every overlay on), then side and button, across, along
# for each click: every band of both sides with both buttons, releases
# beyond both ends of a scale and a press beside the bands.
clicks() {
  local choice=$1 side=$2
  printf "\\$(printf '%03o' "$choice")"
  for button in 0 2; do
    for across in 30 110 190; do
      printf "\\$(printf '%03o' $((side + button)))\\$(printf '%03o' "$across")\\200"
    done
  done
}
for slot in golden everybox; do
  for side in 0 1; do
    { cat "$corpus/slotwindows/$slot"; printf '\0'; clicks 1 "$side"; } \
      >"$corpus/slotwindows/zoom-$slot-side$side"
  done
done
{
  cat "$corpus/slotwindows/golden"
  printf '\0\000\001\036\000\001\036\377\000\156\000\000\156\377\003\372\200'
} >"$corpus/slotwindows/zoom-golden-ends"
