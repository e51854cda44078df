#!/usr/bin/env bash
# A key log that cannot be written (standard output onto /dev/full): one line
# on standard error, the page works on, and Alt+F4 ends with exit code 3.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

e2e_build_tools
e2e_start_xvfb

e2e_program_name="$(basename "$exe")"
env ZQGFX=gdi "$e2e_source/cmake/wine-run.sh" "$exe" --log >/dev/full 2>"$e2e_work/program.log" &
e2e_runner_pid=$!
e2e_find_window
xdotool keydown a
e2e_expect_row 5 ' Scancodes: 30'
xdotool keyup a
e2e_expect_row 5 ' Scancodes: (keine)'
xdotool key alt+F4
e2e_expect_exit 3
e2e_expect_one_error_line '^klimperdetektor: cannot write the key log to standard output \(.*space.*\)'
echo PASS
