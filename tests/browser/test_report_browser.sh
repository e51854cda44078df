#!/usr/bin/env bash
# The HTML report in a real browser (headless Chromium): for every layout one
# SVG key per key of the layout, none overlapping, each drawn in the colour
# of its state (A tested, S chatter, Space stuck, Q marked defect, D held,
# the rest untested), each with a title; no script in the page; the page is
# valid HTML5 as tidy reads it; in greyscale the six states stay apart by
# shade or mark; the rendered picture shows the states' colours; a full test
# prints on one A4 page.
#   test_report_browser.sh REPORT_SAMPLE_PROGRAM
set -uo pipefail
sample="$1"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
command -v chromium >/dev/null || fail "chromium is not installed (tools/setup.sh installs it)"
command -v tidy >/dev/null || fail "tidy is not installed (tools/setup.sh installs it)"
browser() {
  timeout 120 chromium --headless --no-sandbox --disable-gpu --allow-file-access-from-files \
    --user-data-dir="$work/profile" "$@" 2>/dev/null
}

declare -A colour=([untested]='rgb(85,85,85)' [tested]='rgb(85,255,85)' [held]='rgb(182,182,255)'
                   [chatter]='rgb(255,125,157)' [stuck]='rgb(170,85,0)' [defect]='rgb(190,0,255)')
declare -A expected=([30]=tested [31]=chatter [57]=stuck [16]=defect [32]=held)

for layout in ansi iso jis ansi-tkl iso-tkl; do
  count="$("$sample" "$layout" "$work/report.html")" || fail "$layout: no report written"
  # Any warning or error of tidy's HTML5 reading fails: the page must stand
  # as written in every browser, and print.
  problems="$(tidy -q -e "$work/report.html" 2>&1)"
  [ -z "$problems" ] || fail "$layout: the report is not clean HTML5: $(echo "$problems" | head -3)"
  cp "$here/report_dom_check.html" "$work/check.html"
  browser --virtual-time-budget=5000 --dump-dom "file://$work/check.html" >"$work/dom.html"
  sed -n '/<pre id="out">/,/<\/pre>/p' "$work/dom.html" | sed 's/<[^>]*>//g' >"$work/keys.txt"
  grep -qx 'scripts 0' "$work/keys.txt" || fail "$layout: the report has a script or was not read: $(head -3 "$work/keys.txt")"
  drawn="$(grep -c '^key ' "$work/keys.txt")"
  [ "$drawn" = "$count" ] || fail "$layout: $drawn keys drawn, the layout has $count"
  [ "$(grep '^key ' "$work/keys.txt" | cut -d' ' -f2 | sort -u | wc -l)" = "$count" ] ||
    fail "$layout: a key is drawn twice"
  read -r _ view_w view_h < <(grep '^view ' "$work/keys.txt")
  awk -v layout="$layout" -v vw="$view_w" -v vh="$view_h" '
    $1 == "key" { n++; x[n] = $5; y[n] = $6; w[n] = $7; h[n] = $8; k[n] = $2
      if ($9 != "titled") { print layout ": key " $2 " has no title"; bad = 1 }
      if ($5 < 0 || $6 < 0 || $5 + $7 > vw || $6 + $8 > vh || $7 <= 0 || $8 <= 0) {
        print layout ": key " $2 " outside the drawing"; bad = 1 } }
    END { for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++)
            if (x[i] < x[j] + w[j] && x[j] < x[i] + w[i] && y[i] < y[j] + h[j] && y[j] < y[i] + h[i]) {
              print layout ": keys " k[i] " and " k[j] " overlap"; bad = 1 }
          exit bad }' "$work/keys.txt" || fail "$layout: the drawing is wrong"
  while read -r _ key state fill _; do
    want="${expected[$key]:-untested}"
    [ "$state" = "$want" ] || fail "$layout: key $key is $state, expected $want"
    [ "$fill" = "${colour[$want]}" ] || fail "$layout: key $key ($want) drawn in $fill, expected ${colour[$want]}"
  done < <(grep '^key ' "$work/keys.txt")
  echo "ok: $layout: $count keys, each once, apart, titled, in its state's colour"
done

