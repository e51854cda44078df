# Shared by the end-to-end scripts: a private X server, the real program
# under Wine, its window, held keys, and the screen read back as text.
# Sourced, not run. Needs ZQ_SOURCE_DIR; ZQ_BINARY_DIR holds the helper tools.

e2e_source="${ZQ_SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}"
e2e_tools="${ZQ_BINARY_DIR:-${TMPDIR:-/tmp}}/e2e-tools"
e2e_work="$(mktemp -d)"
source "$e2e_source/tools/xvfb_start.sh"
e2e_runner_pid=""
e2e_program_name=""
e2e_program_env=()
e2e_window=""
# The title of the program's window: its file name without the extension.
e2e_window_name="klimperdetektor"

# The program speaks the language of the messages' locale (Wine takes its
# user interface language from it): English in every script, whatever the
# machine's, unless a script asks for another.
unset LC_ALL LANGUAGE
export LC_MESSAGES=C

# A wineserver still up from the script before belongs to that script's X
# server, now gone, and would take this script's windows there: each script
# starts with the prefix's server ended.
(
  source "$e2e_source/cmake/wine-env.sh"
  wineserver -k
  wineserver -w
) >/dev/null 2>&1

e2e_fail() {
  echo "FAIL: $*"
  exit 1
}

e2e_cleanup() {
  e2e_stop_program
  zq_xvfb_stop
  rm -rf "$e2e_work"
}
trap e2e_cleanup EXIT

# The screen decoder and the close-request sender (tools/e2e), built for the
# host once per build tree; the Windows build makes them too, so under CTest
# this finds them up to date.
e2e_build_tools() {
  mkdir -p "$e2e_tools"
  (
    flock 9
    if [ ! -f "$e2e_tools/CMakeCache.txt" ]; then
      cmake -S "$e2e_source/tools/e2e" -B "$e2e_tools" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    fi
    cmake --build "$e2e_tools" >/dev/null
  ) 9>"$e2e_tools/.lock"
  [ -x "$e2e_tools/screen_text" ] || e2e_fail "could not build the screen decoder"
  [ -x "$e2e_tools/x_close_request" ] || e2e_fail "could not build the close-request sender"
  [ -x "$e2e_tools/x_key_code" ] || e2e_fail "could not build the key-code sender"
}

# The environment of a German system for Wine: a German messages' locale,
# compiled once per build tree with localedef (from the locales package)
# into a folder of its own, so that the machine's locales stay as they are.
# Prints the assignments for e2e_start_program_with_args.
e2e_german_locale() {
  local dir="${ZQ_BINARY_DIR:-${TMPDIR:-/tmp}}/e2e-locales"
  mkdir -p "$dir"
  (
    flock 9
    [ -d "$dir/de_DE.UTF-8" ] || localedef -i de_DE -f UTF-8 "$dir/de_DE.UTF-8" >/dev/null 2>&1
  ) 9>"$dir/.lock"
  [ -d "$dir/de_DE.UTF-8" ] || e2e_fail "no German locale could be made (localedef, package locales)"
  echo "LOCPATH=$dir LC_MESSAGES=de_DE.UTF-8"
}

# Each script gets an X server of its own: no window manager, no other
# client competing for the keyboard focus.
e2e_start_xvfb() {
  zq_xvfb_start 30 || e2e_fail "Xvfb did not start"
}

# Starts the program; extra arguments are environment assignments.
e2e_start_program() {
  local exe="$1"
  shift
  e2e_program_name="$(basename "$exe")"
  e2e_program_env=("$@")
  env "$@" "$e2e_source/cmake/wine-run.sh" "$exe" >"$e2e_work/program.log" 2>&1 &
  e2e_runner_pid=$!
}

# Starts the program with command-line arguments; standard output goes to
# $e2e_stdout, standard error to the log. Environment assignments come
# first, then the program: e2e_start_program_with_args ZQGFX=gdi -- exe args.
e2e_stdout="$e2e_work/stdout"
# A file's text without the carriage returns that end Windows lines. Under
# pipefail a reader that stops early (grep -q, head) would make the pipe fail
# whenever tr still had text to write: the broken pipe is not a failure here.
e2e_text() { tr -d '\r' <"$1" || true; }
# The program's standard output as text.
e2e_stdout_text() { e2e_text "$e2e_stdout"; }
# Standard error (the program's log beside its output) is exactly one line,
# matching the extended regular expression $1.
e2e_expect_one_error_line() {
  local said
  said="$(tr -d '\r' <"$e2e_work/program.log")"
  [ "$(printf '%s\n' "$said" | grep -c .)" = 1 ] || e2e_fail "not one line on standard error: $said"
  printf '%s\n' "$said" | grep -Eq "$1" || e2e_fail "standard error says: $said"
  echo "ok: $said"
}
e2e_start_program_with_args() {
  local assignments=()
  while [ "$1" != "--" ]; do
    assignments+=("$1")
    shift
  done
  shift
  local exe="$1"
  shift
  e2e_program_name="$(basename "$exe")"
  env "${assignments[@]}" "$e2e_source/cmake/wine-run.sh" "$exe" "$@" >"$e2e_stdout" \
    2>"$e2e_work/program.log" &
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
    e2e_window="$(xdotool search --onlyvisible --name "^$e2e_window_name\$" 2>/dev/null | head -n 1)"
    if [ -n "$e2e_window" ]; then
      e2e_focus
      return 0
    fi
    if ! kill -0 "$e2e_runner_pid" 2>/dev/null; then
      cat "$e2e_work/program.log"
      e2e_explain_no_window
      e2e_fail "the program ended without a window"
    fi
    sleep 0.5
  done
  e2e_explain_no_window
  e2e_fail "no window named $e2e_window_name appeared"
}

