#!/usr/bin/env bash
# With DirectDraw or DirectInput unavailable the DirectX driver cannot open
# and the viewer comes up on GDI, which still works end to end (GDI marks
# both Shift keys for either one).
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"
unset ZQGFX

e2e_build_tools
e2e_start_xvfb

e2e_start_program "$exe" WINEDLLOVERRIDES=ddraw=d
e2e_find_window
e2e_expect_client_size
e2e_expect_driver gdi
e2e_expect_row 5 ' Scancodes: (keine)'
xdotool keydown Shift_L
e2e_expect_row 5 ' Scancodes: 42, 54'
xdotool keyup Shift_L
e2e_expect_row 5 ' Scancodes: (keine)'
e2e_request_close
e2e_expect_exit 0

e2e_start_program "$exe" WINEDLLOVERRIDES=dinput=d
e2e_find_window
e2e_expect_client_size
e2e_expect_driver gdi
xdotool keydown Shift_L
e2e_expect_row 5 ' Scancodes: 42, 54'
xdotool keyup Shift_L
xdotool keydown Up
e2e_expect_row 5 ' Scancodes: 72'
xdotool keyup Up
e2e_expect_row 5 ' Scancodes: (keine)'
xdotool key alt+F4
e2e_expect_exit 0
echo PASS
