#!/usr/bin/env bash
# Whole-number scaling on DirectX and GDI: at 192 DPI the client area is
# 640 x 400, every 2 x 2 block of it one colour, and the page read at half
# size is the page as ever, with a held key listed; --scale 1 keeps 320 x 200
# there, and --scale 3 gives 960 x 600 at 96 DPI.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

# A Wine prefix whose display reports 192 DPI, made once per build tree (the
# first start of a prefix takes a while). Its wineserver is its own: ended
# when the script ends.
dpi_prefix="${ZQ_BINARY_DIR:-$e2e_work}/wineprefix-dpi192"
default_prefix="${ZQ_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/zq-wineprefix}"
make_dpi_prefix() {
  (
    export ZQ_WINEPREFIX="$dpi_prefix"
    source "$e2e_source/cmake/wine-env.sh"
    DISPLAY= wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
    wineserver -w
  )
}
end_dpi_wineserver() {
  e2e_cleanup
  WINEPREFIX="$dpi_prefix" wineserver -k 2>/dev/null
}
trap end_dpi_wineserver EXIT
make_dpi_prefix

e2e_build_tools
e2e_start_xvfb

expect_geometry() {
  local geometry
  geometry="$(xdotool getwindowgeometry "$e2e_window" | sed -n 's/.*Geometry: //p')"
  [ "$geometry" = "$1" ] || e2e_fail "client area is '$geometry', not $1"
  echo "ok: client area $geometry"
}

# Every 2 x 2 block one colour: sampled down and up again, the picture is
# unchanged. Then the half-size picture must read as the page.
expect_sharp_double() {
  import -window "$e2e_window" "$e2e_work/double.ppm" 2>/dev/null || e2e_fail "no picture of the window"
  convert "$e2e_work/double.ppm" -sample 50% "$e2e_work/half.ppm"
  convert "$e2e_work/half.ppm" -sample 200% "$e2e_work/again.ppm"
  local differing
  differing="$(compare -metric AE "$e2e_work/double.ppm" "$e2e_work/again.ppm" null: 2>&1)"
  [ "$differing" = 0 ] || e2e_fail "$differing pixels differ from their 2 x 2 block"
  echo "ok: every 2 x 2 block is one colour"
}
half_row() {
  import -window "$e2e_window" "$e2e_work/double.ppm" 2>/dev/null || return 1
  convert "$e2e_work/double.ppm" -sample 50% "$e2e_work/half.ppm"
  "$e2e_tools/screen_text" "$e2e_work/half.ppm" | sed -n "$1p"
}
expect_half_row() {
  local row="$1" expected="$2" i text=""
  for i in $(seq 1 50); do
    text="$(half_row "$row")"
    [ "$text" = "$expected" ] && { echo "ok: at half size row $row reads '$expected'"; return 0; }
    sleep 0.2
  done
  e2e_fail "at half size row $row reads '$text', not '$expected'"
}

for driver in directx gdi; do
  echo "--- $driver at 192 DPI"
  e2e_start_program "$exe" ZQ_WINEPREFIX="$dpi_prefix" ZQGFX="$driver"
  e2e_find_window
  e2e_expect_driver "$driver"
  expect_geometry 640x400
  expect_half_row 2 ' Bitte Taste dr\xFCcken!'
  expect_half_row 5 ' Scancodes: (keine)'
  expect_half_row 7 ' * Klimperdetektor by Tukani *'
  expect_sharp_double
  xdotool keydown a
  expect_half_row 5 ' Scancodes: 30'
  expect_sharp_double
  xdotool keyup a
  expect_half_row 5 ' Scancodes: (keine)'
  e2e_request_close
  e2e_expect_exit 0

  e2e_start_program_with_args ZQ_WINEPREFIX="$dpi_prefix" ZQGFX="$driver" -- "$exe" --scale 1
  e2e_find_window
  expect_geometry 320x200
  e2e_expect_row 5 ' Scancodes: (keine)'
  e2e_request_close
  e2e_expect_exit 0

  echo "--- $driver at 96 DPI, --scale 3"
  e2e_start_program_with_args ZQ_WINEPREFIX="$default_prefix" ZQGFX="$driver" -- "$exe" --scale 3
  e2e_find_window
  expect_geometry 960x600
  e2e_request_close
  e2e_expect_exit 0
done
echo PASS
