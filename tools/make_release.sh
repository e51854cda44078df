#!/usr/bin/env bash
# Builds the release package: build/win32/release/klimperdetektor-<version>-win32.zip
# with klimperdetektor.exe, README.md (and its picture) and LICENSE.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target klimperdetektor
(cd build/win32 && cpack -C Release >/dev/null)
ls build/win32/release/klimperdetektor-*-win32.zip
