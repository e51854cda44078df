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
source tools/xvfb_start.sh
trap zq_xvfb_stop EXIT
if [ -z "${DISPLAY:-}" ]; then
  zq_xvfb_start 20 || { echo "run_tests: Xvfb did not start" >&2; exit 1; }
fi
ctest --preset win32
