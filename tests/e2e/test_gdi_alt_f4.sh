#!/usr/bin/env bash
# Alt+F4 reaches the program as the close key and ends it with exit code 0.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

e2e_build_tools
e2e_start_xvfb
e2e_start_program "$exe" ZQGFX=gdi
e2e_find_window
e2e_expect_row 5 ' Scancodes: (keine)'
xdotool key alt+F4
e2e_expect_exit 0
echo PASS
