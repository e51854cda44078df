#!/usr/bin/env bash
# The HTML report in a real browser (headless Chromium): for every layout one
# SVG key per key of the layout, none overlapping, each drawn in the colour
# of its state (A tested, S chatter, Space stuck, Q marked defect, D held,
# the rest untested), each with a title; no script in the page; the page is
# valid HTML5 as tidy reads it; in greyscale the six states stay apart by
# shade or mark; the gap and hold distributions put the sample's record
# where a logarithmic axis does (bins, bar heights, the threshold line, the
# chatter part in the keys' chatter colour, short holds apart) and the
# chattering key has its strip; the rendered picture shows the states'
# colours; a full test prints on one A4 page, on two at most with chatter,
# in English and in German; the report in each language renders with its
# texts in that language and its numbers in the language's form.
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

# The sample's record (tests/support/report_sample.h): S's gaps of 4 ms are
# chatter at the threshold of 30 ms, the rest are not; S alone chattered.
gap_times="4000 4000 150000 150000 250000 250000"
chatter_times="4000 4000"
hold_times="90000 90000 90000 80000 80000 80000 80000 2000 12500000 70000"
threshold_us=30000
short_below_us=5623

# Reads the distributions back from the DOM lines of report_dom_check.html.
check_distributions() {
  local layout="$1" dom="$2"
  awk -v layout="$layout" -v gaps="$gap_times" -v chatter="$chatter_times" -v holds="$hold_times" \
      -v threshold="$threshold_us" -v short_below="$short_below_us" '
    function fail(message) { print layout ": " message; bad = 1 }
    function expected(times, lower, upper,    list, n, i, c) {
      n = split(times, list, " ")
      for (i = 1; i <= n; i++) if (list[i] + 0 >= lower && (upper < 0 || list[i] + 0 < upper)) c++
      return c + 0 }
    function log10(v) { return log(v) / log(10) }
    $1 == "keychatter" { key_chatter = $2 }
    $1 == "gaps" || $1 == "holds" {
      chart = $1; b = $2; n[chart]++
      if (b != n[chart] - 1) fail(chart " bin " b " out of order")
      lower[chart, b] = $3; upper[chart, b] = $4; count[chart, b] = $5; part[chart, b] = $6
      centre[chart, b] = $7; bottom[chart, b] = $8; height[chart, b] = $9; part_height[chart, b] = $10
      fill[chart, b] = $11; part_fill[chart, b] = $12
      if ($13 != "titled") fail(chart " bin " b " has no title") }
    $1 == "threshold" && $2 == "gaps" { threshold_x = $4; threshold_us = $3; thresholds++ }
    $1 == "strip" { strips++; strip_key = $2; strip_bars = $3; strip_lines = $4; strip_w = $5; strip_place = $7 }
    END {
      for (c = 1; c <= 2; c++) {
        chart = c == 1 ? "gaps" : "holds"; times = c == 1 ? gaps : holds
        if (n[chart] != 22) { fail(n[chart] + 0 " " chart " bins, expected 22"); continue }
        most = 0; tallest = 0
        for (b = 0; b < 22; b++) {
          want = expected(times, lower[chart, b], upper[chart, b])
          if (count[chart, b] != want) fail(chart " bin " b " counts " count[chart, b] ", the record has " want)
          if (count[chart, b] > most) { most = count[chart, b]; tallest = height[chart, b] }
        }
        # Heights in proportion to the counts, all bars on one axis.
        for (b = 0; b < 22; b++) {
          if ((height[chart, b] - count[chart, b] * tallest / most) ^ 2 > 0.25)
            fail(chart " bin " b ": height " height[chart, b] " for " count[chart, b] " of " most " (" tallest ")")
          if ((bottom[chart, b] - bottom[chart, 0]) ^ 2 > 0.25) fail(chart " bin " b " does not stand on the axis")
        }
        # Bins side by side, their left edges where a log axis puts their
        # lower times (0.1 ms at bin 1, 10 s at bin 21).
        slot = centre[chart, 2] - centre[chart, 1]
        left1 = centre[chart, 1] - slot / 2; left21 = centre[chart, 21] - slot / 2
        for (b = 1; b < 22; b++) {
          want_x = left1 + (left21 - left1) * log10(lower[chart, b] / 100) / 5
          if ((centre[chart, b] - slot / 2 - want_x) ^ 2 > 0.25)
            fail(chart " bin " b " at " centre[chart, b] - slot / 2 ", a log axis puts it at " want_x)
        }
        axis_left[chart] = left1; axis_right[chart] = left21; slots[chart] = slot
      }
      for (b = 0; b < 22; b++) {
        want = expected(chatter, lower["gaps", b], upper["gaps", b])
        if (part["gaps", b] != want) fail("gap bin " b " has " part["gaps", b] " chatter, the record " want)
        if (count["gaps", b] > 0 &&
            (part_height["gaps", b] - part["gaps", b] * height["gaps", b] / count["gaps", b]) ^ 2 > 0.25)
          fail("gap bin " b ": the chatter part is out of proportion")
        if (part_fill["gaps", b] != key_chatter)
          fail("gap bin " b ": chatter drawn in " part_fill["gaps", b] ", the keys in " key_chatter)
        if (fill["gaps", b] == key_chatter)
          fail("gap bin " b ": gaps that are not chatter drawn in the chatter colour")
        short = upper["holds", b] >= 0 && upper["holds", b] <= short_below
        if ((fill["holds", b] == fill["holds", 21]) == short) fail("hold bin " b ": short holds not drawn apart")
      }
      # The threshold line inside the bin of its time, where the log axis puts it.
      if (thresholds != 1) fail(thresholds + 0 " threshold lines on the gaps")
      if (threshold_us != threshold) fail("the threshold line stands for " threshold_us " us, the record " threshold)
      for (b = 1; b < 22; b++)
        if (lower["gaps", b] <= threshold && (upper["gaps", b] < 0 || threshold < upper["gaps", b])) tb = b
      left = centre["gaps", tb] - slots["gaps"] / 2
      if (!(threshold_x > left && threshold_x < left + slots["gaps"]))
        fail("threshold line at " threshold_x ", outside its bin " tb " (" left " to " left + slots["gaps"] ")")
      want_x = axis_left["gaps"] + (axis_right["gaps"] - axis_left["gaps"]) * log10(threshold / 100) / 5
      if ((threshold_x - want_x) ^ 2 > 0.25) fail("threshold line at " threshold_x ", the log axis puts it at " want_x)
      # One strip, for S, beside its entry in the chatter list.
      if (strips != 1 || strip_key != 31 || strip_place != "listed" || strip_bars < 1 || strip_lines != 1 ||
          strip_w <= 0)
        fail("chatter strips: " strips + 0 ", key " strip_key ", " strip_bars " bars, " strip_lines \
             " threshold lines, " strip_place)
      exit bad }' "$dom" || fail "$layout: the distributions are not where the record puts them"
  echo "ok: $layout: gaps and holds in their bins, in proportion, on a log axis; threshold in its bin; S's strip"
}

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
  check_distributions "$layout" "$work/keys.txt"
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

