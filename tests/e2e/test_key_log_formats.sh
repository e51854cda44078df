#!/usr/bin/env bash
# The JSON Lines and CSV logs: metadata and summary around the key lines,
# keys told apart by their prefix (keypad Enter and Enter, Pause and Num
# Lock), both Shift keys pressed and released on their own, and the summary
# after the close button.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

e2e_build_tools
e2e_start_xvfb


# Waits until the log holds $1 lines.
wait_log_lines() {
  local i
  for i in $(seq 1 100); do
    [ "$(e2e_stdout_text | wc -l)" -ge "$1" ] && return 0
    sleep 0.1
  done
  sed 's/^/  | /' "$e2e_stdout"
  e2e_fail "the log did not reach $1 lines"
}

expect_line() {
  e2e_stdout_text | grep -qF "$1" || { sed 's/^/  | /' "$e2e_stdout"; e2e_fail "no log line with: $1"; }
}

e2e_start_program_with_args ZQGFX=gdi -- "$exe" --log=jsonl --chatter-ms 50
e2e_find_window
e2e_expect_row 5 ' Scancodes: (keine)'
for key in KP_Enter Return Pause Num_Lock; do xdotool keydown "$key" keyup "$key"; done
xdotool keydown Shift_L keydown Shift_R
e2e_expect_row 5 ' Scancodes: 42, 54'
xdotool keyup Shift_R keyup Shift_L
wait_log_lines 14
e2e_request_close
e2e_expect_exit 0

[ "$(e2e_stdout_text | head -n 1 | grep -c '^{"type":"meta","program":"klimperdetektor","version":"[^"]*","chatter_ms":50,"timer_resolution_ms":[0-9.]*,')" = 1 ] ||
  e2e_fail "first line is no metadata: $(e2e_stdout_text | head -n 1)"
# Each key pressed and released once under its scancode, prefix and name.
for key in '28,"extended":"e0","key":"Keypad Enter"' '28,"extended":"","key":"Enter"' \
           '69,"extended":"e1","key":"Pause"' '69,"extended":"","key":"Num Lock"' \
           '42,"extended":"","key":"Left Shift"' '54,"extended":"","key":"Right Shift"'; do
  for event in down up; do
    [ "$(e2e_stdout_text | grep -cF "\"event\":\"$event\",\"scancode\":$key,")" = 1 ] ||
      { sed 's/^/  | /' "$e2e_stdout"; e2e_fail "not one $event line for $key"; }
  done
done
e2e_stdout_text | tail -n 1 | grep -q '^{"type":"summary",.*"most_held":2,"most_held_keys":\["Left Shift","Right Shift"\],"keyboards":\[{"device":1,[^]]*,"events":12}\]}$' ||
  e2e_fail "last line is no summary with both Shift keys and one keyboard's 12 events: $(e2e_stdout_text | tail -n 1)"
# The one keyboard Wine gives is named before its first key, and every key
# line carries its number.
keyboard_line="$(e2e_stdout_text | sed -n 2p)"
echo "$keyboard_line" | grep -q '^{"type":"keyboard","device":1,"id":"VID_[0-9A-F]\{4\}&PID_[0-9A-F]\{4\}",' ||
  e2e_fail "second line does not name keyboard 1: $keyboard_line"
[ "$(e2e_stdout_text | grep -c '"type":"keyboard"')" = 1 ] || e2e_fail "keyboard 1 named more than once"
[ "$(e2e_stdout_text | grep '"type":"key"' | grep -vc ',"device":1}$')" = 0 ] ||
  e2e_fail "key lines without device 1: $(e2e_stdout_text | grep '"type":"key"' | grep -v ',"device":1}$')"
echo "ok: JSON Lines with metadata, told-apart keys, both Shift releases and the summary"
echo "ok: $keyboard_line"

e2e_start_program_with_args ZQGFX=gdi -- "$exe" --log=csv
e2e_find_window
xdotool keydown a keyup a
wait_log_lines 3
# A key held while the keyboard goes elsewhere is ended there; what is typed
# elsewhere is not logged.
xdotool keydown s
wait_log_lines 4
xdotool windowfocus "$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')"
wait_log_lines 5
xdotool keyup s keydown d keyup d
sleep 0.3
e2e_request_close
e2e_expect_exit 0
[ "$(e2e_stdout_text | head -n 1)" = "time_ms,event,scancode,extended,key,held,gap_ms,mark,device" ] ||
  e2e_fail "no CSV header: $(e2e_stdout_text | head -n 1)"
expect_row() {
  e2e_stdout_text | sed -n "$1p" | grep -q "^[0-9]*\.[0-9]\{3\},$2\$" || e2e_fail "CSV row $1: $(e2e_stdout_text | sed -n "$1p")"
}
expect_row 2 'down,30,,A,1,,,1'
expect_row 3 'up,30,,A,0,,,1'
expect_row 4 'down,31,,S,1,,,1'
expect_row 5 'up,31,,S,0,,focus-lost,1'
[ "$(e2e_stdout_text | wc -l)" = 5 ] || e2e_fail "more than the header and four rows: $(e2e_stdout_text)"
grep -q '^summary: 4 events in ' "$e2e_work/program.log" || e2e_fail "no summary on standard error"
# The table stays one table: the keyboard's line goes beside the summary.
e2e_text "$e2e_work/program.log" | grep -q '^# keyboard 1: .* (VID_[0-9A-F]\{4\}&PID_[0-9A-F]\{4\})$' ||
  e2e_fail "keyboard 1 not named on standard error: $(cat "$e2e_work/program.log")"
# The keyboard sent three: S's release went to the other window, and the
# log's focus-lost release is its own.
e2e_text "$e2e_work/program.log" | grep -q '^  1  .*, 3 events$' ||
  e2e_fail "the summary does not list keyboard 1 with 3 events: $(cat "$e2e_work/program.log")"
echo "ok: CSV header and rows on standard output, a focus-lost release, the summary on standard error"
echo PASS
