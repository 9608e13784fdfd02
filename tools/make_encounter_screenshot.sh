#!/usr/bin/env bash
# Makes docs/encounter.png, the README's picture of a picked encounter: starts the
# window program on a virtual X server with openbox, opens the shower window, turns
# to its forecast view, asks for the Leonid trails of 1899 and 1932 in 1999-2002 with
# 10,000 grains each and photographs the view once the forecast is in (the strongest
# encounter picked). The clicks are placed for the German texts at 1500 x 1150.
# Needs Xvfb, openbox, xdotool and ImageMagick.
# Usage: tools/make_encounter_screenshot.sh [BUILD_DIR] [OUTPUT] [SECONDS_TO_WAIT]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
output="${2:-$root/docs/encounter.png}"
wait_seconds="${3:-60}"
display=":$((90 + RANDOM % 9))"
width=1600 height=1200

source "$root/tools/lib/virtual_window.sh"
xvfb="" app="" wm=""
trap 'kill $app $wm $xvfb 2>/dev/null || true' EXIT
start_virtual_window "$build" "$display" "$width" "$height"
openbox >/dev/null 2>&1 &
wm=$!
sleep 1

open_shower_window 1500 1150
sleep 1
type_into() {  # click a spin box at ($1, $2) of the shower window and type $3
  xdotool mousemove --window "$showers" "$1" "$2" click --repeat 3 1
  xdotool key ctrl+a type "$3"
}
xdotool mousemove --window "$showers" 95 16 click 1   # the "Vorhersage" tab
sleep 0.5
type_into 480 48 1899   # trails from
type_into 555 48 1932   # trails to
type_into 730 48 1999   # forecast from
type_into 805 48 2002   # forecast to
type_into 990 48 10000  # grains per trail
xdotool mousemove --window "$showers" 1113 48 click 1  # compute
sleep "$wait_seconds"
photograph_window "$showers" "$output"
