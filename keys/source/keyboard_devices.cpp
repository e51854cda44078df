#include "keys/source/keyboard_devices.h"

#include <atomic>
#include <cstring>

#include "keys/source/key_dispatch.h"
#include "keys/source/keyboard_device_id.h"

namespace {

struct Entry {
  KeyboardDevice device;  // written once, before count shows it
  std::atomic<int64_t> events;
  // The source thread's own: what it finds a keyboard by.
  uintptr_t handle;
  char device_name[256];
};

Entry entries[kMaxKeyboardDevices];
std::atomic<int> count{0};

}  // namespace

int keyboard_device_count() { return count.load(std::memory_order_acquire); }

bool keyboard_device_copy(int number, KeyboardDevice* out) {
  if (out == nullptr || number < 1 || number > keyboard_device_count()) return false;
  const Entry& entry = entries[number - 1];
  *out = entry.device;
  out->events = entry.events.load(std::memory_order_relaxed);
  return true;
}

void keyboard_devices_reset() {
  count.store(0, std::memory_order_release);
  for (Entry& entry : entries) {
    std::memset(&entry.device, 0, sizeof entry.device);
    entry.events.store(0, std::memory_order_relaxed);
    entry.handle = 0;
    entry.device_name[0] = '\0';
  }
}

int keyboard_device_find(uintptr_t handle) {
  const int known = keyboard_device_count();
  for (int i = 0; i < known; ++i)
    if (entries[i].handle == handle) return i + 1;
  return kNoKeyDevice;
}

int keyboard_device_add(uintptr_t handle, const char* device_name, const char* product_name) {
  const int known = keyboard_device_count();
  if (device_name == nullptr) device_name = "";
  // Names longer than the record are compared cut, as they are stored.
  for (int i = 0; device_name[0] != '\0' && i < known; ++i) {
    if (std::strncmp(entries[i].device_name, device_name, sizeof entries[i].device_name - 1) == 0) {
      entries[i].handle = handle;
      return i + 1;
    }
  }
  if (known >= kMaxKeyboardDevices) return kNoKeyDevice;
  Entry& entry = entries[known];
  std::memset(&entry.device, 0, sizeof entry.device);
  entry.device.number = known + 1;
  keyboard_device_parse_name(device_name, &entry.device);
  keyboard_device_set_name(&entry.device, product_name);
  entry.events.store(0, std::memory_order_relaxed);
  entry.handle = handle;
  std::strncpy(entry.device_name, device_name, sizeof entry.device_name - 1);
  entry.device_name[sizeof entry.device_name - 1] = '\0';
  count.store(known + 1, std::memory_order_release);
  return known + 1;
}

void keyboard_device_count_event(int number) {
  if (number >= 1 && number <= keyboard_device_count())
    entries[number - 1].events.fetch_add(1, std::memory_order_relaxed);
}
