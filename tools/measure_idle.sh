#!/usr/bin/env bash
# The program's CPU share while its window is open and nothing changes, per
# video driver, side by side: the utime + stime ticks of the program's own
# process (all its threads) in /proc over a fixed time, under Wine on a
# private X server. The Wine server's ticks over the same time are shown
# beside them: each system call the program makes there costs time there.
#
#   tools/measure_idle.sh [-s seconds] [-e exe] [driver ...]
#
# The drivers are ZQGFX values (default: GDI DirectX). A driver the program
# does not have is passed over by the program; the row then says which one
# was in use instead (told by the system libraries the process has loaded).
set -uo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

seconds=20
exe=""
while getopts "s:e:" option; do
  case "$option" in
    s) seconds="$OPTARG" ;;
    e) exe="$OPTARG" ;;
    *) echo "usage: $0 [-s seconds] [-e exe] [driver ...]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
drivers=("$@")
[ ${#drivers[@]} -gt 0 ] || drivers=(GDI DirectX)

if [ -z "$exe" ]; then
  cmake --preset win32 >/dev/null && cmake --build --preset win32 --target klimperdetektor >/dev/null || exit 1
  exe="$root/build/win32/klimperdetektor.exe"
fi
exe="$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")"

unset DISPLAY
export ZQ_SOURCE_DIR="$root" ZQ_BINARY_DIR="$root/build/win32"
source tests/e2e/e2e_lib.sh
e2e_build_tools
e2e_start_xvfb

ticks_per_second="$(getconf CLK_TCK)"
wineprefix="${ZQ_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/zq-wineprefix}"

# utime + stime of one process, in clock ticks.
process_ticks() {
  local stat
  stat="$(cat "/proc/$1/stat" 2>/dev/null)" || { echo 0; return; }
  stat="${stat##*) }"  # the name may hold blanks; fields from the state on
  read -r -a fields <<<"$stat"
  echo $((fields[11] + fields[12]))
}

# The Wine server of our prefix works in a directory named server-DEV-INODE
# after the prefix directory.
wineserver_pid() {
  local dir pid
  dir="$(printf 'server-%x-%x' "$(stat -c %d "$wineprefix")" "$(stat -c %i "$wineprefix")")"
  for pid in $(pgrep -x 'wineserver(32|64)?'); do
    [ "$(basename "$(readlink "/proc/$pid/cwd" 2>/dev/null)")" = "$dir" ] && echo "$pid" && return
  done
}

driver_in_use() {
  local maps="/proc/$1/maps"
  if grep -qi '/ddraw\.dll' "$maps" 2>/dev/null; then echo DirectX
  elif grep -qi '/opengl32\.dll' "$maps" 2>/dev/null; then echo OpenGL
  else echo GDI
  fi
}

percent() { awk -v t="$1" -v s="$seconds" -v hz="$ticks_per_second" 'BEGIN { printf "%.2f", 100 * t / (s * hz) }'; }

echo "Idle CPU over ${seconds} s, $(basename "$exe") ($(stat -c %s "$exe") bytes), ${ticks_per_second} ticks/s"
printf '%-10s %-28s %8s %8s %12s %9s\n' ZQGFX "driver in use" ticks "% core" wineserver "% core"
for driver in "${drivers[@]}"; do
  e2e_start_program "$exe" ZQGFX="$driver"
  e2e_find_window
  pid="$(e2e_program_pid)"
  server="$(wineserver_pid)"
  sleep 2  # start-up settles
  used="$(driver_in_use "$pid")"
  if [ "${used,,}" != "${driver,,}" ]; then used="$used (no $driver: fell back)"; fi
  before="$(process_ticks "$pid")"
  server_before="$( [ -n "$server" ] && process_ticks "$server" || echo 0)"
  sleep "$seconds"
  after="$(process_ticks "$pid")"
  server_after="$( [ -n "$server" ] && process_ticks "$server" || echo 0)"
  ticks=$((after - before))
  server_ticks=$((server_after - server_before))
  printf '%-10s %-28s %8d %8s %12d %9s\n' "$driver" "$used" "$ticks" "$(percent "$ticks")" \
    "$server_ticks" "$(percent "$server_ticks")"
  e2e_request_close
  for i in $(seq 1 100); do
    kill -0 "$e2e_runner_pid" 2>/dev/null || break
    sleep 0.2
  done
  wait "$e2e_runner_pid" 2>/dev/null
  e2e_runner_pid=""
done
