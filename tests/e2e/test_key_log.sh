#!/usr/bin/env bash
# --log under the GDI driver with real key presses at controlled times: the
# down and up lines of A with its times, chatter 10 ms after a release and
# none after 300 ms, auto-repeat making no press, three keys held at once,
# the summary at Alt+F4, exit code 0, and the page reading as it does
# without the log.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

e2e_build_tools
e2e_start_xvfb
e2e_start_program_with_args ZQGFX=gdi -- "$exe" --log
e2e_find_window

e2e_expect_row 2 ' Bitte Taste dr\xFCcken!'
e2e_expect_row 3 ' ********************'
e2e_expect_row 5 ' Scancodes: (keine)'
e2e_expect_row 7 ' * Klimperdetektor by Tukani *'

# The log as written: a Windows program ends its lines with CR LF.

# The text log's lines for one key: time, event, scancode, name, gap, mark.
key_lines() {
  awk -v scancode="$1" -v name="$2" '
    $3 == scancode && $4 == name {
      gap = "-"; mark = "-"
      for (i = 5; i <= NF; i++) {
        if ($i == "gap") gap = $(i + 1)
        if ($i == "chatter" || $i == "zero-gap") mark = $i
      }
      print $1, $2, gap, mark
    }' <(e2e_stdout_text)
}

# Waits until the log holds at least $3 lines of a key.
wait_key_lines() {
  local i
  for i in $(seq 1 100); do
    [ "$(key_lines "$1" "$2" | wc -l)" -ge "$3" ] && return 0
    sleep 0.1
  done
  sed 's/^/  | /' "$e2e_stdout"
  e2e_fail "the log did not get $3 lines for $2"
}

# Field $2 of line $1 of the A lines.
a_field() { key_lines 30 A | sed -n "$1p" | cut -d' ' -f"$2"; }

# Whether $1 lies within 5 ms of $2.
within_5ms() { awk -v a="$1" -v b="$2" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d <= 5) }'; }

tap() { xdotool keydown --delay 0 "$1" sleep "$2" keyup --delay 0 "$1"; }

# Under Wine the log places message times on the counter's scale by the
# smallest delay seen; a few presses settle it.
for i in $(seq 1 8); do tap x 0.03; sleep 0.03; done
wait_key_lines 45 X 16

tap a 0.2
wait_key_lines 30 A 2
[ "$(a_field 1 2) $(a_field 2 2)" = "down up" ] || e2e_fail "no down and up line for A (30)"
held_ms="$(awk -v a="$(a_field 1 1)" -v b="$(a_field 2 1)" 'BEGIN { print b - a }')"
within_5ms "$held_ms" 200 || e2e_fail "A held $held_ms ms by the log, 200 ms by the injection"
echo "ok: A down and up 200 ms apart, logged as $held_ms ms"

sleep 0.1
xdotool keydown --delay 0 a sleep 0.05 keyup --delay 0 a sleep 0.01 keydown --delay 0 a \
  sleep 0.05 keyup --delay 0 a sleep 0.3 keydown --delay 0 a sleep 0.05 keyup --delay 0 a
wait_key_lines 30 A 8
within_5ms "$(a_field 5 3)" 10 || e2e_fail "press 10 ms after the release logged with gap $(a_field 5 3)"
[ "$(a_field 5 4)" = chatter ] || e2e_fail "press 10 ms after the release not marked as chatter"
within_5ms "$(a_field 7 3)" 300 || e2e_fail "press 300 ms after the release logged with gap $(a_field 7 3)"
[ "$(a_field 7 4)" = - ] || e2e_fail "press 300 ms after the release marked $(a_field 7 4)"
echo "ok: gap $(a_field 5 3) ms marked as chatter, gap $(a_field 7 3) ms not"

# Held past the X server's auto-repeat delay: the repeats make no new press.
xdotool keydown a
sleep 1.5
xdotool keyup a
wait_key_lines 30 A 10
sleep 0.2
[ "$(key_lines 30 A | wc -l)" = 10 ] || e2e_fail "a key held 1.5 s gave $(( $(key_lines 30 A | wc -l) - 8 )) lines, not 2"
echo "ok: held 1.5 s with auto-repeat, logged as one press and one release"

xdotool keydown a keydown s keydown d
e2e_expect_row 5 ' Scancodes: 30, 31, 32'
xdotool keyup d keyup s keyup a
e2e_expect_row 5 ' Scancodes: (keine)'

xdotool key alt+F4
e2e_expect_exit 0
e2e_stdout_text | grep -qx 'most keys held at once: 3 (A, S, D)' ||
  { sed 's/^/  | /' "$e2e_stdout"; e2e_fail "the summary does not give 3 keys held at once"; }
summary_a="$(e2e_stdout_text | awk '$1 == "A" && $2 == "30" { print $3, $4 }')"
[ "$summary_a" = "6 1" ] || e2e_fail "summary for A reads '$summary_a', not 6 presses, 1 chatter"
e2e_stdout_text | grep -q '^summary: [0-9]* events in ' || e2e_fail "no total in the summary"
echo "ok: summary after Alt+F4: A 6 presses 1 chatter, 3 keys held at once"
[ ! -s "$e2e_work/program.log" ] || e2e_fail "unexpected standard error: $(cat "$e2e_work/program.log")"
echo PASS
