#!/usr/bin/env bash
# Command-line options: bad ones end with a one-line error and exit code 2
# before any window opens; --help and --version print and end with 0.
set -uo pipefail
exe="$1"
source "$(dirname "$0")/e2e_lib.sh"

e2e_start_xvfb
runner="$e2e_source/cmake/wine-run.sh"

# Watches for a window of the program while the runs go on.
( while :; do
    xdotool search --name '^klimperdetektor$' >>"$e2e_work/windows" 2>/dev/null
    sleep 0.05
  done ) &
watcher=$!
# A failing check exits at once: the watcher must not outlive it (it would
# hold the test's output open until CTest's time limit).
trap 'kill "$watcher" 2>/dev/null; e2e_cleanup' EXIT

for args in "--chatter-ms 0" "--chatter-ms x" "--log=xml" "--nonsense" "--log --chatter-ms 1001" \
            "--map=xyz" "--map=" "--map=ANSI" "--scale 0" "--scale 9" "--scale x" "--scale" \
            "--keyboard 17" "--keyboard 046d:" "--keyboard" "a.csv b.csv" "--replay" \
            "--lang fr" "--lang DE" "--lang=" "--lang"; do
  # shellcheck disable=SC2086  # the arguments are meant to split
  "$runner" "$exe" $args >"$e2e_work/out" 2>"$e2e_work/err"
  code=$?
  [ "$code" = 2 ] || e2e_fail "'$args': exit code $code, expected 2"
  [ ! -s "$e2e_work/out" ] || e2e_fail "'$args': wrote to standard output"
  [ "$(e2e_text "$e2e_work/err" | wc -l)" = 1 ] || e2e_fail "'$args': not one line: $(cat "$e2e_work/err")"
  grep -q '^klimperdetektor: ' "$e2e_work/err" || e2e_fail "'$args': $(cat "$e2e_work/err")"
  echo "ok: '$args' -> exit 2, $(tr -d '\r' <"$e2e_work/err")"
done

"$runner" "$exe" --help >"$e2e_work/out" 2>&1 || e2e_fail "--help did not end with 0"
grep -q '^Usage: klimperdetektor .*--log.*--map' "$e2e_work/out" || e2e_fail "--help: $(cat "$e2e_work/out")"
grep -q -- '--scale N|auto' "$e2e_work/out" || e2e_fail "--help: $(cat "$e2e_work/out")"
"$runner" "$exe" --version >"$e2e_work/out" 2>&1 || e2e_fail "--version did not end with 0"
[ "$(tr -d '\r' <"$e2e_work/out")" = "$(sed -n 's/^project(klimperdetektor VERSION \([0-9.]*\).*/klimperdetektor \1/p' "$e2e_source/CMakeLists.txt")" ] ||
  e2e_fail "--version: $(cat "$e2e_work/out")"
echo "ok: --help and --version"

kill "$watcher" 2>/dev/null
wait "$watcher" 2>/dev/null
[ ! -s "$e2e_work/windows" ] || e2e_fail "a window was opened"
echo "ok: no window opened"
echo PASS
