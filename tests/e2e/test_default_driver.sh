#!/usr/bin/env bash
# Without ZQGFX the built-in driver order opens a window that works the same:
# held keys are listed, and both Alt+F4 and the close request end the
# program with exit code 0.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"
unset ZQGFX

e2e_build_tools
e2e_start_xvfb
e2e_start_program "$exe"
e2e_find_window
e2e_expect_client_size
e2e_expect_row 5 ' Scancodes: (keine)'
xdotool keydown ctrl
e2e_expect_row 5 ' Scancodes: 29'
xdotool keyup ctrl
e2e_expect_row 5 ' Scancodes: (keine)'
e2e_request_close
e2e_expect_exit 0

e2e_start_program "$exe"
e2e_find_window
e2e_expect_row 5 ' Scancodes: (keine)'
xdotool key alt+F4
e2e_expect_exit 0
echo PASS
