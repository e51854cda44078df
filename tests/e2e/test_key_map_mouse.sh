#!/usr/bin/env bash
# The map and the mouse on DirectX and on GDI: the mouse over a pressed key's
# box puts its name and scancode on the status line and the count comes back
# when it leaves; a click turns a tested box to the defect colour and a
# second click back; a key held past --stuck-s 2 takes the stuck colour; a
# key pressed twice within --chatter-ms takes the chatter colour; the marked,
# the stuck and the chattering key each show their mark inside the box (two
# colours in it, where a plain box has one); the summary lists the marked
# and the stuck key. Runs at --scale 2, so that the mouse's window pixels are
# not the screen's.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

e2e_build_tools
e2e_start_xvfb

# The boxes of A, S, D and F on the ANSI map under a page of seven rows
# (keys/map/key_map_geometry.cpp), in screen pixels: columns 25-37, 39-52,
# 54-66, 68-80, rows 125-137; the window shows each as 2 x 2. Colours are
# read at the middle, the defect and chatter colours on the top edge (the
# cross and the stripes of their marks run through the middle).
a_x=31
s_x=45
f_x=73
key_y=131
edge_y=125
scale=2
tested="85,255,85"   # palette 10
defect="190,0,255"   # palette 35
stuck="170,85,0"     # palette 6
held="182,182,255"   # palette 80
chatter="255,125,157"  # palette 63
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
# The colours inside the box whose left column is $1 (rows 125-137), its
# one-pixel edge left out (11 x 11 pixels), as the window shows them:
# "#RRGGBB" words, sorted.
inside_colours() {
  import -window "$e2e_window" "$e2e_work/box.ppm" 2>/dev/null || return 1
  convert "$e2e_work/box.ppm" -crop "$((11 * scale))x$((11 * scale))+$((($1 + 1) * scale))+$((126 * scale))" +repage \
    -unique-colors -depth 8 txt:- | sed -n 's/.* \(#[0-9A-F]\{6\}\) .*/\1/p' | sort | tr '\n' ' '
}
# Waits until the inside of the box at column $1 holds exactly the colours
# $2 ("#RRGGBB ..." sorted): a finding its fill and the mark's black, a
# plain state its fill alone.
expect_inside() {
  local i got=""
  for i in $(seq 1 50); do
    got="$(inside_colours "$1")"
    [ "$got" = "$2" ] && { echo "ok: the box at column $1 holds $2"; return 0; }
    sleep 0.2
  done
  e2e_fail "the box at column $1 holds '$got', not '$2'"
}
mouse_to() { xdotool mousemove --window "$e2e_window" $(($1 * scale + 1)) $(($2 * scale + 1)); }

for driver in directx gdi; do
  e2e_start_program_with_args ZQGFX=$driver -- "$exe" --lang de --map=ansi --stuck-s 2 --chatter-ms 300 --scale $scale
  e2e_find_window
  e2e_expect_driver "$driver"
  e2e_expect_row 9 ' Getestet: 0/104, max. 0 gehalten'
  xdotool key a d
  e2e_expect_row 9 "$count_line"
  mouse_to $a_x $key_y
  expect_row_start ' A (30): 1x gedr\x81ckt, gehalten '  # the decoder writes glyph 129 (ü) so
  mouse_to 300 20
  e2e_expect_row 9 "$count_line"
  xdotool mousemove --window "$e2e_window" $((a_x * scale + 1)) $((key_y * scale + 1)) click 1
  pixel_at $a_x $edge_y "$defect"
  expect_inside 25 "#000000 #BE00FF "
  sleep 0.6  # no double click: a second press is a second toggle either way
  xdotool click 1
  pixel_at $a_x $key_y "$tested"
  expect_inside 25 "#55FF55 "
  sleep 0.6
  xdotool click 1
  pixel_at $a_x $edge_y "$defect"
  # S held: plain, then past two seconds the stuck colour with its mark,
  # tested after.
  xdotool keydown s
  pixel_at $s_x $key_y "$held"
  expect_inside 39 "#B6B6FF "
  sleep 2.2
  pixel_at $s_x $key_y "$stuck"
  expect_inside 39 "#000000 #AA5500 "
  xdotool keyup s
  pixel_at $s_x $key_y "$tested"
  # F twice within the chatter time: chatter, striped.
  xdotool key --delay 60 f f
  pixel_at $f_x $edge_y "$chatter"
  expect_inside 68 "#000000 #FF7D9D "
  xdotool key alt+F4
  e2e_expect_exit 0
  e2e_stdout_text | grep -qx 'marked defect: A (30)' || e2e_fail "$driver: no defect list: $(e2e_stdout_text)"
  e2e_stdout_text | grep -qE '^stuck \(held over 2 s\): S \(31\) held [2-9]\.[0-9] s$' ||
    e2e_fail "$driver: no stuck list: $(e2e_stdout_text)"
  echo "ok: $driver: name under the mouse, defect toggled by clicks, S stuck and listed, marks in the boxes"
done
echo PASS
