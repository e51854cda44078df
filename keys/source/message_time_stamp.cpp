#include "keys/source/message_time_stamp.h"

void message_time_stamp_reset(MessageTimeStamp* stamp) {
  if (stamp != nullptr) *stamp = MessageTimeStamp{};
}

int64_t stamp_message_time(MessageTimeStamp* stamp, uint32_t message_time, int64_t arrival_us) {
  if (stamp == nullptr) return arrival_us;
  if (!stamp->seen) {
    stamp->seen = true;
    stamp->message_time_ms = 0;
    stamp->offset_us = arrival_us;
  } else {
    // The difference as a signed 32-bit value unwraps across the 49-day wrap,
    // and a message time a little older than the last one steps back.
    stamp->message_time_ms += static_cast<int32_t>(message_time - stamp->last_message_time);
  }
  stamp->last_message_time = message_time;
  const int64_t offset = arrival_us - stamp->message_time_ms * 1000;
  if (offset < stamp->offset_us) stamp->offset_us = offset;
  return stamp->message_time_ms * 1000 + stamp->offset_us;
}
