#!/usr/bin/env bash
# The program's CPU share while its window is open and nothing changes, per
# video driver, beside the floor that its 10 ms cadence sets: the time the
# threads spent on a processor over a fixed time, under Wine, with the Wine
# server's time over the same spell beside it (each system call a program
# makes there costs time there). One run is tools/measure_idle_run.sh.
#
#   tools/measure_idle.sh [-s seconds] [-r rounds] [-e exe] [-b base_exe] [-t] [driver ...]
#
# The drivers are ZQGFX values (default: GDI DirectX). A driver the program
# does not have is passed over by the program; the row then says which one
# was in use instead. Every driver's run, and the idle floor
# (tools/idle_floor.cpp: one window, one thread, every 10 ms a message pump,
# the keyboard state read and a redraw only when a key changed), run at the
# same time, each on an X server and Wine prefix of its own (the prefixes
# move on by one every round): the machine's slow spells, which move a single
# run by tenths of a per cent, then fall on all of them, and the ratio to
# the floor is the figure. With ZQ_IDLE_ARGS set (e.g. "--map"), each
# driver's plain run has a twin with those arguments, measured at the same
# time. With -b, each driver's plain run has a twin of another build of the
# program (main's, say), measured at the same time: the difference between
# two builds without the machine's slow spells. -t prints each thread's
# share below its run. With more than one
# round, the runs are repeated and the means follow.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
source tools/measure_lib.sh

seconds=20
rounds=1
exe_given=""
base_exe=""
per_thread=0
while getopts "s:r:e:b:t" option; do
  case "$option" in
    s) seconds="$OPTARG" ;;
    r) rounds="$OPTARG" ;;
    e) exe_given="$OPTARG" ;;
    b) base_exe="$OPTARG" ;;
    t) per_thread=1 ;;
    *) echo "usage: $0 [-s seconds] [-r rounds] [-e exe] [-b base_exe] [-t] [driver ...]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
[[ "$seconds" =~ ^[1-9][0-9]*$ && "$rounds" =~ ^[1-9][0-9]*$ ]] ||
  { echo "seconds and rounds must be positive whole numbers" >&2; exit 2; }
