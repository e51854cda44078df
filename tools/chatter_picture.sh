#!/usr/bin/env bash
# Regenerates docs/klimperdetektor-chatter.png: the gap distribution of a
# report in which one key chatters (tools/chatter_report.cpp), and that key's
# strip of its own gaps, as headless Chromium shows them.
#   tools/chatter_picture.sh            # builds the native chatter_report first
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
cmake --preset native >/dev/null
cmake --build --preset native --target chatter_report >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
build/native/tools/chatter_report "$work/report.html"
# Only the distribution of the gaps and the chatter list with its strips:
# the page's own styles, the rest of the page hidden.
python3 - "$work/report.html" "$work/picture.html" <<'PY'
import re, sys
page = open(sys.argv[1], encoding="utf-8").read()
style = "".join(re.findall(r"<style>.*?</style>", page, re.S))
gap = re.search(r'<svg class="distribution" id="gaps-distribution".*?</svg>', page, re.S).group(0)
strip = re.search(r'<svg class="gap-strip".*?</svg>', page, re.S).group(0)
open(sys.argv[2], "w", encoding="utf-8").write(
    "<!DOCTYPE html><html><head><meta charset=\"utf-8\">" + style +
    "<style>body{max-width:40em}</style></head><body>" +
    "<p><b>E</b> (18): " + strip + "</p>" + gap + "</body></html>")
PY
timeout 120 chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --user-data-dir="$work/profile" \
  --disable-background-networking --disable-component-update --disable-sync --no-first-run \
  --window-size=800,600 --screenshot="$work/picture.png" "file://$work/picture.html" 2>/dev/null >/dev/null
convert "$work/picture.png" -trim -bordercolor white -border 12 "$root/docs/klimperdetektor-chatter.png"
echo "wrote docs/klimperdetektor-chatter.png"
