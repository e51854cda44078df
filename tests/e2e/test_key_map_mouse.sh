#!/usr/bin/env bash
# The map and the mouse on DirectX and on GDI: the mouse over a pressed key's
# box puts its name and scancode on the status line and the count comes back
# when it leaves; a click turns a tested box to the defect colour and a
# second click back; a key held past --stuck-s 2 takes the stuck colour; the
# summary lists the marked and the stuck key. Runs at --scale 2, so that the
# mouse's window pixels are not the screen's.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

e2e_build_tools
e2e_start_xvfb

# The boxes of A and S on the ANSI map under a page of seven rows
# (keys/map/key_map_geometry.cpp), in screen pixels; the window shows each
# as 2 x 2.
a_x=31
s_x=45
key_y=131
scale=2
tested="85,255,85"   # palette 10
defect="255,85,255"  # palette 13
stuck="170,85,0"     # palette 6
held="255,255,85"    # palette 14
count_line=' Getestet: 2/104, max. 1 gehalten'

# The screen at scale 1 for the decoder: every second pixel.
e2e_screen_text() {
  import -window "$e2e_window" "$e2e_work/screen.ppm" 2>/dev/null || return 1
  convert "$e2e_work/screen.ppm" -sample 50% "$e2e_work/screen1.ppm" || return 1
  "$e2e_tools/screen_text" "$e2e_work/screen1.ppm"
}

# Row 9 (1-based) beginning with $1.
expect_row_start() {
  local expected="$1" i line
  for i in $(seq 1 50); do
    line="$(e2e_screen_text | sed -n 9p)"
    [ "${line#"$expected"}" != "$line" ] && { echo "ok: row 9 reads '$line'"; return 0; }
    sleep 0.2
  done
  e2e_fail "row 9 does not begin with '$expected': '$line'"
}
# The screen is read at scale 1 from a window drawn at 2: a pixel there.
pixel_at() { e2e_expect_pixel $((($1) * scale + 1)) $((($2) * scale + 1)) "$3"; }
mouse_to() { xdotool mousemove --window "$e2e_window" $(($1 * scale + 1)) $(($2 * scale + 1)); }

for driver in directx gdi; do
  e2e_start_program_with_args ZQGFX=$driver -- "$exe" --map=ansi --stuck-s 2 --scale $scale
  e2e_find_window
  e2e_expect_driver "$driver"
  e2e_expect_row 9 ' Getestet: 0/104, max. 0 gehalten'
  xdotool key a d
  e2e_expect_row 9 "$count_line"
  mouse_to $a_x $key_y
  expect_row_start ' A (30): 1x'
  mouse_to 300 20
  e2e_expect_row 9 "$count_line"
  xdotool mousemove --window "$e2e_window" $((a_x * scale + 1)) $((key_y * scale + 1)) click 1
  pixel_at $a_x $key_y "$defect"
  sleep 0.6  # no double click: a second press is a second toggle either way
  xdotool click 1
  pixel_at $a_x $key_y "$tested"
  sleep 0.6
  xdotool click 1
  pixel_at $a_x $key_y "$defect"
  # S held: yellow, then past two seconds the stuck colour, tested after.
  xdotool keydown s
  pixel_at $s_x $key_y "$held"
  sleep 2.2
  pixel_at $s_x $key_y "$stuck"
  xdotool keyup s
  pixel_at $s_x $key_y "$tested"
  xdotool key alt+F4
  e2e_expect_exit 0
  e2e_stdout_text | grep -qx 'marked defect: A (30)' || e2e_fail "$driver: no defect list: $(e2e_stdout_text)"
  e2e_stdout_text | grep -qE '^stuck \(held over 2 s\): S \(31\) held [2-9]\.[0-9] s$' ||
    e2e_fail "$driver: no stuck list: $(e2e_stdout_text)"
  echo "ok: $driver: name under the mouse, defect toggled by clicks, S stuck and listed"
done
echo PASS
