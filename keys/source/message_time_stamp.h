// Places a message time (whole milliseconds of a 32-bit clock that wraps
// after 49.7 days) onto the scale of a finer arrival clock. Portable, so that
// the arithmetic is tested without a window system.
#pragma once

#include <cstdint>

struct MessageTimeStamp {
  bool seen;                   // a first message time has been taken
  uint32_t last_message_time;  // the raw 32-bit time of the last event
  int64_t message_time_ms;     // that time unwrapped, from 0 at the first event
  int64_t offset_us;           // the smallest arrival delay seen: arrival - message time
};

// Starts over: the next event is taken as the first.
void message_time_stamp_reset(MessageTimeStamp* stamp);

// The stamp, in microseconds on the arrival clock, of an event that carried
// message_time and arrived at arrival_us. The offset only shrinks, so a stamp
// is never later than its own arrival, and stamps keep the message times'
// spacing. A null stamp answers the arrival time.
int64_t stamp_message_time(MessageTimeStamp* stamp, uint32_t message_time, int64_t arrival_us);
