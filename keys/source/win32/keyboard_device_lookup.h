// The number of the keyboard behind a raw input record, named from what the
// system says of the device. On the key source's thread only.
#pragma once

#include <windows.h>

// Forgets every keyboard; before the source starts.
void keyboard_device_lookup_reset();

// The keyboard's number (1 up; kNoKeyDevice when the list is full). The
// first event from a device adds it: its raw-input name and, where the
// device answers, the product's own name. A device the system cannot name
// (input made up by a program has none) is listed as unnamed.
int keyboard_device_lookup(HANDLE device);

// Unloads what the naming loaded; safe twice.
void keyboard_device_lookup_release();
