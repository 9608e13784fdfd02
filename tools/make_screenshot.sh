#!/usr/bin/env bash
# Makes docs/screenshot.png, the README's picture of a real run: starts the window
# program on a virtual X server, chooses 20000 bodies, "Quasipunkt" and a 10-day
# step with the keyboard, starts the run and photographs it some decades later.
# Needs Xvfb, xdotool and ImageMagick (scripts/test installs them).
# Usage: tools/make_screenshot.sh [BUILD_DIR] [OUTPUT]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
output="${2:-$root/docs/screenshot.png}"
display=":$((90 + RANDOM % 9))"
width=1440 height=900

source "$root/tools/lib/virtual_window.sh"
xvfb="" app=""
trap 'kill $app $xvfb 2>/dev/null || true' EXIT
start_virtual_window "$build" "$display" "$width" "$height"

menu=26  # the menu bar above the top strip
pick() {  # click into a list at strip position ($1, $2), then press Down $3 times
  xdotool mousemove --window "$window" "$1" $(($2 + menu)) click 1
  for _ in $(seq "$3"); do xdotool key Down; done
}
pick 470 68 2   # ComboBox_Part: 4000 -> 20000
pick 470 98 1   # ComboBox_Dist: ueber Bahn -> Quasipunkt
pick 495 127 1  # ComboBox_Step: 5 -> 10
# Zoom out a little (the wheel turned away lowers the zoom by 5), then start.
xdotool mousemove --window "$window" 700 500
for _ in 1 2 3 4 5; do xdotool click 4; done
xdotool mousemove --window "$window" 70 $((70 + menu)) click 1
sleep 6
mkdir -p "$(dirname "$output")"
import -window root -crop "${width}x${height}+0+0" "$output"
echo "wrote $output"
