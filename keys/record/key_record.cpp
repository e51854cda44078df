#include "keys/record/key_record.h"

#include <cstdlib>

namespace {

bool append_locked(KeyRecord* record, KeyEvent event) {
  const uint32_t count = record->count.load(std::memory_order_relaxed);
  const uint32_t chunk = count / kKeyRecordChunkEvents;
  KeyEvent* events = chunk < kKeyRecordMaxChunks ? record->chunks[chunk].load(std::memory_order_relaxed) : nullptr;
  if (events == nullptr && chunk < kKeyRecordMaxChunks) {
    events = static_cast<KeyEvent*>(std::malloc(sizeof(KeyEvent) * kKeyRecordChunkEvents));
    if (events != nullptr) record->chunks[chunk].store(events, std::memory_order_release);
  }
  if (events == nullptr) {
    if (record->dropped.fetch_add(1, std::memory_order_relaxed) == 0)
      record->dropped_from_us.store(event.time_us, std::memory_order_release);
    return false;
  }
  if (count > 0 && event.time_us < record->last_time_us) event.time_us = record->last_time_us;
  record->last_time_us = event.time_us;
  events[count % kKeyRecordChunkEvents] = event;
  record->count.store(count + 1, std::memory_order_release);
  return true;
}

}  // namespace

bool key_record_append(KeyRecord* record, const KeyEvent& event) {
  if (record == nullptr) return false;
  while (record->appending.test_and_set(std::memory_order_acquire)) {
  }
  const bool kept = append_locked(record, event);
  record->appending.clear(std::memory_order_release);
  return kept;
}

uint32_t key_record_count(const KeyRecord* record) {
  return record == nullptr ? 0 : record->count.load(std::memory_order_acquire);
}

const KeyEvent* key_record_at(const KeyRecord* record, uint32_t index) {
  if (record == nullptr || index >= record->count.load(std::memory_order_acquire)) return nullptr;
  const KeyEvent* events = record->chunks[index / kKeyRecordChunkEvents].load(std::memory_order_acquire);
  return events + index % kKeyRecordChunkEvents;
}

uint32_t key_record_dropped(const KeyRecord* record) {
  return record == nullptr ? 0 : record->dropped.load(std::memory_order_acquire);
}

int64_t key_record_dropped_from_us(const KeyRecord* record) {
  return record == nullptr || key_record_dropped(record) == 0
             ? -1
             : record->dropped_from_us.load(std::memory_order_acquire);
}

void key_record_clear(KeyRecord* record) {
  if (record == nullptr) return;
  for (auto& chunk : record->chunks) std::free(chunk.exchange(nullptr, std::memory_order_relaxed));
  record->count.store(0, std::memory_order_relaxed);
  record->last_time_us = 0;
  record->dropped.store(0, std::memory_order_relaxed);
  record->dropped_from_us.store(-1, std::memory_order_release);
}
