# Shared by the screenshot scripts: starts a virtual X server and the window program
# on it, waits until the window shows and places it at the top left in the given size
# (no window manager: sized by hand, as maximised). Sets DISPLAY, xvfb, app and window;
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
  window=""
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Stelvo' 2>/dev/null | head -1) &&
      [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "the window did not appear" >&2; return 1; }
  xdotool windowmove "$window" 0 0 windowsize "$window" "$width" "$height"
  sleep 1
}
