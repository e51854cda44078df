#!/usr/bin/env bash
# Without the OpenGL library an OpenGL-mode screen cannot be opened: the
# example ends with the runtime's error number 1, no window is left open
# on the way, and nothing crashes.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"
example="${ZQ_OPENGL_EXAMPLE:-$(dirname "$exe")/examples/opengl_clear.exe}"
[ -f "$example" ] || e2e_fail "no example program at $example"
unset ZQGFX

e2e_start_xvfb
e2e_start_program "$example" WINEDLLOVERRIDES=opengl32=d
# Watch for a window while the program runs; the bound only keeps a hung
# program from hanging the run.
for i in $(seq 1 300); do
  kill -0 "$e2e_runner_pid" 2>/dev/null || break
  [ -z "$(xdotool search --name '^opengl_clear$' 2>/dev/null)" ] || e2e_fail "a window was opened"
  sleep 0.2
done
e2e_expect_exit 1
# Wine reports a program it could not start, or one that crashed, here.
[ ! -s "$e2e_work/program.log" ] || e2e_fail "the run reported: $(cat "$e2e_work/program.log")"
[ -z "$(xdotool search --name '^opengl_clear$' 2>/dev/null)" ] || e2e_fail "a window was left open"
echo "ok: no window was opened"
echo PASS
