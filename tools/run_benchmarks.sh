#!/usr/bin/env bash
# Builds the optimised native benchmarks (the bench preset), runs them with
# JSON output into build/ and prints the blitters against SDL2, pixman and
# memcpy as ratios. ZQ_BENCH_DIR overrides the preset's build directory;
# extra arguments go to the benchmark program (e.g.
# --benchmark_filter=320x200).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/tools/setup.sh"
build="${ZQ_BENCH_DIR:-$root/build/bench}"
json="$root/build/benchmarks.json"
mkdir -p "$root/build"

(cd "$root" && cmake --preset bench -B "$build" >/dev/null)
cmake --build "$build" -j2 --target blitters_bench >/dev/null

"$build/bench/blitters_bench" --benchmark_out="$json" --benchmark_out_format=json \
  --benchmark_repetitions=3 --benchmark_report_aggregates_only=true --benchmark_min_time=0.2 "$@" >/dev/null

python3 - "$json" <<'PY'
import json, sys
from collections import defaultdict

data = json.load(open(sys.argv[1]))
rate = defaultdict(dict)   # (conversion, size) -> implementation -> Mpix/s (median)
viewer = None
for b in data["benchmarks"]:
    if b.get("aggregate_name", "median") != "median":
        continue
    parts = b["run_name"].split("/")
    if parts[0] == "viewer_pass":
        viewer = b
        continue
    if len(parts) != 3 or "Mpix/s" not in b:
        continue
    conversion, implementation, size = parts
    rate[(conversion, size)][implementation] = b["Mpix/s"]

def memcpy_for(conversion):
    target = conversion.split("_to_")[1]
    name = "memcpy_rgb24" if "24" in target else "memcpy_rgb32" if "32" in target else "memcpy_rgb565"
    return name

def show(value):
    return f"{value:8.0f}" if value else "       -"

print(f"{'conversion':<20}{'size':>10}{'ours':>9}{'scalar':>9}{'sdl2':>9}{'pixman':>9}"
      f"{'memcpy':>9}{'ours/lib':>10}{'ours/memcpy':>12}   (Mpix/s, medians)")
behind = []
for (conversion, size), impls in sorted(rate.items(), key=lambda kv: (kv[0][1] != "320x200", kv[0][0])):
    if conversion.startswith("memcpy"):
        continue
    ours = impls.get("ours")
    libraries = [impls.get(k) for k in ("sdl2", "pixman") if impls.get(k)]
    best = max(libraries) if libraries else None
    limit = rate.get((memcpy_for(conversion), size), {}).get("memcpy")
    vs_lib = f"{ours / best:10.2f}" if ours and best else "         -"
    vs_memcpy = f"{ours / limit:12.2f}" if ours and limit else "           -"
    print(f"{conversion:<20}{size:>10}{show(ours)}{show(impls.get('ours_scalar'))}{show(impls.get('sdl2'))}"
          f"{show(impls.get('pixman'))}{show(limit)}{vs_lib}{vs_memcpy}")
    if ours and best and ours < best:
        behind.append((conversion, size, best / ours))
if behind:
    print("\nbehind the faster library:")
    for conversion, size, factor in behind:
        print(f"  {conversion} {size}: library {factor:.2f}x faster")
if viewer:
    unit = viewer.get("time_unit", "ns")
    print(f"\nviewer_pass/ours/null: {viewer['real_time']:.0f} {unit} per page")
PY

# The viewer pass in instructions, which the shared machine's load does not
# move: one pass on the Null screen under callgrind.
"$root/tools/count_viewer_pass.sh" "$build/bench/blitters_bench"