drivers=("$@")
[ ${#drivers[@]} -gt 0 ] || drivers=(GDI DirectX)
measure_program "$exe_given"
measure_floor_program
export ZQ_SOURCE_DIR="$measure_root" ZQ_BINARY_DIR="$measure_root/build/win32"

wineprefix="${ZQ_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/zq-wineprefix}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

percent() { awk -v ns="$1" -v s="$seconds" 'BEGIN { printf "%.2f", ns / (s * 1e7) }'; }

[ -z "$base_exe" ] || [ -f "$base_exe" ] || { echo "no base program $base_exe" >&2; exit 2; }

# The runs of one round: "NAME SIDE" (NAME a driver or "floor", SIDE plain,
# with: with ZQ_IDLE_ARGS, or base: the base program).
runs=()
for driver in "${drivers[@]}"; do
  runs+=("$driver plain")
  [ -n "${ZQ_IDLE_ARGS:-}" ] && runs+=("$driver with")
  [ -n "$base_exe" ] && runs+=("$driver base")
done
runs+=("floor plain")

echo "Idle CPU over ${seconds} s per run, ${rounds} round(s), $(basename "$measure_exe") ($(stat -c %s "$measure_exe") bytes) beside the idle floor, all at the same time"
[ -n "${ZQ_IDLE_ARGS:-}" ] && echo "Each run with ${ZQ_IDLE_ARGS} measured at the same time as the plain run above it."
[ -n "$base_exe" ] && echo "Each driver also runs $base_exe ($(stat -c %s "$base_exe") bytes) at the same time: the base rows."
printf '%-6s %-10s %-10s %-28s %10s %8s %12s %9s %9s\n' round ZQGFX arguments "driver in use" "ms run" "% core" \
  "wineserver" "% core" "total %"
declare -A program_sum server_sum
for round in $(seq 1 "$rounds"); do
  sync="$work/sync-$round"
  mkdir -p "$sync"
  unset DISPLAY
  index=0
  pids=()
  for run in "${runs[@]}"; do
    read -r name side <<<"$run"
    # Each run a prefix of its own, moved on every round so that none keeps one.
    slot=$(((index + round - 1) % ${#runs[@]}))
    prefix="$wineprefix"
    [ "$slot" -gt 0 ] && prefix="$wineprefix-$slot"
    exe="$measure_exe"
    [ "$name" = floor ] && exe="$measure_floor_exe"
    [ "$side" = base ] && exe="$base_exe"
    arguments=()
    # shellcheck disable=SC2206  # the arguments are meant to split
    [ "$side" = with ] && arguments=($ZQ_IDLE_ARGS)
    ZQ_WINEPREFIX="$prefix" ZQ_IDLE_THREADS="$sync/threads-$index" tools/measure_idle_run.sh "$exe" "$seconds" \
      "$sync" "${#runs[@]}" "$name" "${arguments[@]}" >"$sync/result-$index" &
    pids+=($!)
    index=$((index + 1))
  done
  wait "${pids[@]}"
  index=0
  for run in "${runs[@]}"; do
    read -r name side <<<"$run"
    result="$sync/result-$index"
    index=$((index + 1))
    [ -s "$result" ] || { echo "round $round: no result for $name $side" >&2; continue; }
    read -r ns server_ns used <"$result"
    arguments="-"
    [ "$side" = with ] && arguments="$ZQ_IDLE_ARGS"
    [ "$side" = base ] && arguments="(base)"
    program_sum[$name.$side]=$(( ${program_sum[$name.$side]:-0} + ns ))
    server_sum[$name.$side]=$(( ${server_sum[$name.$side]:-0} + server_ns ))
    printf '%-6s %-10s %-10s %-28s %10d %8s %12d %9s %9s\n' "$round" "$name" "$arguments" "$used" \
      $((ns / 1000000)) "$(percent "$ns")" $((server_ns / 1000000)) "$(percent "$server_ns")" \
      "$(percent $((ns + server_ns)))"
    if [ "$per_thread" = 1 ] && [ -s "$sync/threads-$((index - 1))" ]; then
      while read -r tid thread_ns; do
        printf '         thread %-8s %8.2f %% core\n' "$tid" "$(percent "$thread_ns")"
      done <"$sync/threads-$((index - 1))"
    fi
  done
done

echo
echo "Means over ${rounds} round(s), % of a core; ratio: program and Wine server against the floor's"
mean_percent() { percent "$(( ${1:-0} / rounds ))"; }
floor_total=$(( ${program_sum[floor.plain]:-0} + ${server_sum[floor.plain]:-0} ))
ratio() { awk -v a="$1" -v b="$floor_total" 'BEGIN { if (b > 0) printf "%.2fx", a / b; else printf "-" }'; }
printf '%-10s program %6s  wineserver %6s  total %6s\n' floor "$(mean_percent "${program_sum[floor.plain]:-0}")" \
  "$(mean_percent "${server_sum[floor.plain]:-0}")" "$(mean_percent "$floor_total")"
for driver in "${drivers[@]}"; do
  for side in plain with base; do
    [ "$side" = with ] && [ -z "${ZQ_IDLE_ARGS:-}" ] && continue
    [ "$side" = base ] && [ -z "$base_exe" ] && continue
    total=$(( ${program_sum[$driver.$side]:-0} + ${server_sum[$driver.$side]:-0} ))
    label="$driver"
    [ "$side" = with ] && label="$driver $ZQ_IDLE_ARGS"
    [ "$side" = base ] && label="$driver base"
    printf '%-10s program %6s  wineserver %6s  total %6s  ratio %s\n' "$label" \
      "$(mean_percent "${program_sum[$driver.$side]:-0}")" "$(mean_percent "${server_sum[$driver.$side]:-0}")" \
      "$(mean_percent "$total")" "$(ratio "$total")"
  done
done
