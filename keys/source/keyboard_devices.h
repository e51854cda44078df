// The keyboards that key events came from, numbered from 1 in the order they
// first sent a key. The key source adds them on its thread before it hands
// on their first event; any thread may count and copy them at any time: the
// list only grows, each entry is complete before the count shows it, and
// the event counts are atomic.
#pragma once

#include <cstdint>

#include "keys/source/keyboard_device_id.h"

constexpr int kMaxKeyboardDevices = 16;

// The keyboards known so far.
int keyboard_device_count();

// Copies keyboard number (1 up) into out; false, out untouched, for a number
// not (yet) in the list or a null out.
bool keyboard_device_copy(int number, KeyboardDevice* out);

// The source's side, on its one thread.
//
// Forgets every keyboard; before the source starts.
void keyboard_devices_reset();

// The number of the keyboard the system calls handle; kNoKeyDevice (0) when
// it has none yet.
int keyboard_device_find(uintptr_t handle);

// Adds the keyboard with its system handle, its raw-input device name and
// its product name (either may be null or empty: listed as unnamed) and
// returns its number. A name seen before under another handle (unplugged
// and plugged in again) gets its old number back. kNoKeyDevice when the list
// is full.
int keyboard_device_add(uintptr_t handle, const char* device_name, const char* product_name);

// One more press or release from keyboard number; other numbers are ignored.
void keyboard_device_count_event(int number);
