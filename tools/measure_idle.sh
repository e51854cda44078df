#!/usr/bin/env bash
# The program's CPU share while its window is open and nothing changes, per
# video driver, side by side: the time its threads spent on a processor
# (from /proc/PID/task/*/schedstat, in nanoseconds, not sampled at the
# clock tick) over a fixed time, under Wine on a private X server. The Wine
# server's time over the same spell is shown beside it: each system call
# the program makes there costs time there.
#
#   tools/measure_idle.sh [-s seconds] [-r rounds] [-e exe] [driver ...]
#
# The drivers are ZQGFX values (default: GDI DirectX). A driver the program
# does not have is passed over by the program; the row then says which one
# was in use instead. With ZQ_IDLE_ARGS set (e.g. "--map"), each driver gets
# a second row: the program run with those arguments, right after the plain
# run. With more than one round, the rows run again in the same order and
# the means follow, with ZQ_IDLE_ARGS's cost over the plain run per driver:
# the machine's slow spells then fall on both sides.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
source tools/measure_lib.sh

seconds=20
rounds=1
exe_given=""
while getopts "s:r:e:" option; do
  case "$option" in
    s) seconds="$OPTARG" ;;
    r) rounds="$OPTARG" ;;
    e) exe_given="$OPTARG" ;;
    *) echo "usage: $0 [-s seconds] [-r rounds] [-e exe] [driver ...]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
[[ "$seconds" =~ ^[1-9][0-9]*$ && "$rounds" =~ ^[1-9][0-9]*$ ]] ||
  { echo "seconds and rounds must be positive whole numbers" >&2; exit 2; }
drivers=("$@")
[ ${#drivers[@]} -gt 0 ] || drivers=(GDI DirectX)
measure_program "$exe_given"
measure_start_x

wineprefix="${ZQ_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/zq-wineprefix}"

# "TID NANOSECONDS" per thread of a process, the time each spent running.
thread_times() {
  local task
  for task in /proc/"$1"/task/*; do
    read -r ns _ <"$task/schedstat" 2>/dev/null && echo "${task##*/} $ns"
  done
}

# Nanoseconds the process's threads ran between two thread_times lists: a
# thread that came later counts whole, one that ended is not seen (an idle
# program keeps its threads).
ran_between() {
  awk 'NR == FNR { before[$1] = $2; next } { total += $2 - (($1 in before) ? before[$1] : 0) }
       END { printf "%d", total }' <(echo "$1") <(echo "$2")
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

percent() { awk -v ns="$1" -v s="$seconds" 'BEGIN { printf "%.2f", ns / (s * 1e7) }'; }

echo "Idle CPU over ${seconds} s per run, ${rounds} round(s), $(basename "$measure_exe") ($(stat -c %s "$measure_exe") bytes)"
printf '%-6s %-10s %-10s %-28s %10s %8s %12s %9s\n' round ZQGFX arguments "driver in use" "ms run" "% core" "wineserver" "% core"
runs=()
for driver in "${drivers[@]}"; do
  runs+=("$driver|")
  [ -n "${ZQ_IDLE_ARGS:-}" ] && runs+=("$driver|$ZQ_IDLE_ARGS")
done
declare -A program_sum server_sum
for round in $(seq 1 "$rounds"); do
  for run in "${runs[@]}"; do
    driver="${run%%|*}"
    arguments="${run#*|}"
    # shellcheck disable=SC2086  # the arguments are meant to split
    measure_start "$driver" $arguments
    server="$(wineserver_pid)"
    before="$(thread_times "$measure_pid")"
    server_before="$( [ -n "$server" ] && thread_times "$server")"
    sleep "$seconds"
    after="$(thread_times "$measure_pid")"
    server_after="$( [ -n "$server" ] && thread_times "$server")"
    ns="$(ran_between "$before" "$after")"
    server_ns="$(ran_between "$server_before" "$server_after")"
    program_sum[$run]=$(( ${program_sum[$run]:-0} + ns ))
    server_sum[$run]=$(( ${server_sum[$run]:-0} + server_ns ))
    printf '%-6s %-10s %-10s %-28s %10d %8s %12d %9s\n' "$round" "$driver" "${arguments:--}" "$measure_used" \
      $((ns / 1000000)) "$(percent "$ns")" $((server_ns / 1000000)) "$(percent "$server_ns")"
    measure_stop
  done
done

[ "$rounds" -gt 1 ] || [ -n "${ZQ_IDLE_ARGS:-}" ] || exit 0
echo
echo "Means over ${rounds} round(s), % of a core:"
mean_percent() { percent "$(( $1 / rounds ))"; }
for driver in "${drivers[@]}"; do
  plain_run="$driver|"
  plain="$(mean_percent "${program_sum[$plain_run]}")"
  line="$(printf '%-10s plain %6s (wineserver %s)' "$driver" "$plain" "$(mean_percent "${server_sum[$plain_run]}")")"
  if [ -n "${ZQ_IDLE_ARGS:-}" ]; then
    other_run="$driver|$ZQ_IDLE_ARGS"
    with="$(mean_percent "${program_sum[$other_run]}")"
    line+="$(printf ', %s %6s (wineserver %s), difference %+.2f' "$ZQ_IDLE_ARGS" "$with" \
      "$(mean_percent "${server_sum[$other_run]}")" "$(awk -v a="$with" -v b="$plain" 'BEGIN { print a - b }')")"
  fi
  echo "$line"
done
