#!/usr/bin/env bash
# The OpenGL-mode example under the OpenGL driver: its window shows the
# colour it clears to, the colour follows a key held on the real keyboard
# (read when a frame is presented), and both a close request and Alt+F4 end
# it with exit code 0.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"
example="${ZQ_OPENGL_EXAMPLE:-$(dirname "$exe")/examples/opengl_clear.exe}"
[ -f "$example" ] || e2e_fail "no example program at $example"
e2e_window_name="opengl_clear"
unset ZQGFX

blue="0,0,255"
red="255,0,0"

e2e_build_tools
e2e_start_xvfb
e2e_start_program "$example"
e2e_find_window
e2e_expect_client_size
for corner in "0 0" "319 199" "160 100"; do
  e2e_expect_pixel $corner "$blue"
done

xdotool keydown a
e2e_expect_pixel 160 100 "$red"
e2e_expect_pixel 0 199 "$red"
xdotool keyup a
e2e_expect_pixel 160 100 "$blue"

e2e_request_close
e2e_expect_exit 0

e2e_start_program "$example"
e2e_find_window
e2e_expect_pixel 160 100 "$blue"
xdotool key alt+F4
e2e_expect_exit 0
echo PASS
