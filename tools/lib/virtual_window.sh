# Shared by the screenshot scripts: the window program on a virtual X server, its
# shower window, and pictures of them.

# Prints the id of the first visible window whose name matches PATTERN, once there is
# one; fails when none has shown after TRIES tenths of a second.
# Usage: wait_for_window PATTERN TRIES
wait_for_window() {
  local id=""
  for _ in $(seq "$2"); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [ -n "$id" ] &&
      { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Starts a virtual X server and the window program on it, waits until the window
# shows and places it at the top left in the given size (no window manager: sized by
# hand, as maximised). Sets DISPLAY, xvfb, app and window;
# the caller's EXIT trap should kill "$app $xvfb".
# Usage: start_virtual_window BUILD_DIR DISPLAY WIDTH HEIGHT
start_virtual_window() {
  local build="$1" width="$3" height="$4"
  Xvfb "$2" -screen 0 "${width}x${height}x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY="$2"
  for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

  "$build/app/stelvo/stelvo" >/dev/null 2>&1 &
  app=$!
  window=$(wait_for_window '^Stelvo' 100) || { echo "the window did not appear" >&2; return 1; }
  xdotool windowmove "$window" 0 0 windowsize "$window" "$width" "$height"
  sleep 1
}

# Opens the shower window from the last entry of the menu bar, right of "System",
# and places it at the top left in the given size. Sets showers.
# Usage: open_shower_window WIDTH HEIGHT
open_shower_window() {
  xdotool mousemove --window "$window" 310 12 click 1
  showers=$(wait_for_window '^Meteorstr' 50) ||
    { echo "the shower window did not appear" >&2; return 1; }
  xdotool windowmove "$showers" 0 0 windowsize "$showers" "$1" "$2"
}

# Writes a picture of a window to a PNG file, its directory made when missing.
# Usage: photograph_window WINDOW OUTPUT
photograph_window() {
  mkdir -p "$(dirname "$2")"
  import -window "$1" "$2"
  echo "wrote $2"
}
