#!/usr/bin/env bash
# The checks beyond the unit tests, short enough for every CI run: the native
# suite in random order and repeated, the thread stress test under
# ThreadSanitizer, and every fuzz target for a few seconds. The last two need
# clang and are skipped without it.
#   tools/run_sanitizer_checks.sh [fuzz seconds per target, default 10]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-10}"
jobs="$(nproc)"
[ "$jobs" -gt 2 ] && jobs=2

echo "== native unit tests shuffled, three times"
build/native/tests/unit_tests --gtest_shuffle --gtest_repeat=3 --gtest_brief=1 >/dev/null

if ! command -v clang++ >/dev/null; then
  echo "clang++ not found: ThreadSanitizer and fuzzing skipped" >&2
  exit 0
fi

echo "== thread stress test under ThreadSanitizer"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs" >/dev/null
TSAN_OPTIONS="halt_on_error=1 exitcode=66" build/tsan/tests/thread_stress_test 3000

echo "== fuzz targets, ${seconds} s each"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs" >/dev/null
corpus_root="build/fuzz/corpus"
for target in lzw_decode_fuzz text_writer_fuzz public_api_fuzz text_value_fuzz key_translation_fuzz key_log_reader_fuzz; do
  mkdir -p "$corpus_root/$target"
  # Seeds where a target's input has a form of its own to start from.
  if [ -d "fuzz/seeds/$target" ]; then cp -n "fuzz/seeds/$target"/* "$corpus_root/$target/" || true; fi
  log="build/fuzz/$target.log"
  if ! "build/fuzz/fuzz/$target" -max_total_time="$seconds" -close_fd_mask=1 \
      -artifact_prefix="build/fuzz/$target-" "$corpus_root/$target" >"$log" 2>&1; then
    tail -40 "$log" >&2
    echo "$target: failed (log: $log)" >&2
    exit 1
  fi
  grep -h "^Done" "$log" | sed "s/^/$target: /"
done
