# Shared by the end-to-end scripts: a private X server, the real program
# under Wine, its window, held keys, and the screen read back as text.
# Sourced, not run. Needs ZQ_SOURCE_DIR; ZQ_BINARY_DIR holds the helper tools.

e2e_source="${ZQ_SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}"
e2e_tools="${ZQ_BINARY_DIR:-${TMPDIR:-/tmp}}/e2e-tools"
e2e_work="$(mktemp -d)"
e2e_xvfb_pid=""
e2e_runner_pid=""
e2e_program_name=""
e2e_window=""

e2e_fail() {
  echo "FAIL: $*"
  exit 1
}

e2e_cleanup() {
  if [ -n "$e2e_runner_pid" ] && kill -0 "$e2e_runner_pid" 2>/dev/null; then
    local pid
    pid="$(e2e_program_pid)"
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    kill "$e2e_runner_pid" 2>/dev/null
    wait "$e2e_runner_pid" 2>/dev/null
  fi
  if [ -n "$e2e_xvfb_pid" ]; then
    kill "$e2e_xvfb_pid" 2>/dev/null
    wait "$e2e_xvfb_pid" 2>/dev/null
  fi
  rm -rf "$e2e_work"
}
trap e2e_cleanup EXIT

# The screen decoder and the close-request sender, built once per build tree.
e2e_build_tools() {
  mkdir -p "$e2e_tools"
  (
    flock 9
    local text="$e2e_tools/screen_text" close="$e2e_tools/x_close_request"
    if [ ! -x "$text" ] || [ "$e2e_source/tools/screen_text.cpp" -nt "$text" ] ||
       [ "$e2e_source/gfx/data/builtin_data_packed.cpp" -nt "$text" ]; then
      g++ -std=c++20 -O2 -I"$e2e_source" -o "$text.tmp" "$e2e_source/tools/screen_text.cpp" \
        "$e2e_source/gfx/data/lzw.cpp" "$e2e_source/gfx/data/builtin_data.cpp" \
        "$e2e_source/gfx/data/builtin_data_packed.cpp" && mv "$text.tmp" "$text"
    fi
    if [ ! -x "$close" ] || [ "$e2e_source/tools/x_close_request.c" -nt "$close" ]; then
      gcc -O2 -o "$close.tmp" "$e2e_source/tools/x_close_request.c" -lX11 && mv "$close.tmp" "$close"
    fi
  ) 9>"$e2e_tools/.lock"
  [ -x "$e2e_tools/screen_text" ] || e2e_fail "could not build the screen decoder"
  [ -x "$e2e_tools/x_close_request" ] || e2e_fail "could not build the close-request sender"
}

# Each script gets an X server of its own: no window manager, no other
# client competing for the keyboard focus.
e2e_start_xvfb() {
  local fifo number
  fifo="$e2e_work/display"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  e2e_xvfb_pid=$!
  read -r -t 30 number <"$fifo" || e2e_fail "Xvfb did not start"
  export DISPLAY=":$number"
}

# Starts the program; extra arguments are environment assignments.
e2e_start_program() {
  local exe="$1"
  shift
  e2e_program_name="$(basename "$exe")"
  env "$@" "$e2e_source/cmake/wine-run.sh" "$exe" >"$e2e_work/program.log" 2>&1 &
  e2e_runner_pid=$!
}

