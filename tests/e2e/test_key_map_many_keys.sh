#!/usr/bin/env bash
# With the map shown and 40 keys held, the page's list wraps over several
# rows and every scancode is read back: the map gives way below it.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

e2e_build_tools
e2e_start_xvfb

keys=(a b c d e f g h i j k l m n o p q r s t u v w x y z 1 2 3 4 5 6 7 8 9 0 F1 F2 F3 F5)
# Their scancodes (set 1), ascending as the page lists them.
codes="2 3 4 5 6 7 8 9 10 11 16 17 18 19 20 21 22 23 24 25 30 31 32 33 34 35 36 37 38 44 45 46 47 48 49 50 59 60 61 63"
expected="Scancodes:$(echo $codes | tr ' ' ',')"

e2e_start_program_with_args ZQGFX=gdi -- "$exe" --lang de --map=ansi
e2e_find_window
e2e_expect_row 9 ' Getestet: 0/104, max. 0 gehalten'
for key in "${keys[@]}"; do xdotool keydown "$key"; done
for i in $(seq 1 50); do
  text="$(e2e_screen_text)"
  # The list from row 5 to the blank row before the banner, blanks dropped.
  list="$(printf '%s\n' "$text" | sed -n '5,$p' | sed '/^ *$/q' | tr -d ' \n')"
  [ "$list" = "$expected" ] && break
  sleep 0.2
done
[ "$list" = "$expected" ] || { printf '%s\n' "$text" | sed 's/^/  | /'; e2e_fail "the list reads '$list'"; }
rows=$(printf '%s\n' "$text" | sed -n '5,$p' | sed '/^ *$/q' | grep -c '[^ ]')
banner_row=$((5 + rows + 1))
[ "$(printf '%s\n' "$text" | sed -n "${banner_row}p")" = ' * Klimperdetektor by Tukani *' ] ||
  e2e_fail "no banner on row $banner_row"
[ "$(printf '%s\n' "$text" | sed -n "$((banner_row + 2))p")" = ' Getestet: 40/104, max. 40 gehalten' ] ||
  e2e_fail "no status line under the banner: $(printf '%s\n' "$text" | sed -n "$((banner_row + 2))p")"
echo "ok: 40 keys listed over $rows rows, the banner and the map's status line below them"
for key in "${keys[@]}"; do xdotool keyup "$key"; done
e2e_request_close
e2e_expect_exit 0
echo PASS
