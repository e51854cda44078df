#!/usr/bin/env bash
# With ZQGFX=opengl the viewer still opens: its screen is not in OpenGL
# mode, so the OpenGL driver refuses it and the choice goes on to a driver
# that serves it. Held keys are listed and the close request ends it.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

e2e_build_tools
e2e_start_xvfb
e2e_start_program "$exe" ZQGFX=opengl
e2e_find_window
e2e_expect_client_size
e2e_expect_row 2 ' Bitte Taste dr\xFCcken!'
e2e_expect_row 5 ' Scancodes: (keine)'
xdotool keydown a
e2e_expect_row 5 ' Scancodes: 30'
xdotool keyup a
e2e_expect_row 5 ' Scancodes: (keine)'
e2e_request_close
e2e_expect_exit 0
echo PASS