# Why no window appeared: the failure trace of a traced build says which
# step refused (ZQ_TRACE). With ZQ_E2E_TRACE=1 an untraced run is repeated
# with the traced program (preset win32-trace, built on demand); otherwise
# a hint says how to get the trace.
e2e_explain_no_window() {
  if grep -q '^zq trace:' "$e2e_work/program.log" 2>/dev/null; then
    echo "failure trace:"
    grep '^zq trace:' "$e2e_work/program.log" | sed 's/^/  /'
    return 0
  fi
  if [ "${ZQ_E2E_TRACE:-0}" != 1 ]; then
    echo "hint: rerun with ZQ_E2E_TRACE=1 to see which step refused (builds the win32-trace preset)"
    return 0
  fi
  echo "rerunning with the failure trace (preset win32-trace) ..."
  (cd "$e2e_source" && cmake --preset win32-trace >/dev/null &&
     cmake --build --preset win32-trace --target klimperdetektor >/dev/null) || {
    echo "  the traced build failed"
    return 0
  }
  e2e_stop_program
  e2e_start_program "$e2e_source/build/win32-trace/klimperdetektor.exe" "${e2e_program_env[@]}"
  local i
  for i in $(seq 1 40); do
    kill -0 "$e2e_runner_pid" 2>/dev/null || break
    xdotool search --onlyvisible --name '^klimperdetektor$' >/dev/null 2>&1 && break
    sleep 0.5
  done
  e2e_stop_program
  echo "failure trace:"
  grep '^zq trace:' "$e2e_work/program.log" | sed 's/^/  /'
}

# Ends the program and its runner, if still running.
e2e_stop_program() {
  if [ -n "$e2e_runner_pid" ] && kill -0 "$e2e_runner_pid" 2>/dev/null; then
    local pid
    pid="$(e2e_program_pid)"
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    kill "$e2e_runner_pid" 2>/dev/null
    wait "$e2e_runner_pid" 2>/dev/null
  fi
  e2e_runner_pid=""
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
  printf '%s\n' "$text" | sed 's/^/  | /'
  e2e_fail "row $row does not read '$expected'"
}

e2e_expect_client_size() {
  local geometry
  geometry="$(xdotool getwindowgeometry "$e2e_window" | sed -n 's/.*Geometry: //p')"
  [ "$geometry" = "320x200" ] || e2e_fail "client area is '$geometry', not 320x200"
  [ "$(xdotool getwindowname "$e2e_window")" = "$e2e_window_name" ] || e2e_fail "title is not $e2e_window_name"
  echo "ok: window $e2e_window_name, client area $geometry"
}

# The colour of the window's pixel ($1, $2) as "red,green,blue".
e2e_pixel() {
  import -window "$e2e_window" "$e2e_work/pixels.ppm" 2>/dev/null || return 1
  convert "$e2e_work/pixels.ppm" -format \
    "%[fx:round(255*p{$1,$2}.r)],%[fx:round(255*p{$1,$2}.g)],%[fx:round(255*p{$1,$2}.b)]" info:
}

# Waits until the window's pixel ($1, $2) has the colour $3 ("r,g,b").
e2e_expect_pixel() {
  local x="$1" y="$2" expected="$3" i colour=""
  for i in $(seq 1 50); do
    colour="$(e2e_pixel "$x" "$y")"
    if [ "$colour" = "$expected" ]; then
      echo "ok: pixel ($x, $y) is $expected"
      return 0
    fi
    sleep 0.2
  done
  e2e_fail "pixel ($x, $y) is '$colour', not $expected"
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

# The visible windows' ids, sorted, for telling a new one (a menu, a dialog).
e2e_visible_windows() { xdotool search --onlyvisible --name '' 2>/dev/null | sort; }

# Waits for a visible window that was not in the list $1; prints its id.
e2e_new_window() {
  local before="$1" i id
  for i in $(seq 1 50); do
    id="$(comm -13 <(printf '%s\n' "$before") <(e2e_visible_windows) | head -n 1)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

# A right click into the window, the menu's entry with the access letter
# $1, and in the Save or Open dialog titled $2 (a pattern) the name $3
# typed over the proposed one (kept when $3 is empty), then Return.
e2e_file_through_menu() {
  local letter="$1" title="$2" name="$3" before dialog="" i
  before="$(e2e_visible_windows)"
  xdotool mousemove --window "$e2e_window" 200 40 click 3
  e2e_new_window "$before" >/dev/null || e2e_fail "no popup menu after a right click"
  xdotool key "$letter"
  for i in $(seq 1 50); do
    dialog="$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1)"
    [ -n "$dialog" ] && break
    sleep 0.2
  done
  [ -n "$dialog" ] || e2e_fail "no dialog '$title' after '$letter' in the menu"
  xdotool windowfocus "$dialog"
  sleep 0.5
  # The proposed name is selected: typing replaces it.
  [ -z "$name" ] || xdotool type --delay 40 "$name"
  xdotool key Return
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
