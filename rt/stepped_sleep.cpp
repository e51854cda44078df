// Sleeps that a key press may end, polled every 50 ms.
#include "rt/stepped_sleep.h"

#include "sys/platform.h"

SleepFunction stepped_sleep_function = sys::sleep_ms;

void stepped_sleep(int milliseconds, int32_t (*take_key_hit)(), bool sleep_when_zero) {
  int remaining = milliseconds;
  if (remaining == kSleepUntilKey) {
    // The flag is tested before each step, so a key that came before the
    // sleep began ends it at once.
    while (!take_key_hit()) stepped_sleep_function(kSleepStepMs);
    return;
  }
  if (remaining >= 100) {
    while (remaining > kSleepStepMs) {
      if (take_key_hit()) return;
      stepped_sleep_function(kSleepStepMs);
      remaining -= kSleepStepMs;
    }
  }
  // Short sleeps and the rest of a long one are not ended by keys; negative
  // values other than -1 do not sleep.
  if (remaining > 0 || (remaining == 0 && sleep_when_zero))
    stepped_sleep_function(static_cast<uint32_t>(remaining));
}
