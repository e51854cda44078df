#!/usr/bin/env bash
# The menu and the report's Save dialog on DirectX and on GDI: a right click
# opens a popup menu at the mouse, "Bericht speichern…" (its access letter)
# opens the system's Save dialog, the file typed into it is written, and the
# letters typed into the dialog are neither logged nor counted; a key pressed
# in the window afterwards is again. Keys pressed while a menu is open are
# pressed in the window and count. The window menu (Alt+Space) opens too.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

e2e_build_tools
e2e_start_xvfb

visible_windows() { xdotool search --onlyvisible --name '' 2>/dev/null | sort; }
# Waits for a visible window that was not in the list $1; prints its id.
new_window() {
  local before="$1" i id
  for i in $(seq 1 50); do
    id="$(comm -13 <(printf '%s\n' "$before") <(visible_windows) | head -n 1)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}
downs() { e2e_stdout_text | grep -c ' down ' ; }

for driver in directx gdi; do
  report="$e2e_work/report-$driver.html"
  e2e_start_program_with_args ZQGFX=$driver -- "$exe" --map=ansi --log
  e2e_find_window
  e2e_expect_driver "$driver"
  e2e_expect_row 9 ' Getestet: 0/104, max. 0 gehalten'
  xdotool key a
  e2e_expect_row 9 ' Getestet: 1/104, max. 1 gehalten'

  before="$(visible_windows)"
  xdotool mousemove --window "$e2e_window" 200 40 click 3
  popup="$(new_window "$before")" || e2e_fail "$driver: no popup menu after a right click"
  read -r popup_x popup_y < <(xdotool getwindowgeometry "$popup" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
  read -r window_x window_y < <(xdotool getwindowgeometry "$e2e_window" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
  [ $((popup_x - window_x)) -ge 195 ] && [ $((popup_x - window_x)) -le 205 ] &&
    [ $((popup_y - window_y)) -ge 35 ] && [ $((popup_y - window_y)) -le 45 ] ||
    e2e_fail "$driver: the popup is at $popup_x,$popup_y, not at the mouse (window at $window_x,$window_y)"
  echo "ok: $driver: a right click opened a popup menu at the mouse"

  xdotool key b
  dialog=""
  for i in $(seq 1 50); do
    dialog="$(xdotool search --onlyvisible --name '^Bericht speichern$' 2>/dev/null | head -n 1)"
    [ -n "$dialog" ] && break
    sleep 0.2
  done
  [ -n "$dialog" ] || e2e_fail "$driver: no Save dialog after choosing it in the menu"
  xdotool windowfocus "$dialog"
  sleep 0.5
  # The proposed name is selected: typing replaces it.
  xdotool type --delay 40 "Z:${report//\//\\}"
  xdotool key Return
  for i in $(seq 1 50); do [ -s "$report" ] && break; sleep 0.2; done
  [ -s "$report" ] || e2e_fail "$driver: the dialog did not write $report: $(ls "$e2e_work")"
  echo "ok: $driver: the Save dialog wrote the file it was given"

  e2e_focus
  # A and the menu's access letter B count; the dialog's letters do not.
  e2e_expect_row 9 ' Getestet: 2/104, max. 1 gehalten'
  [ "$(downs)" = 2 ] || e2e_fail "$driver: keys typed into the dialog were logged: $(e2e_stdout_text)"
  echo "ok: $driver: nothing typed into the dialog was logged or counted"
  xdotool key s
  e2e_expect_row 9 ' Getestet: 3/104, max. 1 gehalten'

  # The window menu: Alt, Space and Escape count.
  before="$(visible_windows)"
  xdotool key alt+space
  new_window "$before" >/dev/null || e2e_fail "$driver: no window menu after Alt+Space"
  # The first Escape closes the menu, the second leaves the menu mode that
  # the system keeps after a menu opened by a key.
  xdotool key Escape
  sleep 0.3
  xdotool key Escape
  sleep 0.3
  import -window root "$e2e_work/after-escape.png" 2>/dev/null; cp "$e2e_work/after-escape.png" /tmp/after-escape.png
  e2e_expect_row 9 ' Getestet: 6/104, max. 2 gehalten'
  e2e_request_close
  e2e_expect_exit 0
  echo "ok: $driver: the window menu opened with Alt+Space"
done
echo PASS