# The Wine process of the program: the runner's descendant that carries the
# program's name. (Not simply the first child: without a display the runner
# starts an X server of its own first.)
e2e_program_pid() {
  [ -n "$e2e_runner_pid" ] || return 0
  local queue="$e2e_runner_pid" pid child
  while [ -n "$queue" ]; do
    read -r pid queue <<<"$queue"
    for child in $(cat /proc/"$pid"/task/*/children 2>/dev/null); do
      if tr '\0' ' ' <"/proc/$child/cmdline" 2>/dev/null | grep -qF "$e2e_program_name"; then
        echo "$child"
        return 0
      fi
      queue="$queue $child"
    done
  done
}

# Waits for the program's window (the first start of a Wine prefix is slow).
e2e_find_window() {
  local i
  for i in $(seq 1 240); do
    e2e_window="$(xdotool search --onlyvisible --name '^klimperdetektor$' 2>/dev/null | head -n 1)"
    if [ -n "$e2e_window" ]; then
      e2e_focus
      return 0
    fi
    kill -0 "$e2e_runner_pid" 2>/dev/null || e2e_fail "the program ended without a window: $(cat "$e2e_work/program.log")"
    sleep 0.5
  done
  e2e_fail "no window named klimperdetektor appeared"
}

# Gives the window the keyboard focus (there is no window manager to do it).
e2e_focus() {
  local i
  for i in $(seq 1 50); do
    xdotool windowfocus "$e2e_window" 2>/dev/null
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$e2e_window" ] && return 0
    sleep 0.1
  done
  e2e_fail "the window did not get the keyboard focus"
}

# The 25 text rows of the window as the decoder reads them.
e2e_screen_text() {
  import -window "$e2e_window" "$e2e_work/screen.ppm" 2>/dev/null || return 1
  "$e2e_tools/screen_text" "$e2e_work/screen.ppm"
}

# Waits until text row $1 (1-based) reads exactly $2; fails with the screen
# shown otherwise. The bound only keeps a broken run from hanging.
e2e_expect_row() {
  local row="$1" expected="$2" i text
  for i in $(seq 1 50); do
    text="$(e2e_screen_text)"
    if [ "$(printf '%s\n' "$text" | sed -n "${row}p")" = "$expected" ]; then
      echo "ok: row $row reads '$expected'"
      return 0
    fi
    sleep 0.2
  done
  printf '%s\n' "$text" | sed -n '1,8p' | sed 's/^/  | /'
  e2e_fail "row $row does not read '$expected'"
}

e2e_expect_client_size() {
  local geometry
  geometry="$(xdotool getwindowgeometry "$e2e_window" | sed -n 's/.*Geometry: //p')"
  [ "$geometry" = "320x200" ] || e2e_fail "client area is '$geometry', not 320x200"
  [ "$(xdotool getwindowname "$e2e_window")" = "klimperdetektor" ] || e2e_fail "title is not klimperdetektor"
  echo "ok: window klimperdetektor, client area $geometry"
}

# Waits for the program to end and checks its exit code.
e2e_expect_exit() {
  local expected="$1" i code
  for i in $(seq 1 100); do
    kill -0 "$e2e_runner_pid" 2>/dev/null || break
    sleep 0.2
  done
  kill -0 "$e2e_runner_pid" 2>/dev/null && e2e_fail "the program did not end"
  wait "$e2e_runner_pid"
  code=$?
  e2e_runner_pid=""
  [ "$code" = "$expected" ] || e2e_fail "exit code $code, expected $expected"
  echo "ok: exit code $code"
}

e2e_request_close() {
  "$e2e_tools/x_close_request" "$e2e_window" || e2e_fail "could not send the close request"
}

# Which driver opened, told from outside the program: the DirectX driver
# keeps ddraw.dll and dinput.dll loaded while it runs; the GDI driver never
# loads dinput.dll (Wine keeps a ddraw.dll once loaded, so that one alone
# proves nothing). The tests back this with what only DirectX does: the left
# Shift key alone lists 42, not 42, 54.
e2e_expect_driver() {
  local expected="$1" pid maps opened=gdi
  pid="$(e2e_program_pid)"
  [ -n "$pid" ] || e2e_fail "no program process to inspect"
  maps="$(cat "/proc/$pid/maps" 2>/dev/null)"
  if grep -qiE '[/\\]ddraw\.dll$' <<<"$maps" && grep -qiE '[/\\]dinput\.dll$' <<<"$maps"; then
    opened=directx
  fi
  [ "$opened" = "$expected" ] || e2e_fail "the loaded libraries say '$opened', expected '$expected'"
  echo "ok: the $expected driver is open"
}
