#!/usr/bin/env bash
# The program's CPU share while its window is open and nothing changes, per
# video driver, side by side: the utime + stime ticks of the program's own
# process (all its threads) in /proc over a fixed time, under Wine on a
# private X server. The Wine server's ticks over the same time are shown
# beside them: each system call the program makes there costs time there.
#
#   tools/measure_idle.sh [-s seconds] [-e exe] [driver ...]
#
# The drivers are ZQGFX values (default: GDI DirectX). A driver the program
# does not have is passed over by the program; the row then says which one
# was in use instead. With ZQ_IDLE_ARGS set (e.g. "--map"), each driver gets
# a second row: the program run with those arguments, beside the plain run.
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/measure_lib.sh

measure_value=20
measure_options s "$0 [-s seconds] [-e exe] [driver ...]" "$@"
seconds="$measure_value"
measure_program "$measure_exe_given"
measure_start_x

ticks_per_second="$(getconf CLK_TCK)"
wineprefix="${ZQ_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/zq-wineprefix}"

# utime + stime of one process, in clock ticks.
process_ticks() {
  local stat
  stat="$(cat "/proc/$1/stat" 2>/dev/null)" || { echo 0; return; }
  stat="${stat##*) }"  # the name may hold blanks; fields from the state on
  read -r -a fields <<<"$stat"
  echo $((fields[11] + fields[12]))
}

# The Wine server of our prefix works in a directory named server-DEV-INODE
# after the prefix directory.
wineserver_pid() {
  local dir pid
  dir="$(printf 'server-%x-%x' "$(stat -c %d "$wineprefix")" "$(stat -c %i "$wineprefix")")"
  for pid in $(pgrep -x 'wineserver(32|64)?'); do
    [ "$(basename "$(readlink "/proc/$pid/cwd" 2>/dev/null)")" = "$dir" ] && echo "$pid" && return
  done
}

percent() { awk -v t="$1" -v s="$seconds" -v hz="$ticks_per_second" 'BEGIN { printf "%.2f", 100 * t / (s * hz) }'; }

echo "Idle CPU over ${seconds} s, $(basename "$measure_exe") ($(stat -c %s "$measure_exe") bytes), ${ticks_per_second} ticks/s"
printf '%-10s %-10s %-28s %8s %8s %12s %9s\n' ZQGFX arguments "driver in use" ticks "% core" wineserver "% core"
runs=()
for driver in "${measure_drivers[@]}"; do
  runs+=("$driver|")
  [ -n "${ZQ_IDLE_ARGS:-}" ] && runs+=("$driver|$ZQ_IDLE_ARGS")
done
for run in "${runs[@]}"; do
  driver="${run%%|*}"
  arguments="${run#*|}"
  # shellcheck disable=SC2086  # the arguments are meant to split
  measure_start "$driver" $arguments
  server="$(wineserver_pid)"
  before="$(process_ticks "$measure_pid")"
  server_before="$( [ -n "$server" ] && process_ticks "$server" || echo 0)"
  sleep "$seconds"
  after="$(process_ticks "$measure_pid")"
  server_after="$( [ -n "$server" ] && process_ticks "$server" || echo 0)"
  ticks=$((after - before))
  server_ticks=$((server_after - server_before))
  printf '%-10s %-10s %-28s %8d %8s %12d %9s\n' "$driver" "${arguments:--}" "$measure_used" "$ticks" "$(percent "$ticks")" \
    "$server_ticks" "$(percent "$server_ticks")"
  measure_stop
done
