// The keyboards that key events came from, numbered from 1 in the order they
// first sent a key. The key source fills the list on its thread; the program's
// thread reads it for the summary and the report after the source stopped, or
// copies it under keyboard_devices_lock.
#pragma once

#include <cstdint>

constexpr int kMaxKeyboardDevices = 16;

struct KeyboardDevice {
  int number;             // 1 up
  char id[64];            // "VID_046D&PID_C31C", or a built-in keyboard's plug-and-play id; "" unknown
  bool has_vendor;        // vendor and product below are read from id
  uint16_t vendor;
  uint16_t product;
  char name[128];         // the product's own name where the system gives one, else ""
  int64_t events;         // presses and releases counted from it
};
