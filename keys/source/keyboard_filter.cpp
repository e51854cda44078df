#include "keys/source/keyboard_filter.h"

#include <cstring>
#include <initializer_list>

namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One to four hex digits up to end; false for none, more or another character.
bool parse_hex16(const char* begin, const char* end, uint16_t* value) {
  if (end <= begin || end - begin > 4) return false;
  unsigned result = 0;
  for (const char* p = begin; p < end; ++p) {
    if (hex_digit(*p) < 0) return false;
    result = result << 4 | static_cast<unsigned>(hex_digit(*p));
  }
  *value = static_cast<uint16_t>(result);
  return true;
}

void consume_key(void* context, int64_t time_us, int key, bool down, int device) {
  FilteredConsumer* holder = static_cast<FilteredConsumer*>(context);
  if (holder->inner.key == nullptr) return;
  // A keyboard's entry never changes once it is listed, so the answer for
  // its number is kept: no copy of the list per event.
  bool passes;
  if (device >= 1 && device <= kMaxKeyboardDevices) {
    if (holder->passes[device] < 0) {
      passes = keyboard_filter_passes(holder->filter, device);
      // Judged only once the keyboard is listed; before, it may still come.
      if (device <= keyboard_device_count()) holder->passes[device] = passes ? 1 : 0;
    } else {
      passes = holder->passes[device] == 1;
    }
  } else {
    passes = keyboard_filter_passes(holder->filter, device);
  }
  if (passes) holder->inner.key(holder->inner.context, time_us, key, down, device);
}

void consume_focus_lost(void* context, int64_t time_us) {
  FilteredConsumer* holder = static_cast<FilteredConsumer*>(context);
  if (holder->inner.focus_lost != nullptr) holder->inner.focus_lost(holder->inner.context, time_us);
}

KeyboardFilter program_filter = {};
FilteredConsumer program_holder;
char program_filter_text[32] = "";

}  // namespace

bool parse_keyboard_filter(const char* text, KeyboardFilter* out) {
  if (text == nullptr || out == nullptr || *text == '\0') return false;
  const char* colon = std::strchr(text, ':');
  KeyboardFilter result = {};
  if (colon != nullptr) {
    if (!parse_hex16(text, colon, &result.vendor) || !parse_hex16(colon + 1, colon + std::strlen(colon), &result.product))
      return false;
    result.by_id = true;
  } else {
    for (const char* p = text; *p != '\0'; ++p) {
      if (*p < '0' || *p > '9') return false;
      result.number = result.number * 10 + (*p - '0');
      if (result.number > kMaxKeyboardDevices) return false;
    }
    if (result.number < 1) return false;
  }
  *out = result;
  return true;
}

bool keyboard_filter_active(const KeyboardFilter& filter) { return filter.by_id || filter.number > 0; }

bool keyboard_filter_passes(const KeyboardFilter& filter, int device) {
  if (!keyboard_filter_active(filter)) return true;
  if (!filter.by_id) return device == filter.number;
  KeyboardDevice listed;
  return keyboard_device_copy(device, &listed) && listed.has_vendor && listed.vendor == filter.vendor &&
         listed.product == filter.product;
}

KeyConsumer keyboard_filter_wrap(FilteredConsumer* holder, const KeyConsumer& inner,
                                 const KeyboardFilter& filter) {
  if (holder == nullptr || !keyboard_filter_active(filter)) return inner;
  holder->inner = inner;
  holder->filter = filter;
  std::memset(holder->passes, -1, sizeof holder->passes);
  return KeyConsumer{consume_key, consume_focus_lost, holder};
}

void keyboard_filter_set(const KeyboardFilter& filter) {
  program_filter = filter;
  char* out = program_filter_text;
  out[0] = '\0';
  if (!keyboard_filter_active(filter)) return;
  std::strcpy(out, "keyboard ");
  out += std::strlen(out);
  if (filter.by_id) {
    const char digits[] = "0123456789ABCDEF";
    for (const uint16_t value : {filter.vendor, filter.product}) {
      for (int shift = 12; shift >= 0; shift -= 4) *out++ = digits[value >> shift & 0xF];
      *out++ = ':';
    }
    out[-1] = '\0';
  } else {
    if (filter.number >= 10) *out++ = static_cast<char>('0' + filter.number / 10 % 10);
    *out++ = static_cast<char>('0' + filter.number % 10);
    *out = '\0';
  }
}

const KeyboardFilter& keyboard_filter_program() { return program_filter; }

KeyConsumer keyboard_filter_consumer(const KeyConsumer& inner) {
  return keyboard_filter_wrap(&program_holder, inner, program_filter);
}

const char* keyboard_filter_text() { return program_filter_text; }
