#include "keys/source/keyboard_device_id.h"

#include <cstring>
#include <initializer_list>

namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = upper(c);
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The first place in [begin, end) where word starts, case ignored; null if none.
const char* find_word(const char* begin, const char* end, const char* word) {
  const size_t length = std::strlen(word);
  for (const char* p = begin; p + length <= end; ++p) {
    size_t i = 0;
    while (i < length && upper(p[i]) == word[i]) ++i;
    if (i == length) return p;
  }
  return nullptr;
}

// The hex number right after word in [begin, end), which must run for
// min_digits to max_digits digits; its last four are the value (Bluetooth
// names put the vendor id's source before the vendor: 0002 for a USB id).
bool read_hex_after(const char* begin, const char* end, const char* word, int min_digits, int max_digits,
                    uint16_t* value) {
  const char* p = find_word(begin, end, word);
  if (p == nullptr) return false;
  p += std::strlen(word);
  int digits = 0;
  uint32_t number = 0;
  while (p + digits < end && hex_value(p[digits]) >= 0) {
    number = (number << 4 | static_cast<uint32_t>(hex_value(p[digits]))) & 0xFFFF;
    ++digits;
  }
  if (digits < min_digits || digits > max_digits) return false;
  *value = static_cast<uint16_t>(number);
  return true;
}

// Appends to a fixed buffer, always terminated; characters outside
// printable ASCII become '?', so an id is safe in every output form.
struct IdText {
  char* out;
  size_t size;
  size_t used = 0;
  void put(char c) {
    if (used + 1 >= size) return;
    out[used++] = c >= 0x20 && c < 0x7F ? c : '?';
    out[used] = '\0';
  }
  void text(const char* begin, const char* end) {
    for (const char* p = begin; p < end; ++p) put(*p);
  }
  void hex4(uint16_t value) {
    for (int shift = 12; shift >= 0; shift -= 4) put("0123456789ABCDEF"[value >> shift & 0xF]);
  }
};

}  // namespace

bool keyboard_device_parse_name(const char* device_name, KeyboardDevice* out) {
  if (out == nullptr) return false;
  out->id[0] = '\0';
  out->has_vendor = false;
  out->vendor = 0;
  out->product = 0;
  if (device_name == nullptr) return false;

  // \\?\ENUMERATOR#DEVICE#INSTANCE#{CLASS}; the prefix differs by the API
  // that made the name (\??\ from the kernel's side).
  const char* name = device_name;
  for (const char* prefix : {"\\\\?\\", "\\??\\", "\\\\.\\"})
    if (std::strncmp(name, prefix, std::strlen(prefix)) == 0) name += std::strlen(prefix);
  const char* enumerator_end = std::strchr(name, '#');
  if (enumerator_end == nullptr || enumerator_end == name) return false;
  const char* device = enumerator_end + 1;
  const char* device_end = std::strchr(device, '#');
  if (device_end == nullptr) device_end = device + std::strlen(device);
  if (device_end == device) return false;

  IdText id{out->id, sizeof out->id};
  uint16_t vendor = 0, product = 0;
  const bool usb = read_hex_after(device, device_end, "VID_", 4, 4, &vendor) &&
                   read_hex_after(device, device_end, "PID_", 4, 4, &product);
  const bool bluetooth = !usb && read_hex_after(device, device_end, "VID&", 4, 8, &vendor) &&
                         read_hex_after(device, device_end, "PID&", 4, 4, &product);
  if (usb || bluetooth) {
    id.text("VID_", "VID_" + 4);
    id.hex4(vendor);
    id.text("&PID_", "&PID_" + 5);
    id.hex4(product);
    out->has_vendor = true;
    out->vendor = vendor;
    out->product = product;
    return true;
  }
  id.text(name, enumerator_end);
  id.put('\\');
  id.text(device, device_end);
  return false;
}

void keyboard_device_set_name(KeyboardDevice* out, const char* name) {
  if (out == nullptr) return;
  out->name[0] = '\0';
  if (name == nullptr) return;
  while (*name == ' ' || (static_cast<unsigned char>(*name) < 0x20 && *name != '\0')) ++name;
  size_t used = 0;
  for (; *name != '\0' && used + 1 < sizeof out->name; ++name) {
    const unsigned char c = static_cast<unsigned char>(*name);
    out->name[used++] = c < 0x20 || c == 0x7F ? ' ' : *name;
  }
  // Cut inside a character: drop its lead and continuation bytes.
  if (*name != '\0' && (static_cast<unsigned char>(*name) & 0xC0) == 0x80) {
    while (used > 0 && (static_cast<unsigned char>(out->name[used - 1]) & 0xC0) == 0x80) --used;
    if (used > 0 && static_cast<unsigned char>(out->name[used - 1]) >= 0xC0) --used;
  }
  while (used > 0 && out->name[used - 1] == ' ') --used;
  out->name[used] = '\0';
}

void keyboard_device_describe(const KeyboardDevice& device, char* out, size_t size) {
  if (out == nullptr || size == 0) return;
  size_t used = 0;
  auto text = [&](const char* s) {
    for (; *s != '\0' && used + 1 < size; ++s) out[used++] = *s;
  };
  if (device.name[0] != '\0') {
    text("\"");
    text(device.name);
    text("\"");
  } else {
    text("unnamed");
  }
  if (device.id[0] != '\0') {
    text(" (");
    text(device.id);
    text(")");
  }
  out[used] = '\0';
}
