#!/usr/bin/env bash
# Alt+Enter asks the DirectX driver for the exclusive 320 x 200 x 8 display
# mode. Wine on Xvfb can set no mode but the desktop's own, so every step of
# the taller-mode ladder is refused and the driver reopens in a window (a new
# one, at the old place); the viewer keeps working and exits with 0.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"
unset ZQGFX

e2e_build_tools
e2e_start_xvfb
e2e_start_program "$exe"
e2e_find_window
e2e_expect_driver directx
e2e_expect_row 5 ' Scancodes: (keine)'
before="$e2e_window"
xdotool key alt+Return

# The switch closes the window and opens others; wait for the windowed one
# that follows. The bound only keeps a broken run from hanging.
for i in $(seq 1 120); do
  e2e_window="$(xdotool search --onlyvisible --name '^klimperdetektor$' 2>/dev/null | head -n 1)"
  if [ -n "$e2e_window" ] && [ "$e2e_window" != "$before" ] &&
     [ "$(xdotool getwindowgeometry "$e2e_window" 2>/dev/null | sed -n 's/.*Geometry: //p')" = "320x200" ]; then
    break
  fi
  kill -0 "$e2e_runner_pid" 2>/dev/null || e2e_fail "the program ended during the switch: $(cat "$e2e_work/program.log")"
  e2e_window=""
  sleep 0.25
done
[ -n "$e2e_window" ] || e2e_fail "no window came back after Alt+Enter"
echo "ok: back in a window after Alt+Enter"
e2e_focus
e2e_expect_client_size
e2e_expect_driver directx
e2e_expect_row 5 ' Scancodes: (keine)'
xdotool keydown Shift_L
e2e_expect_row 5 ' Scancodes: 42'
xdotool keyup Shift_L
e2e_expect_row 5 ' Scancodes: (keine)'
xdotool key alt+F4
e2e_expect_exit 0
echo PASS
