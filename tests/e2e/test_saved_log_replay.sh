#!/usr/bin/env bash
# A test saved as a key log and opened again, on DirectX and on GDI:
# "Bericht speichern…" with a name ending in .csv writes the key log as
# --log=csv would have; started again with that file as its argument, the
# program shows the same map and status line as before the close, under a
# title that names the file; "Protokoll öffnen…" in the menu opens it too,
# after a file that is none was said in a message box. --replay with
# --report writes the report of
# the file with no window and exit code 0; a file that is no key log gives
# its line and reason and exit code 2.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

e2e_build_tools
e2e_start_xvfb

# The map below the page, as a checksum of its pixels.
map_picture() {
  import -window "$e2e_window" -depth 8 "$e2e_work/map.ppm" 2>/dev/null || return 1
  convert "$e2e_work/map.ppm" -crop 320x140+0+60 +repage -depth 8 rgb:- | md5sum | cut -c1-32
}
wine_path() { printf 'Z:%s' "${1//\//\\}"; }

for driver in directx gdi; do
  log="$e2e_work/keys-$driver.csv"
  e2e_window_name="klimperdetektor"
  # A threshold well above the gap of a double press under Wine and X.
  e2e_start_program_with_args ZQGFX=$driver -- "$exe" --lang de --map --chatter-ms 120
  e2e_find_window
  e2e_expect_driver "$driver"
  xdotool keydown a keyup a sleep 0.01 keydown a keyup a
  xdotool key s d
  e2e_expect_row 9 ' Getestet: 3/104, max. 1 gehalten'

  e2e_file_through_menu b 'Bericht speichern' "$(wine_path "$log")"
  for i in $(seq 1 50); do [ -s "$log" ] && break; sleep 0.2; done
  [ -s "$log" ] || e2e_fail "$driver: the dialog wrote no $log"
  [ "$(e2e_text "$log" | grep -v '^#' | head -n 1)" = "time_ms,event,scancode,extended,key,held,gap_ms,mark,device" ] ||
    e2e_fail "$driver: $log is no CSV key log: $(head -n 3 "$log")"
  e2e_text "$log" | grep -q '^# keyboard 1: ' || e2e_fail "$driver: the CSV log names no keyboard: $(cat "$log")"
  e2e_text "$log" | grep -qE '^[0-9.]+,down,30,,A,1,[0-9.]+,chatter,1$' ||
    e2e_fail "$driver: the CSV log has no chatter of A: $(cat "$log")"
  echo "ok: $driver: the Save dialog wrote the key log as CSV"

  e2e_focus
  xdotool mousemove 1000 760
  e2e_expect_row 9 ' Getestet: 4/104, max. 1 gehalten'  # and B of the menu
  status="$(e2e_screen_text | sed -n 9p)"
  picture="$(map_picture)"
  e2e_request_close
  e2e_expect_exit 0

  e2e_window_name="klimperdetektor - keys-$driver.csv"
  # A CSV log names no threshold: the same one is given.
  e2e_start_program_with_args ZQGFX=$driver -- "$exe" --lang de --chatter-ms 120 "$(wine_path "$log")"
  e2e_find_window
  e2e_expect_row 9 "$status"
  for i in $(seq 1 50); do [ "$(map_picture)" = "$picture" ] && break; sleep 0.2; done
  [ "$(map_picture)" = "$picture" ] || e2e_fail "$driver: the map of the opened log is not the map at the close"
  echo "ok: $driver: the log opened again shows the same map and status line under the title '$e2e_window_name'"
  e2e_request_close
  e2e_expect_exit 0
done

# The menu's "Protokoll öffnen…": a file that is no key log is said in a
# message box and the test shown stays; a saved log becomes the test.
e2e_window_name="klimperdetektor"
e2e_start_program_with_args ZQGFX=gdi -- "$exe" --map --lang de --chatter-ms 120
e2e_find_window
printf 'no key log\n' >"$e2e_work/other.csv"
before="$(e2e_visible_windows)"
e2e_file_through_menu f 'Protokoll .*ffnen' "$(wine_path "$e2e_work/other.csv")"
message="$(e2e_new_window "$before")" || e2e_fail "no message box for a file that is no key log"
xdotool windowfocus "$message"
sleep 0.3
xdotool key Return
[ "$(xdotool getwindowname "$e2e_window")" = klimperdetektor ] || e2e_fail "a refused file changed the title"
e2e_expect_row 9 ' Getestet: 1/104, max. 1 gehalten'  # the menu's F
e2e_file_through_menu f 'Protokoll .*ffnen' "$(wine_path "$e2e_work/keys-gdi.csv")"
for i in $(seq 1 50); do
  [ "$(xdotool getwindowname "$e2e_window")" = "klimperdetektor - keys-gdi.csv" ] && break
  sleep 0.2
done
[ "$(xdotool getwindowname "$e2e_window")" = "klimperdetektor - keys-gdi.csv" ] ||
  e2e_fail "the title after opening keys-gdi.csv is '$(xdotool getwindowname "$e2e_window")'"
xdotool mousemove 1000 760
e2e_expect_row 9 "$status"
echo "ok: the menu opened the saved log as the test, after refusing a file that is none with a message box"
e2e_request_close
e2e_expect_exit 0

# The report of a saved test at another threshold, with no window.
report="$e2e_work/replayed.txt"
"$e2e_source/cmake/wine-run.sh" "$exe" --replay "$(wine_path "$e2e_work/keys-gdi.csv")" --chatter-ms 5 \
  --report "$(wine_path "$report")" >"$e2e_work/replay.out" 2>&1
code=$?
[ "$code" = 0 ] || e2e_fail "--replay --report ended with $code: $(cat "$e2e_work/replay.out")"
e2e_text "$report" | grep -q 'chatter threshold: 5 ms' ||
  e2e_fail "the replayed report names no threshold of 5 ms: $(cat "$report")"
echo "ok: --replay with --report wrote the report at 5 ms with no window"

printf 'time_ms,event,scancode,extended,key,held,gap_ms,mark,device\n12.000,down,30,,A,1,,,1\n\x01\x02garbage\n' \
  >"$e2e_work/garbage.csv"
"$e2e_source/cmake/wine-run.sh" "$exe" --replay "$(wine_path "$e2e_work/garbage.csv")" \
  >"$e2e_work/garbage.out" 2>"$e2e_work/program.log"
code=$?
[ "$code" = 2 ] || e2e_fail "a garbage log ended with $code, not 2"
e2e_expect_one_error_line 'garbage\.csv: line 3: '
echo PASS
