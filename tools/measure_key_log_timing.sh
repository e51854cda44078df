#!/usr/bin/env bash
# Measures how closely the key log's times follow real key presses: runs the
# program with --log=csv under Wine and Xvfb, types one key with known hold
# times and gaps from 3 to 60 ms in one xdotool chain, and prints how far the
# logged intervals lie from the injected ones. A measurement, not a test.
# Usage: tools/measure_key_log_timing.sh [klimperdetektor.exe] [presses]
set -uo pipefail
cd "$(dirname "$0")/.."
exe="${1:-build/win32/klimperdetektor.exe}"
presses="${2:-40}"
export ZQ_SOURCE_DIR="$PWD" ZQ_BINARY_DIR="$PWD/build/win32"
source tests/e2e/e2e_lib.sh

e2e_start_xvfb
e2e_start_program_with_args ZQGFX=gdi -- "$exe" --log=csv
e2e_find_window

# Settles the Wine stamps (they take the smallest arrival delay seen).
for i in $(seq 1 8); do xdotool keydown --delay 0 x sleep 0.03 keyup --delay 0 x sleep 0.03; done

# Intervals in ms: press-to-release and release-to-press, alternating.
intervals=()
chain=()
for i in $(seq 1 "$presses"); do
  hold=$(( 3 + RANDOM % 58 )) gap=$(( 3 + RANDOM % 58 ))
  intervals+=("$hold" "$gap")
  chain+=(keydown --delay 0 a sleep "0.$(printf '%03d' "$hold")" keyup --delay 0 a sleep "0.$(printf '%03d' "$gap")")
done
xdotool "${chain[@]}"
sleep 0.5
e2e_request_close
e2e_expect_exit 0 >/dev/null

tr -d '\r' <"$e2e_stdout" | awk -F, '$3 == 30 { print $1 }' >"$e2e_work/times"
[ "$(wc -l <"$e2e_work/times")" = $(( presses * 2 )) ] ||
  e2e_fail "logged $(wc -l <"$e2e_work/times") events of A, expected $(( presses * 2 ))"
printf '%s\n' "${intervals[@]}" | head -n $(( presses * 2 - 1 )) >"$e2e_work/injected"
awk 'NR > 1 { print $1 - previous } { previous = $1 }' "$e2e_work/times" |
  paste - "$e2e_work/injected" | awk '{ e = $1 - $2; print e < 0 ? -e : e }' | sort -n |
  awk '{ errors[NR] = $1; sum += $1; if ($1 > 1.5) above++ }
       END { printf "intervals: %d, error in ms: mean %.3f, median %.3f, max %.3f, above 1.5 ms: %d\n",
             NR, sum / NR, errors[int((NR + 1) / 2)], errors[NR], above }'
echo "(xdotool sleeps add their own scheduling delay to the injected intervals)"
