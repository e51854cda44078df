// The key-aware sleep shared by the graphics screen and the console: tested
// 50 ms steps while a long sleep lasts, then an untested rest.
#pragma once

#include <cstdint>

using SleepFunction = void (*)(uint32_t milliseconds);

// Every sleep of stepped_sleep goes through this pointer (sys::sleep_ms by
// default) so that tests can count the steps and press keys in between.
extern SleepFunction stepped_sleep_function;

constexpr int kSleepStepMs = 50;
constexpr int kSleepUntilKey = -1;

// take_key_hit reads and clears the side's key flag. -1 sleeps until a key
// comes; 100 ms or more sleeps in tested steps; anything else is one plain
// sleep that keys do not end. sleep_when_zero makes 0 a platform sleep of 0
// (a yield) rather than no sleep at all.
void stepped_sleep(int milliseconds, int32_t (*take_key_hit)(), bool sleep_when_zero);
