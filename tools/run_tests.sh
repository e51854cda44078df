#!/usr/bin/env bash
# Runs every test: native unit tests with sanitizers, then the Windows build
# with its tests and the end-to-end runs of the real program under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh

jobs="$(nproc)"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"
tools/run_sanitizer_checks.sh

cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$jobs"
# One private X server for the whole Windows run; the Wine runner and the
# end-to-end scripts start their own only when no display is given.
if [ -z "${DISPLAY:-}" ]; then
  fifo="$(mktemp -u)"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
  read -r -t 20 number <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":${number}"
fi
ctest --preset win32
