// --keyboard: the map, the summary and the report count only one keyboard,
// chosen by its number or by its maker's and product's numbers. The log
// still records every keyboard; a filter wraps the consumers that count.
#pragma once

#include <cstdint>

#include "keys/source/key_dispatch.h"
#include "keys/source/keyboard_devices.h"

struct KeyboardFilter {
  int number;  // 1 up; 0 with by_id or when none is chosen
  bool by_id;  // vendor and product below choose
  uint16_t vendor;
  uint16_t product;
};

// "N" (1 to kMaxKeyboardDevices, digits only) or "VID:PID" (one to four hex
// digits each, either case). False, out untouched, for anything else.
bool parse_keyboard_filter(const char* text, KeyboardFilter* out);

// Whether a filter chooses a keyboard at all.
bool keyboard_filter_active(const KeyboardFilter& filter);

// Whether the keyboard with this number passes; no filter passes all. A
// keyboard not in the list (kNoKeyDevice) passes only when none is chosen.
bool keyboard_filter_passes(const KeyboardFilter& filter, int device);

// A consumer that hands on to inner only the keys of the chosen keyboard;
// the focus loss always passes. The holder keeps what the consumer needs and
// must outlive it. Without a filter inner itself is returned.
struct FilteredConsumer {
  KeyConsumer inner;
  KeyboardFilter filter;
  int8_t passes[kMaxKeyboardDevices + 1];  // per number: -1 not judged yet
};
KeyConsumer keyboard_filter_wrap(FilteredConsumer* holder, const KeyConsumer& inner,
                                 const KeyboardFilter& filter);

// The program's filter, from --keyboard; before the key source starts.
void keyboard_filter_set(const KeyboardFilter& filter);
const KeyboardFilter& keyboard_filter_program();

// inner wrapped in the program's filter (one holder: call once per start).
KeyConsumer keyboard_filter_consumer(const KeyConsumer& inner);

// The program's filter for the report and the summary: "keyboard 2",
// "keyboard 046D:C31C", or "" when every keyboard counts.
const char* keyboard_filter_text();
