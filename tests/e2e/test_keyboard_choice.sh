#!/usr/bin/env bash
# --keyboard: the map counts only the keyboard chosen, by number or by its
# maker's and product's numbers, while the log records every key.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

e2e_build_tools
e2e_start_xvfb

# Presses A until the log has its release: the raw input may start a moment
# after the window shows.
press_a_until_logged() {
  local try i
  for try in 1 2 3; do
    xdotool key a
    for i in $(seq 1 20); do
      e2e_stdout_text | grep -q '^[0-9.]* *up *30 *A .*kbd 1$' && return 0
      sleep 0.1
    done
  done
  e2e_fail "the log did not get A from keyboard 1: $(e2e_stdout_text)"
}

# Wine gives one keyboard: number 2 never sends, so the map stays empty.
e2e_start_program_with_args ZQGFX=gdi -- "$exe" --lang de --map=ansi --log --keyboard 2
e2e_find_window
press_a_until_logged
e2e_expect_row 9 ' Getestet: 0/104, max. 0 gehalten'
e2e_request_close
e2e_expect_exit 0
e2e_stdout_text | grep -qx 'map: ansi, tested 0 of 104 keys, most held at once 0' ||
  e2e_fail "the map counted another keyboard: $(e2e_stdout_text)"
e2e_stdout_text | grep -qx 'the map counts keyboard 2 only' || e2e_fail "the summary does not name the choice"
echo "ok: --keyboard 2 leaves the map empty, the log has keyboard 1's press"

# Chosen by its numbers, the same keyboard counts.
id="$(e2e_stdout_text | sed -n 's/^# keyboard 1: .*(VID_\([0-9A-F]*\)&PID_\([0-9A-F]*\))$/\1:\2/p')"
[ -n "$id" ] || e2e_fail "keyboard 1 has no VID:PID in the log: $(e2e_stdout_text)"
e2e_start_program_with_args ZQGFX=gdi -- "$exe" --lang de --map=ansi --log --keyboard "${id,,}"
e2e_find_window
press_a_until_logged
e2e_expect_row 9 ' Getestet: 1/104, max. 1 gehalten'
e2e_request_close
e2e_expect_exit 0
e2e_stdout_text | grep -qx "the map counts keyboard $id only" || e2e_fail "no choice in the summary: $(e2e_stdout_text)"
e2e_stdout_text | grep -q '^  1  .*, [1-9][0-9]* events$' || e2e_fail "keyboard 1 not listed with its events: $(e2e_stdout_text)"
echo "ok: --keyboard ${id,,} counts the keyboard Wine gives"
echo PASS
