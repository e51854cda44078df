#!/usr/bin/env bash
# The real program with ZQGFX=null: the screen exists only in memory and the
# viewer keeps running its loop until it is ended from outside.
set -euo pipefail
exe="$1"
runner="$(dirname "$0")/../../cmake/wine-run.sh"

ZQGFX=null "$runner" "$exe" >/dev/null 2>&1 &
runner_pid=$!
sleep 4
pid="$(pgrep -n -x klimperdetektor || true)"
if [ -z "$pid" ] || ! kill -0 "$runner_pid" 2>/dev/null; then
  echo "FAIL: the viewer did not keep running"
  exit 1
fi
# It sleeps 10 ms a pass instead of spinning: report the CPU time it used.
ticks="$(awk '{print $14 + $15}' "/proc/$pid/stat")"
echo "cpu ticks after 4 s: $ticks (of $((4 * $(getconf CLK_TCK))) possible)"
kill "$pid" 2>/dev/null || true
for _ in $(seq 50); do kill -0 "$runner_pid" 2>/dev/null || break; sleep 0.1; done
kill "$runner_pid" 2>/dev/null || true
echo "PASS"
