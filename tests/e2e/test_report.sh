#!/usr/bin/env bash
# The report at the close (--report): on DirectX an HTML page in English
# (the system's language here) and on GDI a text file in German (--lang de),
# each with the keys pressed, the key marked defect by a click and the key
# held past --stuck-s as they happened, and the label;
# standard output with "-"; a report that cannot be written (/dev/full) is
# one line on standard error and exit code 3.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

e2e_build_tools
e2e_start_xvfb

label='Prüfling <7> & "B"'
expect_in() {  # file, fixed text, what it is
  e2e_text "$1" | grep -qF -- "$2" || e2e_fail "$3: no '$2' in $(cat "$1")"
}
# The boxes of A and S on the ANSI map under a page of seven rows
# (keys/map/key_map_geometry.cpp).
# The defect colour is read on A's top edge: the cross of the mark runs
# through the middle.
a_x=31
s_x=45
key_y=131
edge_y=125
defect="190,0,255"   # palette 35
stuck="170,85,0"     # palette 6

for run in "directx report.html en" "gdi report.txt de"; do
  read -r driver name language <<<"$run"
  report="$e2e_work/$name"
  e2e_start_program_with_args ZQGFX=$driver -- "$exe" --map=ansi --stuck-s 2 --report "$report" --label "$label" \
    $([ "$language" = de ] && echo --lang de)
  e2e_find_window
  e2e_expect_driver "$driver"
  if [ "$language" = de ]; then
    counts=(' Getestet: 0/104, max. 0 gehalten' ' Getestet: 3/104, max. 1 gehalten')
  else
    counts=(' Tested: 0/104, up to 0 held' ' Tested: 3/104, up to 1 held')
  fi
  e2e_expect_row 9 "${counts[0]}"
  # A pressed, then marked defect; S held past the stuck time; D twice.
  xdotool key a
  xdotool mousemove --window "$e2e_window" $a_x $key_y click 1
  e2e_expect_pixel $a_x $edge_y "$defect"
  xdotool keydown s
  sleep 2.3
  e2e_expect_pixel $s_x $key_y "$stuck"
  xdotool keyup s
  xdotool key --delay 150 d d
  xdotool mousemove --window "$e2e_window" 300 20
  e2e_expect_row 9 "${counts[1]}"
  e2e_request_close
  e2e_expect_exit 0
  [ -s "$report" ] || e2e_fail "$driver: no report written to $report"
  if [ "$name" = report.html ]; then
    expect_in "$report" '<!DOCTYPE html>' "$driver"
    expect_in "$report" 'Prüfling &lt;7&gt; &amp; &quot;B&quot;' "$driver: the label escaped"
    expect_in "$report" 'Result: open: 101 of 104 keys untested, 1 marked defect, 1 stuck</p>' "$driver"
    expect_in "$report" 'data-key="30" data-state="defect"' "$driver: A"
    expect_in "$report" 'data-key="31" data-state="stuck"' "$driver: S"
    expect_in "$report" 'data-key="32" data-state="tested"' "$driver: D"
    expect_in "$report" '<dt>Marked defect</dt><dd>A (30)</dd>' "$driver"
    expect_in "$report" '<dt>Stuck</dt><dd>S (31) held 2.' "$driver"
    expect_in "$report" '<tr><td>D</td><td>32</td><td>2</td>' "$driver: D pressed twice"
    [ "$(grep -o 'data-state=' "$report" | wc -l)" = 104 ] || e2e_fail "$driver: not 104 keys drawn"
  else
    expect_in "$report" "Bezeichnung: $label" "$driver"
    expect_in "$report" 'Layout der Karte: ansi' "$driver"
    expect_in "$report" 'Ergebnis: offen: 101 von 104 Tasten ungetestet, 1 als defekt markiert, 1 hängend' "$driver"
    expect_in "$report" 'System: Windows ' "$driver: the system's version"
    expect_in "$report" 'Als defekt markiert: A (30)' "$driver"
    # German milliseconds with a decimal comma.
    e2e_text "$report" | grep -qE '^Hängend: S \(31\) gehalten [2-9],[0-9]{3} s$' || e2e_fail "$driver: no stuck S: $(cat "$report")"
    expect_in "$report" '  A                 30        1 ' "$driver: A pressed once"
    expect_in "$report" '  D                 32        2 ' "$driver: D pressed twice"
  fi
  echo "ok: $driver: $name written at the close in $language: the keys pressed, A marked defect, S stuck, the label"
done

# "-": the text report on standard output.
e2e_start_program_with_args ZQGFX=gdi -- "$exe" --report -
e2e_find_window
xdotool key z
e2e_request_close
e2e_expect_exit 0
e2e_stdout_text | grep -qx 'Keyboard test report' || e2e_fail "no report on standard output: $(e2e_stdout_text)"
e2e_stdout_text | grep -q '^  Z  *44  *1 ' || e2e_fail "Z not in the report: $(e2e_stdout_text)"
echo "ok: the report on standard output, the map counting though not shown"

# A report that cannot be written: one line, exit code 3.
e2e_start_program_with_args ZQGFX=gdi -- "$exe" --report /dev/full
e2e_find_window
xdotool key alt+F4
e2e_expect_exit 3
e2e_expect_one_error_line '^klimperdetektor: cannot write the report to /dev/full \(.*space.*\)$'
echo PASS
