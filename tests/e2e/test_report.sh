#!/usr/bin/env bash
# The report at the close (--report): on DirectX an HTML page and on GDI a
# text file, each with the keys pressed as they happened and the label;
# standard output with "-"; a report that cannot be written (/dev/full) is
# one line on standard error and exit code 3.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

e2e_build_tools
e2e_start_xvfb

label='Prüfling <7> & "B"'
expect_in() {  # file, fixed text, what it is
  tr -d '\r' <"$1" | grep -qF -- "$2" || e2e_fail "$3: no '$2' in $(cat "$1")"
}

for run in "directx report.html" "gdi report.txt"; do
  read -r driver name <<<"$run"
  report="$e2e_work/$name"
  e2e_start_program_with_args ZQGFX=$driver -- "$exe" --map=iso --report "$report" --label "$label"
  e2e_find_window
  e2e_expect_driver "$driver"
  e2e_expect_row 9 ' Getestet: 0/105, max. 0 gehalten'
  xdotool key --delay 150 a s s
  e2e_expect_row 9 ' Getestet: 2/105, max. 1 gehalten'
  e2e_request_close
  e2e_expect_exit 0
  [ -s "$report" ] || e2e_fail "$driver: no report written to $report"
  if [ "$name" = report.html ]; then
    expect_in "$report" '<!DOCTYPE html>' "$driver"
    expect_in "$report" 'Prüfling &lt;7&gt; &amp; &quot;B&quot;' "$driver: the label escaped"
    expect_in "$report" 'Result: open: 103 of 105 keys untested' "$driver"
    expect_in "$report" 'data-key="30" data-state="tested"' "$driver: A"
    expect_in "$report" 'data-key="31" data-state="tested"' "$driver: S"
    expect_in "$report" '<td>S</td><td>31</td><td>2</td>' "$driver: S pressed twice"
    [ "$(grep -o 'data-state=' "$report" | wc -l)" = 105 ] || e2e_fail "$driver: not 105 keys drawn"
  else
    expect_in "$report" "label: $label" "$driver"
    expect_in "$report" 'map layout: iso' "$driver"
    expect_in "$report" 'result: open: 103 of 105 keys untested' "$driver"
    expect_in "$report" 'system: Windows ' "$driver: the system's version"
    expect_in "$report" '  A                 30        1 ' "$driver: A pressed once"
    expect_in "$report" '  S                 31        2 ' "$driver: S pressed twice"
  fi
  echo "ok: $driver: $name written at the close with the keys pressed and the label"
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
said="$(tr -d '\r' <"$e2e_work/program.log")"
[ "$(printf '%s\n' "$said" | grep -c .)" = 1 ] || e2e_fail "not one line on standard error: $said"
printf '%s\n' "$said" | grep -q '^klimperdetektor: cannot write the report to /dev/full (.*space.*)$' ||
  e2e_fail "standard error says: $said"
echo "ok: $said"
echo PASS
