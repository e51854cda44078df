#!/usr/bin/env bash
# The OpenGL example's flip loop under Wine and Xvfb (Mesa's software
# renderer): frames per second of clear and present (buffer swap, keyboard
# state, message pump) on a 320 x 200 window. Each figure comes from two
# runs that differ only in their frame count, so that start-up and shutdown
# cancel out (the Wine runner starts a private X server for each run when
# no display is given); the median of a few pairs is printed.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
tools/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j2 --target opengl_clear >/dev/null
example="$root/build/win32/examples/opengl_clear.exe"

short=200
long="${ZQ_FRAMES:-20200}"
run_ns() {
  local start end
  start="$(date +%s%N)"
  cmake/wine-run.sh "$example" --frames "$1" >/dev/null 2>&1 || { echo "the example failed" >&2; exit 1; }
  end="$(date +%s%N)"
  echo $((end - start))
}

run_ns "$short" >/dev/null  # warms the prefix and the file cache
rates=()
for _ in 1 2 3; do
  a="$(run_ns "$short")"
  b="$(run_ns "$long")"
  rates+=("$(python3 -c "print(f'{($long - $short) / (($b - $a) / 1e9):.0f}')")")
done
median="$(printf '%s\n' "${rates[@]}" | sort -n | sed -n 2p)"
echo "OpenGL flip loop, 320x200: ${median} frames/s (median of ${rates[*]})"
