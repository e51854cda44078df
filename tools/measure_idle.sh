#!/usr/bin/env bash
# The program's CPU share while its window is open and nothing changes, per
# video driver, side by side: the time its threads spent on a processor
# over a fixed time, under Wine, with the Wine server's time over the same
# spell beside it (each system call the program makes there costs time
# there). One run is tools/measure_idle_run.sh.
#
#   tools/measure_idle.sh [-s seconds] [-r rounds] [-e exe] [driver ...]
#
# The drivers are ZQGFX values (default: GDI DirectX). A driver the program
# does not have is passed over by the program; the row then says which one
# was in use instead. With ZQ_IDLE_ARGS set (e.g. "--map"), each driver's
# plain run has a twin with those arguments, measured at the same time on
# an X server and Wine prefix of its own (the two prefixes swap every
# round): the machine's slow spells, which move a single run by tenths of a
# per cent, then fall on both. With more
# than one round, the runs are repeated and the means follow, with the
# difference ZQ_IDLE_ARGS makes per driver.
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
export ZQ_SOURCE_DIR="$measure_root" ZQ_BINARY_DIR="$measure_root/build/win32"

wineprefix="${ZQ_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/zq-wineprefix}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

percent() { awk -v ns="$1" -v s="$seconds" 'BEGIN { printf "%.2f", ns / (s * 1e7) }'; }

echo "Idle CPU over ${seconds} s per run, ${rounds} round(s), $(basename "$measure_exe") ($(stat -c %s "$measure_exe") bytes)"
[ -n "${ZQ_IDLE_ARGS:-}" ] && echo "Each run with ${ZQ_IDLE_ARGS} measured at the same time as the plain run above it."
printf '%-6s %-10s %-10s %-28s %10s %8s %12s %9s\n' round ZQGFX arguments "driver in use" "ms run" "% core" "wineserver" "% core"
declare -A program_sum server_sum
for round in $(seq 1 "$rounds"); do
  for driver in "${drivers[@]}"; do
    sync="$work/sync-$round-$driver"
    mkdir -p "$sync"
    peers=1
    [ -n "${ZQ_IDLE_ARGS:-}" ] && peers=2
    # The twins swap prefixes every round, so that neither side keeps one.
    plain_prefix="$wineprefix" with_prefix="$wineprefix-twin"
    ((round % 2 == 0)) && plain_prefix="$wineprefix-twin" with_prefix="$wineprefix"
    unset DISPLAY
    ZQ_WINEPREFIX="$plain_prefix" tools/measure_idle_run.sh "$measure_exe" "$seconds" "$sync" "$peers" "$driver" \
      >"$sync/plain" &
    plain_pid=$!
    if [ "$peers" -eq 2 ]; then
      # shellcheck disable=SC2086  # the arguments are meant to split
      ZQ_WINEPREFIX="$with_prefix" tools/measure_idle_run.sh "$measure_exe" "$seconds" "$sync" "$peers" \
        "$driver" $ZQ_IDLE_ARGS >"$sync/with" &
      wait $!
    fi
    wait "$plain_pid"
    for side in plain with; do
      [ -s "$sync/$side" ] || continue
      read -r ns server_ns used <"$sync/$side"
      arguments="-"
      [ "$side" = with ] && arguments="$ZQ_IDLE_ARGS"
      program_sum[$driver.$side]=$(( ${program_sum[$driver.$side]:-0} + ns ))
      server_sum[$driver.$side]=$(( ${server_sum[$driver.$side]:-0} + server_ns ))
      printf '%-6s %-10s %-10s %-28s %10d %8s %12d %9s\n' "$round" "$driver" "$arguments" "$used" \
        $((ns / 1000000)) "$(percent "$ns")" $((server_ns / 1000000)) "$(percent "$server_ns")"
    done
  done
done

[ "$rounds" -gt 1 ] || [ -n "${ZQ_IDLE_ARGS:-}" ] || exit 0
echo
echo "Means over ${rounds} round(s), % of a core:"
mean_percent() { percent "$(( ${1:-0} / rounds ))"; }
for driver in "${drivers[@]}"; do
  plain="$(mean_percent "${program_sum[$driver.plain]:-0}")"
  line="$(printf '%-10s plain %6s (wineserver %s)' "$driver" "$plain" "$(mean_percent "${server_sum[$driver.plain]:-0}")")"
  if [ -n "${ZQ_IDLE_ARGS:-}" ]; then
    with="$(mean_percent "${program_sum[$driver.with]:-0}")"
    line+="$(printf ', %s %6s (wineserver %s), difference %+.2f' "$ZQ_IDLE_ARGS" "$with" \
      "$(mean_percent "${server_sum[$driver.with]:-0}")" "$(awk -v a="$with" -v b="$plain" 'BEGIN { print a - b }')")"
  fi
  echo "$line"
done
