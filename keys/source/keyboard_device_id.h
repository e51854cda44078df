// What a keyboard's raw-input device name says about it: the maker's and
// product's numbers of a USB or Bluetooth keyboard, or the plug-and-play id
// of a built-in one. Portable, so that every form of name is unit-tested.
#pragma once

#include <cstddef>
#include <cstdint>

// One keyboard as the list of keyboards (keyboard_devices.h) keeps it.
struct KeyboardDevice {
  int number;             // 1 up
  char id[64];            // "VID_046D&PID_C31C", or a built-in keyboard's plug-and-play id; "" unknown
  bool has_vendor;        // vendor and product below are read from id
  uint16_t vendor;
  uint16_t product;
  char name[128];         // the product's own name where the system gives one, else ""
  int64_t events;         // presses and releases counted from it
};

// Fills id, has_vendor, vendor and product of out from a device name such as
//   \\?\HID#VID_046D&PID_C31C&MI_00#7&2a0c4a8b&0&0000#{884b96c3-...}   USB
//   \\?\HID#{00001124-...}_VID&0002046d_PID&b342&Col01#8&...#{...}     Bluetooth
//   \\?\ACPI#PNP0303#4&1d401fb5&0#{884b96c3-...}                       built in
// giving "VID_046D&PID_C31C", "VID_046D&PID_B342" and "ACPI\PNP0303". A
// name that fits none of these (null, empty, cut short, not hex) leaves id
// "" or the enumerator and device part it has, and has_vendor false.
// Returns has_vendor. The other fields of out are left alone.
bool keyboard_device_parse_name(const char* device_name, KeyboardDevice* out);

// Copies a product name into out->name: control characters become blanks,
// blanks at the ends go, and a name too long is cut at a whole UTF-8
// character. Null counts as empty.
void keyboard_device_set_name(KeyboardDevice* out, const char* name);

// One line about the device for lists, without its number:
//   "Wine HID keyboard" (VID_845E&PID_0002)     named, with an id
//   unnamed (ACPI\PNP0303)                      no product name
//   unnamed                                     nothing known
// Always terminated, cut to size.
void keyboard_device_describe(const KeyboardDevice& device, char* out, size_t size);
