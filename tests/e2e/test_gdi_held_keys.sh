#!/usr/bin/env bash
# Under the GDI driver the window lists the scancodes of held keys, and a
# close request from outside ends the program with exit code 0.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

e2e_build_tools
e2e_start_xvfb
e2e_start_program "$exe" ZQGFX=gdi
e2e_find_window
e2e_expect_client_size
e2e_expect_driver gdi

e2e_expect_row 2 ' Bitte Taste dr\xFCcken!'
e2e_expect_row 3 ' ********************'
e2e_expect_row 5 ' Scancodes: (keine)'
e2e_expect_row 7 ' * Klimperdetektor by Tukani *'

xdotool keydown a
e2e_expect_row 5 ' Scancodes: 30'
xdotool keydown shift
e2e_expect_row 5 ' Scancodes: 30, 42, 54'
xdotool keyup a
e2e_expect_row 5 ' Scancodes: 42, 54'
xdotool keyup shift
xdotool keydown Up
e2e_expect_row 5 ' Scancodes: 72'
xdotool keyup Up
e2e_expect_row 5 ' Scancodes: (keine)'

e2e_request_close
e2e_expect_exit 0
echo PASS
