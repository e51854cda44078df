#!/usr/bin/env bash
# Builds the optimised native benchmarks (the bench preset), runs them with
# JSON output into build/ and prints the blitters against SDL2, pixman and
# memcpy as ratios. ZQ_BENCH_DIR overrides the preset's build directory;
# extra arguments go to the benchmark program (e.g.
# --benchmark_filter=320x200). Each row also says whether it ran the AVX2
# path and whether it left the wide registers dirty; a conversion of ours
# that does is reported as "dirty" and the script exits with 3.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/tools/setup.sh"
build="${ZQ_BENCH_DIR:-$root/build/bench}"
json="$root/build/benchmarks.json"
mkdir -p "$root/build"

(cd "$root" && cmake --preset bench -B "$build" >/dev/null)
cmake --build "$build" -j2 --target blitters_bench >/dev/null

# The repetitions of all benchmarks run in a random order, each after a
# short warm-up: a slow spell of the shared machine then falls on a few
# repetitions of many rows, which the median passes over, instead of on
# every repetition of one row.
"$build/bench/blitters_bench" --benchmark_out="$json" --benchmark_out_format=json \
  --benchmark_enable_random_interleaving=true --benchmark_repetitions=15 --benchmark_min_time=0.05 \
  --benchmark_min_warmup_time=0.02 --benchmark_display_aggregates_only=true "$@" >/dev/null

status=0
python3 - "$json" <<'PY' || status=$?
import json, sys
from collections import defaultdict

data = json.load(open(sys.argv[1]))
# Every repetition is in the file; each row is told by its median and by
# its spread, the median distance of the repetitions from the median as a
# share of it, which a single disturbed repetition does not move.
samples = defaultdict(lambda: defaultdict(list))  # (conversion, size) -> implementation -> Mpix/s
# Rows whose timed loop left the wide registers dirty (the benchmark reads
# the state after each repetition and cleans it), rows that began with them
# dirty, and rows that ran the AVX2 path.
left_dirty = defaultdict(set)
began_dirty = set()
wide_rows = set()
context = data.get("context", {})
viewer_times = []
viewer_unit = "ns"
for b in data["benchmarks"]:
    if b.get("run_type") != "iteration":
        continue
    parts = b["run_name"].split("/")
    if parts[0] == "viewer_pass":
        viewer_times.append(b["real_time"])
        viewer_unit = b.get("time_unit", "ns")
        continue
    if len(parts) != 3 or "Mpix/s" not in b:
        continue
    conversion, implementation, size = parts
    samples[(conversion, size)][implementation].append(b["Mpix/s"])
    if b.get("wide_dirty"):
        left_dirty[(conversion, size)].add(implementation)
    if b.get("wide_dirty_before"):
        began_dirty.add(b["run_name"])
    if implementation == "ours" and b.get("label") == "avx2":
        wide_rows.add((conversion, size))

def median(values):
    ordered = sorted(values)
    middle = len(ordered) // 2
    return ordered[middle] if len(ordered) % 2 else (ordered[middle - 1] + ordered[middle]) / 2

rate = defaultdict(dict)    # (conversion, size) -> implementation -> median Mpix/s
spread = defaultdict(dict)  # the same -> median absolute deviation / median
for key, impls in samples.items():
    for implementation, values in impls.items():
        middle = median(values)
        rate[key][implementation] = middle
        spread[key][implementation] = median([abs(v - middle) for v in values]) / middle if middle else 0

def memcpy_for(conversion):
    target = conversion.split("_to_")[1]
    name = "memcpy_rgb24" if "24" in target else "memcpy_rgb32" if "32" in target else "memcpy_rgb565"
    return name

def show(value):
    return f"{value:8.0f}" if value else "       -"

