// Natively there is no window to read keys from: the log says so and the
// viewer runs on.
#include "keys/source/key_source.h"

int key_input_start(const KeyConsumer*, int, const char** reason, bool) {
  if (reason != nullptr) *reason = "this build reads no keyboard events to log";
  return -1;
}

void key_input_deliver() {}

void key_input_stop() {}

int64_t key_input_now_us() { return 0; }

LogClockInfo key_input_clock() { return LogClockInfo{0, "none"}; }
