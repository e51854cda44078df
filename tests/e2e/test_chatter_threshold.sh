#!/usr/bin/env bash
# The chatter threshold from the menu on DirectX and on GDI, and the menu's
# marks read back from the open menu: "Tastaturkarte" is checked only while
# the map shows, the layout and the threshold in use carry the radio mark.
# A key pressed twice with a gap between two thresholds is chatter at the
# higher one; after choosing the lower one in "Prellschwelle", its box is
# drawn as a tested key's and the line of the key under the mouse has no
# chatter; back at the higher one it chatters again. The count comes back
# on the status line when the mouse leaves the window. All of it in German
# (--lang de), the menu chosen by its German access letters.
# Then the language: with --lang en the menu and the status line are
# English (the map is shown by "Keyboard map"'s letter, which the German menu
# lacks; the line of a key under the mouse too), even on a German system; with no option they follow the system's
# user interface language: English here, German under a German locale. In
# each the Save dialog has the language's title and proposes the language's
# name, and the report it saves is in the language.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

e2e_build_tools
e2e_start_xvfb

# The boxes of A and S on the ANSI map under a page of seven rows, in screen
# pixels (keys/map/key_map_geometry.cpp): the same size, so alike when
# their keys are in one state.
a_x=31
s_x=45
key_y=131
# The items of "Prellschwelle": 5 10 15 20 30 50 80 120 ms.
low=2    # 15 ms
high=6   # 80 ms

gone() {
  local i
  for i in $(seq 1 50); do
    e2e_visible_windows | grep -qx "$1" || return 0
    sleep 0.1
  done
  e2e_fail "$driver: a menu stayed open"
}
# The marks of the menu window $1, one character per item ("x" marked).
marks_of() {
  local i marks=""
  for i in $(seq 1 10); do
    sleep 0.3
    import -window "$1" -depth 8 "$e2e_work/menu.ppm" 2>/dev/null || continue
    cp "$e2e_work/menu.ppm" "${TMPDIR:-/tmp}/zq-last-menu.ppm" 2>/dev/null
    marks="$(python3 "$e2e_source/tests/e2e/menu_marks.py" "$e2e_work/menu.ppm")"
    [ -n "$marks" ] && break
  done
  echo "$marks"
}
open_popup() {
  local before
  before="$(e2e_visible_windows)"
  xdotool mousemove --window "$e2e_window" 200 40 click 3
  popup="$(e2e_new_window "$before")" || e2e_fail "$driver: no popup menu after a right click"
}
# Opens the submenu with the access letter $1 of the open popup; sets $submenu.
open_submenu() {
  local before
  before="$(e2e_visible_windows)"
  xdotool key "$1"
  submenu="$(e2e_new_window "$before")" || e2e_fail "$driver: no submenu after '$1'"
}
close_menus() {
  xdotool key Escape Escape Escape
  gone "$popup"
}
# The popup's own marks: Tastaturkarte, Tastaturlayout, Prellschwelle, Neu
# beginnen, Protokoll öffnen, Bericht speichern.
expect_popup_marks() {
  open_popup
  local marks
  marks="$(marks_of "$popup")"
  [ "$marks" = "$1" ] || e2e_fail "$driver: the menu's marks read '$marks', not '$1'"
  echo "ok: $driver: the menu's marks read $marks"
}
expect_submenu_marks() {
  local marks
  open_popup
  open_submenu "$1"
  marks="$(marks_of "$submenu")"
  [ "$marks" = "$2" ] || e2e_fail "$driver: submenu '$1' marks read '$marks', not '$2'"
  echo "ok: $driver: submenu '$1' marks read $marks"
  close_menus
}
choose_threshold() {
  open_popup
  open_submenu p
  # The submenu opens with its first item selected.
  local i
  for ((i = 0; i < $1; ++i)); do xdotool key Down; done
  xdotool key Return
  gone "$popup"
}
box() {
  import -window "$e2e_window" "$e2e_work/now.ppm" 2>/dev/null || return 1
  convert "$e2e_work/now.ppm" -crop "5x3+$(($1 - 2))+$((key_y - 1))" +repage -depth 8 rgb:- | md5sum | cut -c1-32
}
# Waits until A's box is drawn like S's ($1 = same) or not (differ).
expect_a_box() {
  local i
  for i in $(seq 1 50); do
    if [ "$1" = same ] && [ "$(box $a_x)" = "$(box $s_x)" ]; then return 0; fi
    if [ "$1" = differ ] && [ "$(box $a_x)" != "$(box $s_x)" ]; then return 0; fi
    sleep 0.2
  done
  e2e_fail "$driver: A's box is not drawn $1 from S's"
}
hover_line() {
  local i line
  xdotool mousemove --window "$e2e_window" $a_x $key_y
  for i in $(seq 1 50); do
    line="$(e2e_screen_text | sed -n 9p)"
    [ "${line# A (30): 2x}" != "$line" ] && { echo "$line"; return 0; }
    sleep 0.2
  done
  e2e_fail "$driver: no line of A under the mouse: '$line'"
}

