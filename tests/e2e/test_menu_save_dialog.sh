#!/usr/bin/env bash
# The menu and the report's Save dialog on DirectX and on GDI, in a plain
# start (no --map): a right click opens a popup menu at the mouse;
# "Tastaturkarte" (its access letter) shows the map with the layout --map
# alone would choose, and hides it again; "Bericht speichern…" opens the
# system's Save dialog, and the file typed into it is the report of the keys
# pressed in the window, without the letters typed into the dialog, which
# are neither logged nor counted; a key pressed in the window afterwards is
# again. Keys pressed while a menu is open are pressed in the window and
# count. The window menu (Alt+Space) opens too.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

e2e_build_tools
e2e_start_xvfb

downs() { e2e_stdout_text | grep -c ' down ' ; }

# A right click into the page opens the popup menu; the entry with the access
# letter $1 is chosen and the popup waited out. Where the popup was is left
# in $popup_x and $popup_y.
choose_in_popup() {
  local before i popup
  before="$(e2e_visible_windows)"
  xdotool mousemove --window "$e2e_window" 200 40 click 3
  popup="$(e2e_new_window "$before")" || e2e_fail "$driver: no popup menu after a right click"
  read -r popup_x popup_y < <(xdotool getwindowgeometry "$popup" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
  xdotool key "$1"
  for i in $(seq 1 50); do
    e2e_visible_windows | grep -qx "$popup" || return 0
    sleep 0.1
  done
  e2e_fail "$driver: the popup menu stayed open after choosing '$1'"
}

# Nothing but black below the page's text: no map, no status line.
expect_no_map() {
  local i brightest=""
  for i in $(seq 1 50); do
    import -window "$e2e_window" "$e2e_work/below.ppm" 2>/dev/null &&
      brightest="$(convert "$e2e_work/below.ppm" -crop 320x120+0+64 +repage -format '%[max]' info:)"
    [ "$brightest" = 0 ] && return 0
    sleep 0.2
  done
  e2e_fail "$driver: the map is still drawn after hiding it (brightest value $brightest)"
}

for driver in directx gdi; do
  report="$e2e_work/report-$driver.html"
  e2e_start_program_with_args ZQGFX=$driver -- "$exe" --lang de --log
  e2e_find_window
  e2e_expect_driver "$driver"
  xdotool key a
  expect_no_map

  choose_in_popup t
  read -r window_x window_y < <(xdotool getwindowgeometry "$e2e_window" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
  [ $((popup_x - window_x)) -ge 195 ] && [ $((popup_x - window_x)) -le 205 ] &&
    [ $((popup_y - window_y)) -ge 35 ] && [ $((popup_y - window_y)) -le 45 ] ||
    e2e_fail "$driver: the popup is at $popup_x,$popup_y, not at the mouse (window at $window_x,$window_y)"
  echo "ok: $driver: a right click opened a popup menu at the mouse"
  # The map counted from the start: A and the menu's T; ANSI as the system's
  # keyboard is US English here.
  e2e_expect_row 9 ' Getestet: 2/104, max. 1 gehalten'
  choose_in_popup t
  e2e_expect_row 9 ''
  expect_no_map
  choose_in_popup t
  e2e_expect_row 9 ' Getestet: 2/104, max. 1 gehalten'
  echo "ok: $driver: \"Tastaturkarte\" showed the map, hid it and showed it again"

  e2e_file_through_menu b 'Bericht speichern' "Z:${report//\//\\}"
  for i in $(seq 1 50); do [ -s "$report" ] && break; sleep 0.2; done
  [ -s "$report" ] || e2e_fail "$driver: the dialog did not write $report: $(ls "$e2e_work")"
  echo "ok: $driver: the Save dialog wrote the file it was given"

  e2e_focus
  # A, the menu's T three times and B count; the dialog's letters do not.
  e2e_expect_row 9 ' Getestet: 3/104, max. 1 gehalten'
  [ "$(downs)" = 5 ] || e2e_fail "$driver: keys typed into the dialog were logged: $(e2e_stdout_text)"
  # The report's table of keys pressed: name and presses. The menu's B may
  # come after the figures were taken for the report.
  pressed="$(e2e_text "$report" | sed -n 's|^<tr><td>\([^<]*\)</td><td>[^<]*</td><td>\([0-9]*\)</td>.*|\1 \2|p' | sort | tr '\n' ' ')"
  [ "$pressed" = "A 1 T 3 " ] || [ "$pressed" = "A 1 B 1 T 3 " ] ||
    e2e_fail "$driver: the saved report lists the keys '$pressed', not A once and T three times: $(cat "$report")"
  grep -q '^<!DOCTYPE html>' "$report" || e2e_fail "$driver: the saved report is not HTML"
  echo "ok: $driver: nothing typed into the dialog was logged, counted or reported"
  xdotool key s
  e2e_expect_row 9 ' Getestet: 4/104, max. 1 gehalten'

  # The window menu: Alt, Space and Escape count.
  before="$(e2e_visible_windows)"
  xdotool key alt+space
  e2e_new_window "$before" >/dev/null || e2e_fail "$driver: no window menu after Alt+Space"
  # The first Escape closes the menu, the second leaves the menu mode that
  # the system keeps after a menu opened by a key.
  xdotool key Escape
  sleep 0.3
  xdotool key Escape
  sleep 0.3
  e2e_expect_row 9 ' Getestet: 7/104, max. 2 gehalten'
  e2e_request_close
  e2e_expect_exit 0
  echo "ok: $driver: the window menu opened with Alt+Space"
done
echo PASS