# Printed in black and white the six states stay apart: the ISO report
# rendered, turned into relative luminance, and each state's key and colour
# key swatch read from the pixels: the fill's grey (the most common value
# inside the box) and the mark, told by the dark runs along a line 6 pixels
# above the box's bottom (none plain, one the bar, two the cross, more the
# stripes). Any two states differ by 0.1 in grey or by their mark.
"$sample" iso "$work/report.html" >/dev/null || fail "no ISO report written"
cp "$here/report_dom_check.html" "$work/check.html"
browser --virtual-time-budget=5000 --dump-dom "file://$work/check.html" >"$work/dom.html"
sed -n '/<pre id="out">/,/<\/pre>/p' "$work/dom.html" | sed 's/<[^>]*>//g' >"$work/places.txt"
browser --hide-scrollbars --window-size=1000,3000 --screenshot="$work/print.png" "file://$work/report.html" >/dev/null
[ -s "$work/print.png" ] || fail "no picture rendered for the greyscale check"
convert "$work/print.png" -grayscale Rec709Luminance "$work/grey.png"
# grey, the fill's luminance, and the mark's runs of box x y w h.
measure() {
  local x=$1 y=$2 w=$3 h=$4
  convert "$work/grey.png" -crop "$((w - 6))x$((h - 6))+$((x + 3))+$((y + 3))" +repage -depth 16 txt:- |
    awk -v scan=$((h - 9)) -F'[,:() ]+' 'NR > 1 {
        v = $3 / 65535; n[int(v * 100 + 0.5)]++; if ($2 == scan) { row[$1] = v } }
      END { best = -1; for (k in n) if (n[k] > best) { best = n[k]; fill = k / 100 }
            runs = 0; dark = 0
            for (i = 0; i in row; i++) { d = row[i] < fill - 0.05; if (d && !dark) runs++; dark = d }
            printf "%.2f %d\n", fill, runs }'
}
mark_of() { case "$1" in 0) echo plain ;; 1) echo bar ;; 2) echo cross ;; *) echo stripes ;; esac; }
declare -A want_mark=([untested]=plain [tested]=plain [held]=plain [chatter]=stripes [stuck]=bar [defect]=cross)
declare -A grey mark
for state in untested tested held chatter stuck defect; do
  for kind in key swatch; do
    if [ $kind = key ]; then
      read -r x y w h < <(awk -v s=$state '$1 == "key" && $3 == s { print $10, $11, $12, $13; exit }' "$work/places.txt")
    else
      read -r x y w h < <(awk -v s=$state '$1 == "swatch" && $2 == s { print $3, $4, $5, $6; exit }' "$work/places.txt")
    fi
    [ -n "${h:-}" ] || fail "no $kind of the $state state on the page"
    read -r fill runs < <(measure "$x" "$y" "$w" "$h")
    [ "$(mark_of "$runs")" = "${want_mark[$state]}" ] ||
      fail "the $state $kind at $x,$y shows the mark '$(mark_of "$runs")' ($runs runs), not '${want_mark[$state]}'"
    [ $kind = key ] && { grey[$state]=$fill; mark[$state]=$(mark_of "$runs"); }
    x="" y="" w="" h=""
  done
done
for a in untested tested held chatter stuck defect; do
  for b in untested tested held chatter stuck defect; do
    [[ "$a" < "$b" ]] || continue
    apart="$(awk -v a="${grey[$a]}" -v b="${grey[$b]}" 'BEGIN { d = a - b; print ((d < 0 ? -d : d) >= 0.1) }')"
    [ "$apart" = 1 ] || [ "${mark[$a]}" != "${mark[$b]}" ] ||
      fail "in grey $a (${grey[$a]}) and $b (${grey[$b]}) are one shade and the same mark"
  done
done
echo "ok: in greyscale every state apart by 0.1 or a mark: $(for s in untested tested held chatter stuck defect; do printf '%s %s %s; ' $s "${grey[$s]}" "${mark[$s]}"; done)"

# The rendered picture carries the states' colours.
browser --window-size=1000,900 --screenshot="$work/report.png" "file://$work/report.html" >/dev/null
[ -s "$work/report.png" ] || fail "no picture rendered"
for state in defect stuck chatter tested; do
  rgb="${colour[$state]#rgb}"
  pixels="$(convert "$work/report.png" -fill black +opaque "rgb$rgb" -fill white -opaque "rgb$rgb" \
            -format '%[fx:int(mean*w*h)]' info:)"
  [ "$pixels" -gt 100 ] || fail "the picture shows $pixels pixels of the $state colour"
done
echo "ok: the rendered picture shows the defect, stuck, chatter and tested colours"

# A full test (every key pressed) prints on one A4 page.
"$sample" iso "$work/full.html" full >/dev/null || fail "no full report written"
browser --no-pdf-header-footer --print-to-pdf="$work/full.pdf" "file://$work/full.html" >/dev/null
[ -s "$work/full.pdf" ] || fail "no PDF printed"
pages="$(grep -ao '/Count [0-9]*' "$work/full.pdf" | head -n 1 | cut -d' ' -f2)"
grep -aq '/MediaBox \[0 0 594\.9[0-9]* 841\.9[0-9]*\]' "$work/full.pdf" || fail "the page is not A4"
[ "$pages" = 1 ] || fail "the full report prints on $pages pages"
echo "ok: a full test's report prints on one page"
echo PASS
