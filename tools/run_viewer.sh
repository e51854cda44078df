#!/usr/bin/env bash
# Builds the Windows program and runs it under Wine. With a display the
# window opens there and the program runs until it is closed. Without one a
# private X server stands in: the viewer is shown a few held keys, a
# screenshot is saved, the screen is printed as text, and the window is
# closed the way a window manager closes it.
#
#   tools/run_viewer.sh --picture       # regenerate docs/klimperdetektor.png
#   tools/run_viewer.sh --map-picture   # regenerate docs/klimperdetektor-map.png
#   tools/run_viewer.sh --menu-picture  # regenerate docs/klimperdetektor-menu.png
#
# The picture is the window with its frame, title and icon as Wine draws them
# in a virtual desktop, while A and Shift are held. The map picture shows the
# ISO keyboard map (--map=iso) after a few keys were pressed once, G pressed
# twice at once (chatter), Q clicked (marked defect) and Space held past
# --stuck-s 1 (stuck), with A and Shift held. The menu picture shows the same
# map at --scale 2 with the popup menu of a right click open and its layout
# submenu unfolded.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
picture=""
program_args=()
[ "${1:-}" = "--picture" ] && picture="$root/docs/klimperdetektor.png"
if [ "${1:-}" = "--map-picture" ]; then
  picture="$root/docs/klimperdetektor-map.png"
  # The pictures show the German menu and status line the README describes.
  program_args=(--lang de --map=iso --stuck-s 1 --chatter-ms 100)
fi
menu=0
if [ "${1:-}" = "--menu-picture" ]; then
  picture="$root/docs/klimperdetektor-menu.png"
  program_args=(--lang de --map=iso --stuck-s 1 --chatter-ms 100 --scale 2)
  menu=1
fi

tools/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target klimperdetektor
exe="$root/build/win32/klimperdetektor.exe"

if [ -n "$picture" ]; then
  # The desktop holds the window with its frame; at --scale 2 it is twice as
  # wide and high.
  zoom=1
  [ "$menu" = 1 ] && zoom=2
  unset DISPLAY
  set +e
  export ZQ_SOURCE_DIR="$root" ZQ_BINARY_DIR="$root/build/win32"
  source tests/e2e/e2e_lib.sh
  e2e_build_tools
  e2e_start_xvfb
  # The frame's buttons are glyphs of Wine's symbol font, which a prefix made
  # before the font package was installed does not have.
  cmake/wine-run.sh wineboot >/dev/null 2>&1
  fonts="${ZQ_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/zq-wineprefix}/drive_c/windows/Fonts"
  if [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ] && [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
  fi
  # The virtual desktop is the one X window; the program's window lies in it.
  # (It ends with the X server when the script ends.)
  cmake/wine-run.sh explorer "/desktop=klimperdetektor-picture,$((480 * zoom))x$((320 * zoom))" "$exe" "${program_args[@]}" \
    >"$e2e_work/program.log" 2>&1 &
  e2e_runner_pid=$!
  e2e_program_name="klimperdetektor.exe"
  # The window is there once the desktop, trimmed of its background, is
  # smaller than the whole desktop.
  desktop=""
  for i in $(seq 1 240); do
    [ -n "$desktop" ] || desktop="$(xdotool search --name '^klimperdetektor-picture' 2>/dev/null | head -n 1)"
    if [ -n "$desktop" ] && import -window "$desktop" "$e2e_work/desktop.png" 2>/dev/null; then
      read -r size frame_x frame_y < <(convert "$e2e_work/desktop.png" -trim -format '%w %X %Y' info: 2>/dev/null)
      [ -n "$size" ] && [ "$size" -gt $((300 * zoom)) ] && [ "$size" -lt $((480 * zoom)) ] && break
    fi
    sleep 0.5
  done
  [ -n "$desktop" ] || e2e_fail "no virtual desktop appeared"
  sleep 1
  # A click on the title bar makes the window the active one for the keys.
  xdotool mousemove --window "$desktop" $((240 * zoom)) $((70 * zoom)) click 1
  sleep 0.5
  if [ ${#program_args[@]} -gt 0 ]; then
    # Keys pressed once: tested.
    for key in Escape q w e r t z s d f Return KP_Enter Pause Print; do xdotool key "$key"; sleep 0.05; done
    "$e2e_tools/x_key_code" 94 press  # the key left of Z
    xdotool key --delay 40 g g
    # A click in the middle of Q's box (screen pixels 22-34, 111-123 under
    # the page): the client area lies inside the frame's 3-pixel border and
    # 22-pixel title.
    xdotool mousemove --window "$desktop" $((${frame_x#+} + 3 + 28 * zoom)) $((${frame_y#+} + 22 + 117 * zoom)) click 1
    sleep 0.3
    xdotool mousemove --window "$desktop" $((240 * zoom)) $((310 * zoom))
    sleep 0.3
    # Space held past the stuck time (not under a menu: it would take it).
    if [ "$menu" = 0 ]; then
      xdotool keydown space
      sleep 1.5
    fi
  fi
  if [ "$menu" = 1 ]; then
    # A right click into the page, then the mouse on the layout submenu's
    # entry (the second) unfolds it.
    xdotool mousemove --window "$desktop" $((150 * zoom)) $((120 * zoom)) click 3
    sleep 0.8
    xdotool mousemove --window "$desktop" $((150 * zoom + 40)) $((120 * zoom + 27))
    sleep 1.2
  else
    xdotool keydown a
    sleep 0.3
    xdotool keydown shift
    sleep 0.5
  fi
  mkdir -p "$(dirname "$picture")"
  import -window "$desktop" "$e2e_work/desktop.png"
  [ "$menu" = 1 ] && xdotool key Escape Escape
  [ "$menu" = 1 ] || xdotool keyup shift a
  [ ${#program_args[@]} -gt 0 ] && [ "$menu" = 0 ] && xdotool keyup space
  convert "$e2e_work/desktop.png" -trim +repage "$picture"
  echo "picture of the window: $picture ($(identify -format '%wx%h' "$picture"))"
  # Alt+F4 ends the program; the desktop goes with the X server.
  xdotool key alt+F4
  sleep 1
  exit 0
fi

if [ -n "${DISPLAY:-}" ]; then
  set +e
  cmake/wine-run.sh "$exe"
  code=$?
  echo "klimperdetektor ended with exit code $code"
  exit "$code"
fi

export ZQ_SOURCE_DIR="$root" ZQ_BINARY_DIR="$root/build/win32"
set +e
source tests/e2e/e2e_lib.sh
shot="$root/build/viewer-screenshot.png"

e2e_build_tools
e2e_start_xvfb
echo "No display: running the viewer on a private X server ($DISPLAY)."
e2e_start_program "$exe"
e2e_find_window

show() {
  echo "--- $1"
  e2e_screen_text | sed -n '1,8p'
}
show "no key held"
xdotool keydown a
sleep 0.5
xdotool keydown shift
sleep 0.5
import -window "$e2e_window" "$shot"
show "holding A and Shift (screenshot: $shot)"
xdotool keyup shift a
sleep 0.5
show "keys released"

echo "--- closing the window"
e2e_request_close
for i in $(seq 1 100); do
  kill -0 "$e2e_runner_pid" 2>/dev/null || break
  sleep 0.2
done
wait "$e2e_runner_pid"
code=$?
e2e_runner_pid=""
echo "klimperdetektor ended with exit code $code"
exit "$code"
