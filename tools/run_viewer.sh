#!/usr/bin/env bash
# Builds the Windows program and runs it under Wine. With a display the
# window opens there and the program runs until it is closed. Without one a
# private X server stands in: the viewer is shown a few held keys, a
# screenshot is saved, the screen is printed as text, and the window is
# closed the way a window manager closes it.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

tools/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target klimperdetektor
exe="$root/build/win32/klimperdetektor.exe"

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
