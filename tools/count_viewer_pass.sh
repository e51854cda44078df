#!/usr/bin/env bash
# Instructions of one viewer pass (the page drawn on the Null screen, every
# code from 1 to 65535 asked through the routed key scan), counted by
# callgrind in the optimised native benchmark program, beside its bound of
# 60,000 and the figure before the scan; then the same pass with the
# keyboard map under the page (--map), and with the mouse over a pressed
# key's box (its figures on the status line), both to stay under 120,000;
# and with findings marked in their boxes (49 keys chattering, one defect,
# one stuck), to stay at or under 800,000.
#
#   tools/count_viewer_pass.sh [blitters_bench]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bench="${1:-$root/build/bench/bench/blitters_bench}"
out="$(mktemp)"
trap 'rm -f "$out" "$out.log"' EXIT

# One benchmark iteration is one call of viewer_draw_page; callgrind counts
# only inside it. Prints the instructions per pass of the benchmark $1.
count_pass() {
  valgrind --tool=callgrind --callgrind-out-file="$out" --toggle-collect='viewer_draw_page()' \
    "$bench" --benchmark_filter="^$1/" --benchmark_min_time=0.000001 >"$out.log" 2>&1
  local total iterations
  total=$(grep -E '^summary:|^totals:' "$out" | head -n 1 | awk '{print $2}')
  iterations=$(grep -E "^$1/" "$out.log" | awk '{print $(NF-1)}' | grep -E '^[0-9]+$' || echo 1)
  [ -n "$total" ] && [ "$iterations" -gt 0 ] || { cat "$out.log"; exit 1; }
  echo "$((total / iterations)) $iterations"
}

read -r plain plain_iterations < <(count_pass viewer_pass)
printf 'viewer pass (callgrind, native, Null screen): %s instructions per pass over %s pass(es); bound: 60000 (before the key scan: 612089)\n' \
  "$plain" "$plain_iterations"
read -r mapped mapped_iterations < <(count_pass viewer_pass_map)
printf 'viewer pass with the map (--map=ansi): %s instructions per pass over %s pass(es); bound: 120000 (before: 657038)\n' \
  "$mapped" "$mapped_iterations"
read -r hover hover_iterations < <(count_pass viewer_pass_map_hover)
printf 'viewer pass with the map and the mouse over a key: %s instructions per pass over %s pass(es); bound: 120000 (before: 662479)\n' \
  "$hover" "$hover_iterations"
read -r marks marks_iterations < <(count_pass viewer_pass_map_marks)
printf 'viewer pass with the map and 51 findings marked in their boxes: %s instructions per pass over %s pass(es); bound: 800000\n' \
  "$marks" "$marks_iterations"
