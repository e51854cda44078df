// What a saved report says about the machine it was made on: the local
// time with its offset from UTC, the system's version and its keyboard
// layout. One implementation for Windows (sys/win32) and one for POSIX.
#pragma once

#include <cstddef>

namespace sys {

struct LocalTime {
  int year, month, day;  // month and day from 1
  int hour, minute, second;
  int utc_offset_minutes;  // local time minus UTC: +120 in Central European summer time
};

// The clock's local time now; false (and a zeroed time) when the system gives none.
bool local_time_now(LocalTime* time);

// The system's name and version in a few words, e.g. "Windows 10.0 build
// 19045"; always terminated, cut to size.
void system_version_text(char* text, size_t size);

// The keyboard layout in use, by name and number, e.g. "German (Germany),
// layout 00000407"; always terminated, cut to size.
void keyboard_layout_text(char* text, size_t size);

// Text in the system's own code page (a command-line argument) as UTF-8,
// always terminated, cut to size at a character's end. POSIX takes its text
// to be UTF-8 already and copies it.
void system_text_to_utf8(const char* text, char* utf8, size_t size);

}  // namespace sys