# The run's resolution: the straight copies run the same function in the
# "ours" and "scalar" rows, so the gap between those two medians is what
# the machine's noise alone makes of one implementation. A row is behind
# only when the faster library's median is ahead of ours by more than that
# resolution or the repetitions' spread (the larger of the two rows'),
# whichever is larger; within it the two are level ("at").
resolution = 0
for conversion in ("rgb565_to_rgb565", "xrgb32_to_rgb32"):
    for (name, size), impls in rate.items():
        if name == conversion and impls.get("ours") and impls.get("ours_scalar"):
            a, b = impls["ours"], impls["ours_scalar"]
            resolution = max(resolution, abs(a - b) / max(a, b))

print(f"{'conversion':<20}{'size':>10}{'ours':>9}{'scalar':>9}{'sdl2':>9}{'pixman':>9}"
      f"{'memcpy':>9}{'ours/lib':>10}{'noise':>7}{'':>7}{'ours/memcpy':>12}{'path':>6}   (Mpix/s, medians)")
behind = []
counts = defaultdict(int)
for (conversion, size), impls in sorted(rate.items(), key=lambda kv: (kv[0][1] != "320x200", kv[0][0])):
    if conversion.startswith("memcpy"):
        continue
    ours = impls.get("ours")
    libraries = [k for k in ("sdl2", "pixman") if impls.get(k)]
    faster = max(libraries, key=lambda k: impls[k]) if libraries else None
    best = impls.get(faster) if faster else None
    limit = rate.get((memcpy_for(conversion), size), {}).get("memcpy")
    noise = max(resolution, spread[(conversion, size)].get("ours", 0), spread[(conversion, size)].get(faster, 0)) if faster else 0
    verdict = ""
    if ours and best:
        verdict = "ahead" if ours > best * (1 + noise) else "behind" if ours < best * (1 - noise) else "at"
        # A row that leaves the state dirty slows what runs after it, which
        # its own figure does not show: it fails whatever its speed.
        if "ours" in left_dirty[(conversion, size)]:
            verdict = "dirty"
        counts[verdict] += 1
        if verdict == "behind":
            behind.append((conversion, size, best / ours))
    vs_lib = f"{ours / best:10.2f}" if ours and best else "         -"
    vs_memcpy = f"{ours / limit:12.2f}" if ours and limit else "           -"
    print(f"{conversion:<20}{size:>10}{show(ours)}{show(impls.get('ours_scalar'))}{show(impls.get('sdl2'))}"
          f"{show(impls.get('pixman'))}{show(limit)}{vs_lib}{100 * noise:6.1f}%{verdict:>7}{vs_memcpy}"
          f"{'avx2' if (conversion, size) in wide_rows else '':>6}")
print(f"\nresolution (the same copy as ours and as scalar): {100 * resolution:.1f}%")
print(f"against the faster library: {counts['ahead']} ahead, {counts['at']} at (within the noise), "
      f"{counts['behind']} behind" + (f", {counts['dirty']} leave the wide registers dirty" if counts['dirty'] else ""))
path = context.get("wide_path", "unknown")
print(f"AVX2 path: {'used, ' + str(len(wide_rows)) + ' rows (path avx2)' if path == 'avx2' else 'not used (' + path + ')'}; "
      f"wide-register state read after each row: {'yes' if context.get('wide_state_check') == 'xgetbv' else 'no, the processor cannot report it'}")
for (conversion, size), impls in sorted(left_dirty.items()):
    if impls:
        print(f"  {conversion} {size}: left the wide registers dirty: {', '.join(sorted(impls))}")
if began_dirty:
    print(f"  began with the wide registers dirty (cleaned first): {', '.join(sorted(began_dirty))}")
if behind:
    print("behind the faster library:")
    for conversion, size, factor in behind:
        print(f"  {conversion} {size}: library {factor:.2f}x faster")
if viewer_times:
    print(f"\nviewer_pass/ours/null: {median(viewer_times):.0f} {viewer_unit} per page")
sys.exit(3 if counts["dirty"] else 0)
PY

# The viewer pass in instructions, which the shared machine's load does not
# move: one pass on the Null screen under callgrind.
"$root/tools/count_viewer_pass.sh" "$build/bench/blitters_bench"
exit "$status"
