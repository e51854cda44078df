#!/usr/bin/env bash
# Regenerates docs/klimperdetektor-report.png: the HTML report of a fixed
# test (tests/support/report_sample.h, ISO map, every key pressed, one
# marked defect, one chattering, one stuck, D held) as headless Chromium
# shows it.
#   tools/report_picture.sh            # builds the native report_sample first
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
cmake --preset native >/dev/null
cmake --build --preset native --target report_sample >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
build/native/tests/report_sample iso "$work/report.html" full >/dev/null
timeout 120 chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --user-data-dir="$work/profile" \
  --window-size=1000,2400 --screenshot="$work/report.png" "file://$work/report.html" 2>/dev/null >/dev/null
# The page ends well above the window's bottom: cut the empty rest away.
convert "$work/report.png" -trim -bordercolor white -border 16 "$root/docs/klimperdetektor-report.png"
echo "wrote docs/klimperdetektor-report.png"
