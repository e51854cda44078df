#include "keys/log/key_log.h"

#include <cstring>

#include "keys/log/log_settings.h"

void key_log_reset(KeyLog* log, int chatter_ms) {
  if (log == nullptr) return;
  std::memset(log, 0, sizeof *log);
  if (chatter_ms < kMinChatterMs) chatter_ms = kMinChatterMs;
  if (chatter_ms > kMaxChatterMs) chatter_ms = kMaxChatterMs;
  log->chatter_us = static_cast<int64_t>(chatter_ms) * 1000;
  for (KeyStats& stats : log->keys) {
    stats.smallest_gap_us = -1;
    stats.last_release_us = -1;
  }
}

namespace {

void note_most_held(KeyLog* log) {
  if (log->held <= log->most_held) return;
  log->most_held = log->held;
  for (int key = 0; key < kKeyIdCount; ++key) log->most_held_keys[key] = log->keys[key].held;
}

KeyMark mark_press(KeyLog* log, KeyStats* stats, int64_t gap_us) {
  if (gap_us < 0) return KeyMark::kNone;
  if (stats->smallest_gap_us < 0 || gap_us < stats->smallest_gap_us) stats->smallest_gap_us = gap_us;
  if (gap_us < kZeroGapBoundUs) {
    ++stats->zero_gap;
    return KeyMark::kZeroGap;
  }
  if (gap_us <= log->chatter_us) {
    ++stats->chatter;
    return KeyMark::kChatter;
  }
  return KeyMark::kNone;
}

}  // namespace

bool key_log_record(KeyLog* log, int64_t time_us, int key, bool down, KeyLogLine* line, int device) {
  if (log == nullptr || line == nullptr || key < 0 || key >= kKeyIdCount) return false;
  KeyStats* stats = &log->keys[key];
  if (stats->held == down) return false;

  KeyLogLine result{time_us, key, down, 0, -1, KeyMark::kNone, device};
  stats->held = down;
  if (down) {
    ++log->held;
    ++stats->presses;
    stats->device = device;
    // Events can arrive stamped slightly out of order across a clock
    // correction; such a gap is no real one and counts as zero. Compared
    // before subtracting, which cannot then overflow.
    if (stats->last_release_us >= 0)
      result.gap_us = time_us < stats->last_release_us ? 0 : time_us - stats->last_release_us;
    result.mark = mark_press(log, stats, result.gap_us);
    note_most_held(log);
  } else {
    --log->held;
    stats->last_release_us = time_us;
  }
  result.held = log->held;
  ++log->events;
  *line = result;
  return true;
}

bool key_log_release_lost(KeyLog* log, int64_t time_us, int key, KeyLogLine* line) {
  if (log == nullptr || line == nullptr || key < 0 || key >= kKeyIdCount) return false;
  KeyStats& stats = log->keys[key];
  if (!stats.held) return false;
  stats.held = false;
  stats.last_release_us = -1;
  --log->held;
  ++log->events;
  *line = {time_us, key, false, log->held, -1, KeyMark::kFocusLost, stats.device};
  return true;
}

int key_log_release_all(KeyLog* log, int64_t time_us, KeyLogLine* lines, int capacity) {
  if (log == nullptr || lines == nullptr) return 0;
  int written = 0;
  for (int key = 0; key < kKeyIdCount && written < capacity; ++key)
    if (key_log_release_lost(log, time_us, key, &lines[written])) ++written;
  return written;
}
