// Every event of the test, kept from the start until the program ends, in
// chunks that are allocated as the test grows (an idle program holds none).
// The key source's thread appends, and the program's thread now and then
// (the test begun again): appends take a spin flag, held for a few stores.
// Any thread reads what was published without a lock: an event is complete
// before the count shows it, and chunks never move.
#pragma once

#include <atomic>
#include <cstdint>

#include "keys/record/key_event.h"

constexpr uint32_t kKeyRecordChunkEvents = 8192;  // 128 KiB a chunk
constexpr uint32_t kKeyRecordMaxChunks = 512;
// 4,194,304 events, 64 MiB: days of typing.
constexpr uint32_t kKeyRecordCapacity = kKeyRecordChunkEvents * kKeyRecordMaxChunks;

struct KeyRecord {
  std::atomic_flag appending = ATOMIC_FLAG_INIT;
  int64_t last_time_us;  // of the last event kept, under the flag
  std::atomic<KeyEvent*> chunks[kKeyRecordMaxChunks];
  std::atomic<uint32_t> count;
  // Past the capacity (or when memory runs out) events are counted, not
  // kept; the time of the first one not kept, -1 while all were.
  std::atomic<uint32_t> dropped;
  std::atomic<int64_t> dropped_from_us;
};

// Appends one event; false, counted as dropped, when the record is full or
// no memory is left. A null record takes nothing. Times never go back in the
// record: an event stamped before the last one kept (a clock correction, or
// two threads) is kept at the last one's time.
bool key_record_append(KeyRecord* record, const KeyEvent& event);

// Any thread: the events published so far (0 for a null record).
uint32_t key_record_count(const KeyRecord* record);

// Any thread: event index, which must be below a count read before; null
// for an index beyond the count or a null record.
const KeyEvent* key_record_at(const KeyRecord* record, uint32_t index);

// Events not kept, and the time of the first of them (-1 when none).
uint32_t key_record_dropped(const KeyRecord* record);
int64_t key_record_dropped_from_us(const KeyRecord* record);

// Frees every chunk and empties the record. Only while nobody appends or
// reads (before the key source starts, after it stopped).
void key_record_clear(KeyRecord* record);
