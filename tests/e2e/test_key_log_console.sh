#!/usr/bin/env bash
# --log without a graphics window: the page goes to the console as before,
# and standard error says plainly that nothing is logged.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

# A display that does not exist: Wine can open no window, the console takes
# over. Wine picks the display driver when a prefix's wineserver starts and keeps
# it for every later process of that server, so this run needs a server of
# its own and must not leave one without a display behind.
prefix="${ZQ_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/zq-wineprefix}"
WINEPREFIX="$prefix" wineserver -w 2>/dev/null
end_wineserver() {
  e2e_cleanup
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null
  WINEPREFIX="$prefix" wineserver -w 2>/dev/null
}
trap end_wineserver EXIT
e2e_start_program_with_args DISPLAY=:9999 -- "$exe" --log
for i in $(seq 1 100); do
  [ -s "$e2e_work/program.log" ] && e2e_stdout_text | grep -qx ' Scancodes: (keine)' && break
  kill -0 "$e2e_runner_pid" 2>/dev/null || e2e_fail "the program ended: $(cat "$e2e_work/program.log")"
  sleep 0.2
done
e2e_stdout_text | grep -qx ' Scancodes: (keine)' || e2e_fail "no page on the console"
grep -q '^klimperdetektor: --log: no graphics window could be opened; .*nothing is logged' \
  "$e2e_work/program.log" || e2e_fail "standard error: $(cat "$e2e_work/program.log")"
echo "ok: the page on the console, and on standard error: $(tr -d '\r' <"$e2e_work/program.log")"
echo PASS
