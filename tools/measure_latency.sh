#!/usr/bin/env bash
# Key to pixels, per video driver: real presses of A through the X test
# extension on a private X server, each timed until the window's text row 5
# changes (tools/key_latency.c), then released.
#
#   tools/measure_latency.sh [-n presses] [-e exe] [driver ...]
#
# The drivers are ZQGFX values (default: GDI DirectX); a driver the program
# does not have is reported with the one it fell back to.
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/measure_lib.sh

measure_value=60
measure_options n "$0 [-n presses] [-e exe] [driver ...]" "$@"
presses="$measure_value"
measure_program "$measure_exe_given"
measure_start_x
tool="$e2e_work/key_latency"
gcc -O2 -o "$tool" tools/key_latency.c -lXtst -lX11 || exit 1

echo "Key to pixels, $(basename "$measure_exe"), $presses presses of A"
for driver in "${measure_drivers[@]}"; do
  measure_start "$driver"
  printf '%-10s %-28s ' "$driver" "$measure_used"
  "$tool" "$e2e_window" "$presses"
  measure_stop
done
