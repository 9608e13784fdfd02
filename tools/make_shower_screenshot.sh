#!/usr/bin/env bash
# Makes docs/showers.png, the README's picture of the shower window: starts the window
# program on a virtual X server, chooses 109P/Swift-Tuttle with 20000 bodies over the
# orbit at a 5-day step with the keyboard, starts the run, opens the shower window
# from its menu entry and photographs it six seconds later (some decades of run time,
# depending on the machine).
# With --stream it makes docs/stream-window.png instead: no run in the main window;
# the shower window's stream tab runs its default stream (55P's returns 1800-1965,
# 300 grains each, into 2000-2009; seconds) and is photographed when it has finished.
# Needs Xvfb, xdotool and ImageMagick (scripts/test installs them).
# Usage: tools/make_shower_screenshot.sh [--stream] [BUILD_DIR] [OUTPUT] [DISPLAY_NUMBER]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
stream=false
if [ "${1:-}" = --stream ]; then stream=true; shift; fi
build="${1:-$root/build}"
if $stream; then output="${2:-$root/docs/stream-window.png}"; else output="${2:-$root/docs/showers.png}"; fi
display=":${3:-$((90 + RANDOM % 9))}"
width=1920 height=1080
swift_tuttle=533 start_index=62  # catalogue index of 109P, and the list's start entry

source "$root/tools/lib/virtual_window.sh"
xvfb="" app=""
trap 'kill $app $xvfb 2>/dev/null || true' EXIT
start_virtual_window "$build" "$display" "$width" "$height"

menu=26  # the menu bar above the top strip
if ! $stream; then
  xdotool mousemove --window "$window" 470 $((68 + menu)) click 1  # ComboBox_Part
  xdotool key Down Down                                            # 4000 -> 20000
  # The comet list: opened and closed to take the focus, then stepped down to 109P.
  xdotool mousemove --window "$window" 600 $((37 + menu)) click 1
  sleep 0.5
  xdotool key Escape
  downs=()
  for ((i = start_index; i < swift_tuttle; i++)); do downs+=(Down); done
  xdotool key --delay 2 "${downs[@]}"
  xdotool mousemove --window "$window" 70 $((70 + menu)) click 1  # Start
  sleep 0.5
fi
open_shower_window 1200 900
if $stream; then
  sleep 1
  xdotool mousemove --window "$showers" 264 17 click 1  # the third tab, "Strom ..."
  sleep 0.5
  xdotool key alt+s  # "&Strom berechnen"
  # About 7 s on the shared 2-core machine; the margin covers a busier one.
  sleep 25
else
  sleep 6
fi
photograph_window "$showers" "$output"
