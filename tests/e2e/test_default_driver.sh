#!/usr/bin/env bash
# Without ZQGFX, and with ZQGFX naming it, the DirectX driver opens the
# window: it tells the two Shift keys apart (the left one alone lists 42) and
# counts extended keys as their base scancode; the close request and Alt+F4
# both end the program with exit code 0.
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
e2e_expect_row 2 ' Bitte Taste dr\xFCcken!'
e2e_expect_row 5 ' Scancodes: (keine)'
xdotool keydown a
e2e_expect_row 5 ' Scancodes: 30'
xdotool keydown Shift_L
e2e_expect_row 5 ' Scancodes: 30, 42'
xdotool keyup a
e2e_expect_row 5 ' Scancodes: 42'
xdotool keyup Shift_L
xdotool keydown ctrl
e2e_expect_row 5 ' Scancodes: 29'
xdotool keyup ctrl
xdotool keydown Up
e2e_expect_row 5 ' Scancodes: 72'
xdotool keyup Up
e2e_expect_row 5 ' Scancodes: (keine)'
e2e_request_close
e2e_expect_exit 0

e2e_start_program "$exe" ZQGFX=directx
e2e_find_window
e2e_expect_client_size
e2e_expect_driver directx
xdotool keydown Shift_L
e2e_expect_row 5 ' Scancodes: 42'
xdotool keyup Shift_L
e2e_expect_row 5 ' Scancodes: (keine)'
xdotool key alt+F4
e2e_expect_exit 0
echo PASS
