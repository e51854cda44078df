#!/usr/bin/env bash
# Started as Explorer starts it (`wine start /unix` gives a console program a
# console window of its own, as Explorer does): the graphics window is the
# one visible window of the program, and closing it ends the program with
# exit code 0, which `start /wait` passes on.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"
source "$e2e_source/cmake/wine-env.sh"

e2e_build_tools
e2e_start_xvfb

e2e_program_name="$(basename "$exe")"
wine start /wait /unix "$exe" </dev/null >"$e2e_work/program.log" 2>&1 &
e2e_runner_pid=$!
e2e_find_window
e2e_expect_client_size
e2e_expect_row 5 ' Scancodes: (keine)'

# The console window (titled with the program's path) shows for a moment
# before the program can hide it; Wine's own helper windows have no title.
visible=""
for i in $(seq 1 50); do
  visible="$(xdotool search --onlyvisible --name '.' 2>/dev/null | sort)"
  [ "$visible" = "$e2e_window" ] && break
  sleep 0.2
done
if [ "$visible" != "$e2e_window" ]; then
  for window in $visible; do echo "  visible: '$(xdotool getwindowname "$window")' $(xdotool getwindowgeometry "$window" | tr '\n' ' ')"; done
  e2e_fail "more visible windows than the graphics window"
fi
echo "ok: the graphics window is the one visible window"

xdotool keydown a
e2e_expect_row 5 ' Scancodes: 30'
xdotool keyup a
e2e_request_close
e2e_expect_exit 0
echo PASS
