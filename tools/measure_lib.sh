# Shared by the measurement scripts: the program built (or given), a private
# X server, and the program started per driver with the driver it really
# uses told apart. Sourced, not run; the caller is in the source tree.

measure_root="$(pwd)"

# Parses [-LETTER value] [-e exe] [driver ...] into measure_value,
# measure_exe_given and measure_drivers (default: GDI DirectX).
measure_options() {
  local letter="$1" usage="$2" option
  shift 2
  measure_exe_given=""
  OPTIND=1
  while getopts "$letter:e:" option; do
    case "$option" in
      "$letter") measure_value="$OPTARG" ;;
      e) measure_exe_given="$OPTARG" ;;
      *) echo "usage: $usage" >&2; exit 2 ;;
    esac
  done
  shift $((OPTIND - 1))
  measure_drivers=("$@")
  [ ${#measure_drivers[@]} -gt 0 ] || measure_drivers=(GDI DirectX)
}

# Sets measure_exe: the given program, or the one built now.
measure_program() {
  if [ -n "${1:-}" ]; then
    measure_exe="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
  else
    cmake --preset win32 >/dev/null && cmake --build --preset win32 --target klimperdetektor >/dev/null || exit 1
    measure_exe="$measure_root/build/win32/klimperdetektor.exe"
  fi
  [ -f "$measure_exe" ] || { echo "no program at $measure_exe" >&2; exit 1; }
}

# Sets measure_floor_exe: the idle floor (tools/idle_floor.cpp) beside the
# program, or the one built now.
measure_floor_program() {
  measure_floor_exe="$(dirname "$measure_exe")/idle_floor.exe"
  if [ ! -f "$measure_floor_exe" ]; then
    cmake --preset win32 >/dev/null && cmake --build --preset win32 --target idle_floor >/dev/null || exit 1
    measure_floor_exe="$measure_root/build/win32/idle_floor.exe"
  fi
}

measure_start_x() {
  unset DISPLAY
  export ZQ_SOURCE_DIR="$measure_root" ZQ_BINARY_DIR="$measure_root/build/win32"
  source "$measure_root/tests/e2e/e2e_lib.sh"
  e2e_build_tools
  e2e_start_xvfb
}

# The driver a running program uses, told by the system libraries it loaded.
measure_driver_in_use() {
  local maps="/proc/$1/maps"
  if grep -qi '/ddraw\.dll' "$maps" 2>/dev/null; then echo DirectX
  elif grep -qi '/opengl32\.dll' "$maps" 2>/dev/null; then echo OpenGL
  else echo GDI
  fi
}

# Starts the program with ZQGFX=$1 (and the program arguments after it) and
# waits for its window; sets measure_pid and measure_used (with a note when
# the driver was passed over).
measure_start() {
  # The idle floor has a window of its own name and no driver.
  local floor=0
  if [ "$(basename "$measure_exe")" = idle_floor.exe ]; then
    floor=1
    e2e_window_name=idle_floor
  fi
  if [ $# -gt 1 ]; then
    e2e_start_program_with_args ZQGFX="$1" -- "$measure_exe" "${@:2}"
  else
    e2e_start_program "$measure_exe" ZQGFX="$1"
  fi
  e2e_find_window
  measure_pid="$(e2e_program_pid)"
  sleep 2  # start-up settles
  measure_used="$(measure_driver_in_use "$measure_pid")"
  if [ "$floor" = 1 ]; then measure_used=floor; return 0; fi
  if [ "${measure_used,,}" != "${1,,}" ]; then measure_used="$measure_used (no $1: fell back)"; fi
}

measure_stop() {
  local i
  e2e_request_close
  for i in $(seq 1 100); do
    kill -0 "$e2e_runner_pid" 2>/dev/null || break
    sleep 0.2
  done
  wait "$e2e_runner_pid" 2>/dev/null
  e2e_runner_pid=""
}