for driver in directx gdi; do
  e2e_start_program_with_args ZQGFX=$driver -- "$exe" --lang de
  e2e_find_window
  e2e_expect_driver "$driver"
  expect_popup_marks "......"
  xdotool key t
  gone "$popup"
  # The command reaches the program at its next pass: the map shows first.
  for i in $(seq 1 50); do
    [[ "$(e2e_screen_text | sed -n 9p)" == " Getestet: "* ]] && break
    sleep 0.2
  done
  expect_popup_marks "x....."
  close_menus
  expect_submenu_marks l "x...."   # ANSI, the system's keyboard here
  expect_submenu_marks p "....x..." # 30 ms

  e2e_focus
  # A pressed twice, the second press some 35-45 ms after the release; S once.
  xdotool keydown a keyup a sleep 0.025 keydown a keyup a
  xdotool key s
  choose_threshold $high
  expect_submenu_marks p "......x."
  expect_a_box differ
  line="$(hover_line)"
  [[ "$line" == *Prellen* || "$line" == *geprellt* ]] || e2e_fail "$driver: no chatter at 80 ms: '$line'"
  echo "ok: $driver: at 80 ms A chatters: '$line'"

  choose_threshold $low
  expect_a_box same
  line="$(hover_line)"
  [[ "$line" != *Prellen* && "$line" != *geprellt* ]] || e2e_fail "$driver: chatter at 15 ms: '$line'"
  echo "ok: $driver: at 15 ms A is tested: '$line'"

  choose_threshold $high
  expect_a_box differ
  line="$(hover_line)"
  [[ "$line" == *Prellen* || "$line" == *geprellt* ]] || e2e_fail "$driver: no chatter again at 80 ms: '$line'"
  echo "ok: $driver: back at 80 ms A chatters again"

  # The mouse leaves the window, not only the box: the count comes back.
  xdotool mousemove 1000 760
  for i in $(seq 1 50); do
    line="$(e2e_screen_text | sed -n 9p)"
    [ "${line# Getestet: }" != "$line" ] && break
    sleep 0.2
  done
  [ "${line# Getestet: }" != "$line" ] || e2e_fail "$driver: the status line kept '$line' after the mouse left"
  echo "ok: $driver: the count is back when the mouse left the window: '$line'"
  e2e_request_close
  e2e_expect_exit 0
done

# Waits for row 9 to match the extended regular expression $1.
expect_row_matching() {
  local i line
  for i in $(seq 1 50); do
    line="$(e2e_screen_text | sed -n 9p)"
    [[ "$line" =~ $1 ]] && return 0
    sleep 0.2
  done
  e2e_fail "$driver: row 9 reads '$line', not /$1/"
}

german="$(e2e_german_locale)"
# language, environment, arguments
runs=("en|$german|--lang en" "en||" "de|$german|")
for driver in directx gdi; do
  for run in "${runs[@]}"; do
    IFS='|' read -r language environment arguments <<<"$run"
    if [ "$language" = de ]; then
      map_letter=t save_letter=b title='Bericht speichern' prefix=Tastaturtest-
      count='^ Getestet: 1/10[45], max\. 1 gehalten$'
      untested='^ A \(30\): ungetestet$'
    else
      map_letter=k save_letter=p title='Save report' prefix=keyboard-test-
      count='^ Tested: 1/10[45], up to 1 held$'
      untested='^ A \(30\): untested$'
    fi
    what="$driver, ${arguments:-no option}${environment:+, German system}"
    # The key that chose the entry counts; a German system may give the ISO map.
    # The Save dialog's proposed name lands in the program's folder (the
    # dialog then remembers it, so one folder serves every run).
    saves="$e2e_work/saves"
    mkdir -p "$saves" && cd "$saves" && rm -f ./*.html
    # shellcheck disable=SC2086
    e2e_start_program_with_args ZQGFX=$driver $environment -- "$exe" $arguments
    cd - >/dev/null
    e2e_find_window
    e2e_expect_driver "$driver"
    open_popup
    xdotool key "$map_letter"
    gone "$popup"
    expect_row_matching "$count"
    echo "ok: $what: the menu's '$map_letter' showed the map, the status line reads in $language"
    # The line of the key under the mouse: A, never pressed.
    xdotool mousemove --window "$e2e_window" $a_x $key_y
    expect_row_matching "$untested"
    xdotool mousemove --window "$e2e_window" 200 40
    echo "ok: $what: the line of A under the mouse reads in $language"
    e2e_file_through_menu "$save_letter" "$title" ""
    saved=""
    for i in $(seq 1 50); do
      saved="$(ls "$saves" | grep -E "^$prefix[0-9]{4}-[0-9]{2}-[0-9]{2}-[0-9]{6}\.html$" | head -n 1)"
      [ -n "$saved" ] && [ -s "$saves/$saved" ] && break
      sleep 0.2
    done
    [ -n "$saved" ] || e2e_fail "$what: the dialog saved no $prefix...html: $(ls "$saves")"
    grep -q "<html lang=\"$language\">" "$saves/$saved" ||
      e2e_fail "$what: $saved is not a report in $language: $(head -c 300 "$saves/$saved")"
    echo "ok: $what: the dialog '$title' saved $saved in $language"
    e2e_request_close
    e2e_expect_exit 0
  done
done
echo PASS
