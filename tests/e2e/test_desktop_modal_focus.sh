#!/usr/bin/env bash
# On DirectX and GDI the page goes on inside the system's modal loops and
# nothing stays listed that is not held: keys pressed and released faster
# than the event thread's 10 ms, the window menu (Alt+Space; after one
# Escape the menu's loop is still running), the move loop (the menu's Move,
# worked from the keyboard: Xvfb has no window manager to drag a title bar
# by), and a key released while another window had the keyboard. The event
# thread reads the keys only after messages; each row ends with what is
# held after the last of them.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

e2e_build_tools
e2e_start_xvfb
xmessage -geometry +0+0 "another window" >/dev/null 2>&1 &
other_pid=$!
end_other() {
  kill "$other_pid" 2>/dev/null
  e2e_cleanup
}
trap end_other EXIT

shift_row() { [ "$1" = gdi ] && echo ' Scancodes: 42, 54' || echo ' Scancodes: 42'; }

# Key bursts without a pause between the events (xdotool commands chained),
# then the row they leave; "shift" stands for the driver's Shift row.
bursts=(
  "keydown --delay 0 a b keyup --delay 0 a|48"
  "keyup --delay 0 b keydown --delay 0 c keyup --delay 0 c|(keine)"
  "keydown --delay 0 shift key --delay 0 d e f|shift"
  "keyup --delay 0 shift keydown --delay 0 g keyup --delay 0 g keydown --delay 0 h|35"
  "keyup --delay 0 h|(keine)"
)
run_bursts() {
  local burst actions expected
  for burst in "${bursts[@]}"; do
    actions="${burst%|*}"
    expected="${burst##*|}"
    # shellcheck disable=SC2086  # the actions are meant to split
    xdotool $actions
    if [ "$expected" = shift ]; then e2e_expect_row 5 "$(shift_row "$1")"
    else e2e_expect_row 5 " Scancodes: $expected"; fi
  done
}

for driver in directx gdi; do
  echo "--- $driver"
  e2e_start_program_with_args ZQGFX="$driver" -- "$exe" --log=csv
  e2e_find_window
  e2e_expect_driver "$driver"
  e2e_expect_row 5 ' Scancodes: (keine)'
  run_bursts "$driver"

  # The window menu: a key held while it is open is logged and, once the
  # menu has closed with the loop still running, listed; released, it goes.
  xdotool key alt+space
  sleep 0.5
  xdotool keydown shift
  sleep 0.3
  xdotool key Escape
  e2e_expect_row 5 "$(shift_row "$driver")"
  xdotool keyup shift
  e2e_expect_row 5 ' Scancodes: (keine)'
  xdotool key Escape
  e2e_stdout_text | grep -q '^[0-9.]*,down,42,,Left Shift,' || e2e_fail "no Shift press in the log: $(cat "$e2e_stdout")"
  e2e_stdout_text | grep -q '^[0-9.]*,up,42,,Left Shift,' || e2e_fail "no Shift release in the log: $(cat "$e2e_stdout")"
  echo "ok: the key held in the window menu is logged"

  # The move loop: the page shows the key held while the window moves.
  xdotool key alt+space
  sleep 0.3
  xdotool key m
  sleep 0.3
  xdotool keydown shift
  xdotool key Left
  e2e_expect_row 5 "$(shift_row "$driver")"
  xdotool key Return
  xdotool keyup shift
  e2e_expect_row 5 ' Scancodes: (keine)'

  # A key released while another window has the keyboard; a click brings
  # the keyboard back (without a window manager the focus alone does not
  # make the window active).
  xdotool keydown a
  e2e_expect_row 5 ' Scancodes: 30'
  other="$(xdotool search --onlyvisible --name '^xmessage$' | head -n 1)"
  [ -n "$other" ] || e2e_fail "no other window to give the keyboard to"
  xdotool windowfocus "$other"
  sleep 0.3
  xdotool keyup a
  sleep 0.3
  xdotool mousemove --window "$e2e_window" 300 190 click 1
  e2e_focus
  e2e_expect_row 5 ' Scancodes: (keine)'
  xdotool keydown b
  e2e_expect_row 5 ' Scancodes: 48'
  xdotool keyup b
  e2e_expect_row 5 ' Scancodes: (keine)'
  run_bursts "$driver"

  e2e_request_close
  e2e_expect_exit 0
done
echo PASS
