#!/usr/bin/env bash
# The real program with ZQGFX=null: the screen exists only in memory and the
# viewer keeps running its loop, sleeping between passes, until it is ended
# from outside.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

e2e_start_program "$exe" ZQGFX=null
sleep 5
pid="$(e2e_program_pid)"
[ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || e2e_fail "the viewer did not keep running: $(cat "$e2e_work/program.log")"
# Report the processor time the loop used: it sleeps 10 ms a pass instead of
# spinning a core.
read -r -a fields <"/proc/$pid/stat"
echo "processor ticks used in 5 s: $((fields[13] + fields[14])) of $((5 * $(getconf CLK_TCK)))"
echo PASS
