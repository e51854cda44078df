#!/usr/bin/env bash
# The keyboard map (--map) on DirectX and on GDI: a key's box changes colour
# when it is pressed and again when released, the summary counts exactly the
# keys pressed, the key left of Z counts on the ISO map and is listed as off
# the ANSI one, Pause and Print Screen count, a double click does not reset.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

e2e_build_tools
e2e_start_xvfb

summary() { e2e_stdout_text | tail -n 1; }
# The value of a JSON member of the map in the summary (numbers only).
map_number() { summary | sed -n "s/.*\"map\":{.*\"$1\":\([0-9]*\).*/\1/p"; }
map_list() { summary | sed -n "s/.*\"map\":{.*\"$1\":\[\([^]]*\)\].*/\1/p"; }

# The A key's box on the ANSI map under a page of seven rows: columns 25-37,
# rows 125-137 (keys/map/key_map_geometry.cpp); its middle is read.
a_x=31
a_y=131
untested="85,85,85"  # palette 8
held="182,182,255"   # palette 80
tested="85,255,85"   # palette 10
lsgt=94              # the X key code of the key left of Z

for driver in directx gdi; do
  e2e_start_program_with_args ZQGFX=$driver -- "$exe" --lang de --map=ansi --log=jsonl
  e2e_find_window
  e2e_expect_driver "$driver"
  e2e_expect_row 9 ' Getestet: 0/104, max. 0 gehalten'
  e2e_expect_pixel $a_x $a_y "$untested"
  xdotool keydown a
  e2e_expect_pixel $a_x $a_y "$held"
  xdotool keyup a
  e2e_expect_pixel $a_x $a_y "$tested"
  # Keys the system reports in odd ways, once each; the key left of Z is not
  # on this map.
  xdotool key s KP_Enter Return Print Pause Shift_L
  "$e2e_tools/x_key_code" $lsgt press
  e2e_expect_row 9 ' Getestet: 7/104, max. 1 gehalten'
  xdotool key alt+F4
  e2e_expect_exit 0
  [ "$(map_number keys)" = 104 ] || e2e_fail "$driver: keys is not 104: $(summary)"
  [ "$(map_number tested)" = 9 ] || e2e_fail "$driver: tested is not 9: $(summary)"
  for key in '"A","scancode":30' '"S","scancode":31' '"Keypad Enter","scancode":28,"extended":"e0"' \
             '"Enter","scancode":28,"extended":""' '"Print Screen","scancode":55' '"Pause","scancode":69' \
             '"Left Shift","scancode":42' '"Left Alt","scancode":56' \
             '"F4","scancode":62'; do
    map_list untested | grep -qF "$key" && e2e_fail "$driver: $key listed as untested: $(summary)"
  done
  [ "$(map_list untested | grep -o '{' | wc -l)" = 95 ] || e2e_fail "$driver: not 95 untested: $(summary)"
  [ "$(map_list off_map)" = '{"key":"102nd Key","scancode":86,"extended":""}' ] ||
    e2e_fail "$driver: the key left of Z is not listed off the map: $(summary)"
  echo "ok: $driver: the box untested, held, tested; 9 of 104 tested, 95 untested, one key off the map"
done

# On the ISO map the key left of Z is a key like the others. A double click
# is two clicks (marks), no reset: the count stays.
e2e_start_program_with_args ZQGFX=gdi -- "$exe" --lang de --map=iso
e2e_find_window
"$e2e_tools/x_key_code" $lsgt press
xdotool key z
e2e_expect_row 9 ' Getestet: 2/105, max. 1 gehalten'
xdotool mousemove --window "$e2e_window" 160 150 click --repeat 2 --delay 80 1
xdotool mousemove --window "$e2e_window" 300 10
xdotool key x
e2e_expect_row 9 ' Getestet: 3/105, max. 1 gehalten'
e2e_request_close
e2e_expect_exit 0
e2e_stdout_text | head -n 1 | grep -qx 'map: iso, tested 3 of 105 keys, most held at once 1' ||
  e2e_fail "no map summary on standard output: $(e2e_stdout_text)"
e2e_stdout_text | grep -qx 'not on this map: none' || e2e_fail "keys listed off the ISO map: $(e2e_stdout_text)"
echo "ok: the key left of Z on the ISO map, a double click does not reset, the summary without --log"

# --map alone takes the system's keyboard: US English here.
e2e_start_program_with_args ZQGFX=gdi -- "$exe" --lang de --map --log=csv
e2e_find_window
e2e_expect_row 9 ' Getestet: 0/104, max. 0 gehalten'
e2e_request_close
e2e_expect_exit 0
e2e_text "$e2e_work/program.log" | grep -qx "map: ansi (chosen from the system's keyboard), tested 0 of 104 keys, most held at once 0" ||
  e2e_fail "no map summary on standard error beside the CSV log: $(cat "$e2e_work/program.log")"
echo "ok: --map alone chose ANSI and said so, beside the CSV log on standard error"
echo PASS
