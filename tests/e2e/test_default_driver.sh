#!/usr/bin/env bash
# Without ZQGFX the first driver of the list, DirectX, opens the window: it
# tells the two Shift keys apart (the left one alone lists 42) and counts
# extended keys as their base scancode; Alt+F4 and the close request both
# end the program with exit code 0.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"
unset ZQGFX

e2e_build_tools
e2e_start_xvfb
e2e_start_program "$exe"
e2e_find_window
e2e_expect_client_size
e2e_expect_driver directx
e2e_expect_row 5 ' Scancodes: (keine)'
xdotool keydown ctrl
e2e_expect_row 5 ' Scancodes: 29'
xdotool keyup ctrl
xdotool keydown Shift_L
e2e_expect_row 5 ' Scancodes: 42'
xdotool keyup Shift_L
xdotool keydown Up
e2e_expect_row 5 ' Scancodes: 72'
xdotool keyup Up
e2e_expect_row 5 ' Scancodes: (keine)'
e2e_request_close
e2e_expect_exit 0

e2e_start_program "$exe"
e2e_find_window
e2e_expect_driver directx
e2e_expect_row 5 ' Scancodes: (keine)'
xdotool key alt+F4
e2e_expect_exit 0
echo PASS