# A full test (every key pressed) prints on one A4 page; with chatter (and
# its strip) a second page is allowed.
printed_pages() {
  "$sample" iso "$work/$1.html" "$1" "${2:-en}" >/dev/null || fail "no $1 report written"
  browser --no-pdf-header-footer --print-to-pdf="$work/$1.pdf" "file://$work/$1.html" >/dev/null
  [ -s "$work/$1.pdf" ] || fail "no PDF printed of $1"
  grep -aq '/MediaBox \[0 0 594\.9[0-9]* 841\.9[0-9]*\]' "$work/$1.pdf" || fail "the page of $1 is not A4"
  grep -ao '/Count [0-9]*' "$work/$1.pdf" | head -n 1 | cut -d' ' -f2
}
for language in en de; do
  pages="$(printed_pages full-no-chatter $language)" || exit 1
  [ "$pages" = 1 ] || fail "the full report in $language without chatter prints on $pages pages"
  pages="$(printed_pages full $language)" || exit 1
  [ "$pages" -ge 1 ] && [ "$pages" -le 2 ] || fail "the full report in $language with chatter prints on $pages pages"
  echo "ok: a full test's report in $language prints on one page, with chatter on $pages"
done

# Each language's report as the browser reads it: the document's language,
# its headings, the result, the colour key and the lists in that language,
# and the milliseconds a person reads with its decimal mark. What a reader
# sees (the body's text) holds none of the other language's words.
declare -A said=(
  [en]='Keyboard test report|Result: open: 101 of 105 keys untested, 1 marked defect, 1 with chatter, 1 stuck|Gaps and holds|Keys pressed|S (31) 2×, smallest gap 4.000 ms|Space (57) held 12.500 s|defect (1)|chatter threshold 30 ms'
  [de]='Bericht des Tastaturtests|Ergebnis: offen: 101 von 105 Tasten ungetestet, 1 als defekt markiert, 1 mit Prellen, 1 hängend|Abstände und Haltezeiten|Gedrückte Tasten|S (31) 2×, kleinster Abstand 4,000 ms|Space (57) gehalten 12,500 s|defekt (1)|Prellschwelle 30 ms')
declare -A foreign=([en]='Ergebnis|Tasten|gehalten|Prellschwelle|kleinster' [de]='Result|keys|held|threshold|smallest| gaps')
for language in en de; do
  "$sample" iso "$work/$language.html" "$language" >/dev/null || fail "no report in $language written"
  browser --virtual-time-budget=2000 --dump-dom "file://$work/$language.html" >"$work/$language.dom"
  grep -q "<html lang=\"$language\">" "$work/$language.dom" || fail "$language: the rendered page is not lang=$language"
  # The text a reader sees: the body without its tags, entities as the browser wrote them.
  sed -n '/<body>/,$p' "$work/$language.dom" | sed -e 's/<[^>]*>//g' -e 's/&times;/×/g' >"$work/$language.txt"
  IFS='|' read -r -a parts <<<"${said[$language]}"
  for part in "${parts[@]}"; do
    grep -qF -- "$part" "$work/$language.txt" || fail "$language: the rendered page does not say '$part'"
  done
  IFS='|' read -r -a parts <<<"${foreign[$language]}"
  for part in "${parts[@]}"; do
    ! grep -qF -- "$part" "$work/$language.txt" || fail "$language: the rendered page says '$part': $(grep -F -- "$part" "$work/$language.txt" | head -n 2)"
  done
  echo "ok: the report in $language renders in $language: ${parts[*]} appear nowhere"
done
echo PASS
