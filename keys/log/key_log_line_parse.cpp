#include "keys/log/key_log_line_parse.h"

#include <initializer_list>

#include "keys/line_builder.h"

bool LogCursor::digits(int64_t* value, int max_digits) {
  int count = 0;
  int64_t result = 0;
  while (p < end && *p >= '0' && *p <= '9') {
    if (++count > max_digits) return false;
    result = result * 10 + (*p++ - '0');
  }
  if (count == 0) return false;
  *value = result;
  return true;
}

bool LogCursor::milliseconds(int64_t* us) {
  const bool negative = literal("-");
  int64_t whole = 0, fraction = 0;
  if (!digits(&whole, 16) || !literal(".")) return false;
  const char* fraction_start = p;
  if (!digits(&fraction, 3) || p - fraction_start != 3) return false;
  const uint64_t magnitude = static_cast<uint64_t>(whole) * 1000 + static_cast<uint64_t>(fraction);
  const uint64_t limit = static_cast<uint64_t>(INT64_MAX) + (negative ? 1 : 0);
  if (magnitude > limit) return false;
  *us = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  return true;
}

bool LogCursor::json_string(char* out, size_t size) {
  if (!literal("\"")) return false;
  size_t used = 0;
  while (p < end && *p != '"') {
    if (*p == '\\' && (++p == end || (*p != '"' && *p != '\\'))) return false;
    if (used + 1 >= size) return false;
    out[used++] = *p++;
  }
  if (p == end) return false;
  ++p;
  out[used] = '\0';
  return true;
}

bool LogCursor::json_string_or_null(char* out, size_t size) {
  if (literal("null")) {
    out[0] = '\0';
    return true;
  }
  return json_string(out, size) && out[0] != '\0';
}

const char* LogCursor::find_last(const char* s) const {
  const size_t n = std::strlen(s);
  if (static_cast<size_t>(end - p) < n) return nullptr;
  for (const char* q = end - n;; --q) {
    if (std::memcmp(q, s, n) == 0) return q;
    if (q == p) return nullptr;
  }
}

bool vendor_of_id(const char* id, uint16_t* vendor, uint16_t* product) {
  if (std::strlen(id) != 17 || std::strncmp(id, "VID_", 4) != 0 || std::strncmp(id + 8, "&PID_", 5) != 0)
    return false;
  uint32_t values[2] = {0, 0};
  for (int part = 0; part < 2; ++part)
    for (int i = 0; i < 4; ++i) {
      const char c = id[part == 0 ? 4 + i : 13 + i];
      if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
      values[part] = values[part] << 4 | static_cast<uint32_t>(c <= '9' ? c - '0' : c - 'A' + 10);
    }
  *vendor = static_cast<uint16_t>(values[0]);
  *product = static_cast<uint16_t>(values[1]);
  return true;
}

namespace {

// The reason, assembled; always false, for "return refuse(...)".
template <typename Say>
bool refuse_with(LineReason* reason, Say say) {
  TextBuffer buffer{reason->text, sizeof reason->text, 0};
  const LogWriter writer{write_to_text_buffer, &buffer};
  LineBuilder out(writer);
  say(out);
  return false;
}
bool refuse(LineReason* reason, const char* text) {
  return refuse_with(reason, [&](LineBuilder& out) { out.text(text); });
}

bool control_free(const char* text) {
  for (; *text != '\0'; ++text)
    if (static_cast<unsigned char>(*text) < 0x20 || *text == 0x7F) return false;
  return true;
}

// "0002" or null, as a keyboard's vendor or product.
bool hex4_string_or_null(LogCursor& in, bool* present, uint16_t* value) {
  char text[8];
  if (!in.json_string_or_null(text, sizeof text)) return false;
  *present = text[0] != '\0';
  if (!*present) return true;
  char id[18];
  std::memcpy(id, "VID_0000&PID_", 13);
  std::memcpy(id + 13, text, 5);
  uint16_t ignored;
  return std::strlen(text) == 4 && vendor_of_id(id, &ignored, value);
}

// A keyboard's description as keyboard_device_describe writes it:
//   "name" (ID)   "name"   unnamed (ID)   unnamed
// A name may hold quotes and brackets itself; the id is taken after the
// last '" (' so that a bracket in a name does not cut it.
bool parse_description(const char* begin, const char* end, KeyboardDevice* out) {
  LogCursor in{begin, end};
  const char* id_begin = nullptr;
  if (in.literal("unnamed")) {
    if (!in.done()) {
      if (!in.literal(" (") || in.done() || end[-1] != ')') return false;
      id_begin = in.p;
    }
  } else {
    if (!in.literal("\"")) return false;
    const char* name_begin = in.p;
    const char* bracket = end > begin && end[-1] == ')' ? in.find_last("\" (") : nullptr;
    const char* name_end;
    if (bracket != nullptr) {
      name_end = bracket;
      id_begin = bracket + 3;
    } else {
      if (end - name_begin < 1 || end[-1] != '"') return false;
      name_end = end - 1;
    }
    const size_t name_length = static_cast<size_t>(name_end - name_begin);
    if (name_length == 0 || name_length >= sizeof out->name) return false;
    std::memcpy(out->name, name_begin, name_length);
    out->name[name_length] = '\0';
  }
  if (id_begin != nullptr) {
    const size_t id_length = static_cast<size_t>(end - 1 - id_begin);
    if (id_length == 0 || id_length >= sizeof out->id) return false;
    std::memcpy(out->id, id_begin, id_length);
    out->id[id_length] = '\0';
  }
  out->has_vendor = vendor_of_id(out->id, &out->vendor, &out->product);
  // What the list would have written for it, byte for byte.
  char again[sizeof out->name + sizeof out->id + 8];
  keyboard_device_describe(*out, again, sizeof again);
  return std::strlen(again) == static_cast<size_t>(end - begin) && std::memcmp(again, begin, end - begin) == 0;
}

bool parse_mark(const char* word, KeyMark* mark) {
  if (word[0] == '\0') *mark = KeyMark::kNone;
  else if (std::strcmp(word, "chatter") == 0) *mark = KeyMark::kChatter;
  else if (std::strcmp(word, "zero-gap") == 0) *mark = KeyMark::kZeroGap;
  else if (std::strcmp(word, "focus-lost") == 0) *mark = KeyMark::kFocusLost;
  else return false;
  return true;
}

bool keyboard_number(int64_t number, bool may_be_none, int* device, LineReason* reason) {
  if ((number == kNoKeyDevice && may_be_none) || (number >= 1 && number <= kMaxKeyboardDevices)) {
    *device = static_cast<int>(number);
    return true;
  }
  return refuse_with(reason, [&](LineBuilder& out) {
    out.text("keyboard ").integer(number).text(" is not numbered from 1 to ").integer(kMaxKeyboardDevices);
  });
}

// The key of a scancode and prefix as the line gives them, which must be a
// key id; its name checked where the line has one. A key the names do not
// know is logged as "Unknown" and reads back as such: a saved test with
// one opens again.
bool known_key(int64_t scancode, int prefix, LogCursor* name_at, int* key, LineReason* reason) {
  *key = scancode >= 0 && scancode <= 0xFF ? make_key_id(static_cast<int>(scancode), prefix) : -1;
  if (*key < 0)
    return refuse_with(reason, [&](LineBuilder& out) {
      out.text("unknown key 0x");
      for (int shift = scancode > 0xFF ? 28 : 4; shift >= 0; shift -= 4) out.put("0123456789abcdef"[scancode >> shift & 0xF]);
      if (prefix != kNoPrefix) out.put(' ').text(prefix == kPrefixE0 ? "e0" : "e1");
    });
  if (name_at != nullptr && !name_at->literal(key_name(*key)))
    return refuse_with(reason, [&](LineBuilder& out) {
      out.text("the key's name is not that of its scancode (").text(key_name(*key)).put(')');
    });
  return true;
}

//   1025.500    down  28 e0  Keypad Enter        held 1  gap 5.500       chatter    kbd 2
// Columns run into each other once a time outgrows its own.
bool parse_text_line(LogCursor in, ParsedKeyLine* line, LineReason* reason) {
  int64_t scancode = 0, device = kNoKeyDevice;
  if (!in.milliseconds(&line->time_us)) return refuse(reason, "not a time in milliseconds");
  in.skip_blanks();
  if (in.literal("down")) line->down = true;
  else if (!in.literal("up")) return refuse(reason, "the event is neither down nor up");
  in.skip_blanks();
  if (!in.digits(&scancode, 9)) return refuse(reason, "no scancode");
  const int prefix = in.literal(" e0") ? kPrefixE0 : in.literal(" e1") ? kPrefixE1 : kNoPrefix;
  in.skip_blanks();
  if (!known_key(scancode, prefix, &in, &line->key, reason)) return false;
  in.skip_blanks();
  if (!in.literal("held ") || !in.digits(&line->held, 9)) return refuse(reason, "no held count");
  in.skip_blanks();
  if (in.literal("gap ")) {
    line->has_gap = true;
    if (!in.milliseconds(&line->gap_us)) return refuse(reason, "not a gap in milliseconds");
    in.skip_blanks();
  }
  for (const char* word : {"chatter", "zero-gap", "focus-lost"})
    if (in.literal(word)) {
      parse_mark(word, &line->mark);
      in.skip_blanks();
      break;
    }
  if (in.literal("kbd ") && !in.digits(&device, 9)) return refuse(reason, "not a keyboard number");
  if (!in.done()) return refuse(reason, "not laid out as the program writes it");
  return keyboard_number(device, true, &line->device, reason);
}

//   1025.500,down,28,e0,Keypad Enter,1,5.500,chatter,2
// Fields are never quoted: the one name with a comma ("Keypad ,") makes a
// tenth field.
bool parse_csv_line(LogCursor in, ParsedKeyLine* line, LineReason* reason) {
  int commas = 0;
  bool comma_name = false;
  for (const char* c = in.p; c < in.end; ++c) commas += *c == ',';
  for (const char* c = in.p; c + 8 <= in.end && !comma_name; ++c) comma_name = std::memcmp(c, "Keypad ,", 8) == 0;
  if (commas != 8 && !(comma_name && commas == 9))
    return refuse_with(reason, [&](LineBuilder& out) { out.integer(commas + 1).text(" fields, not 9"); });
  int64_t scancode = 0, device = kNoKeyDevice;
  if (!in.milliseconds(&line->time_us) || !in.literal(",")) return refuse(reason, "not a time in milliseconds");
  if (in.literal("down,")) line->down = true;
  else if (!in.literal("up,")) return refuse(reason, "the event is neither down nor up");
  if (!in.digits(&scancode, 9) || !in.literal(",")) return refuse(reason, "no scancode");
  const int prefix = in.literal("e0,") ? kPrefixE0 : in.literal("e1,") ? kPrefixE1 : kNoPrefix;
  if (prefix == kNoPrefix && !in.literal(",")) return refuse(reason, "the prefix is none of e0 and e1");
  if (!known_key(scancode, prefix, &in, &line->key, reason)) return false;
  if (!in.literal(",") || !in.digits(&line->held, 9) || !in.literal(",")) return refuse(reason, "no held count");
  if (!in.starts(",")) {
    line->has_gap = true;
    if (!in.milliseconds(&line->gap_us)) return refuse(reason, "not a gap in milliseconds");
  }
  if (!in.literal(",")) return refuse(reason, "not a gap in milliseconds");
  char word[16];
  size_t used = 0;
  while (!in.done() && *in.p != ',' && used + 1 < sizeof word) word[used++] = *in.p++;
  word[used] = '\0';
  if (!in.literal(",") || !parse_mark(word, &line->mark)) return refuse(reason, "an unknown mark");
  if (!in.done() && !in.digits(&device, 9)) return refuse(reason, "not a keyboard number");
  if (!in.done()) return refuse(reason, "not laid out as the program writes it");
  return keyboard_number(device, true, &line->device, reason);
}

// {"type":"key","time_ms":1025.500,"event":"down","scancode":28,"extended":"e0",
//  "key":"Keypad Enter","held":1,"gap_ms":5.500,"mark":"chatter","device":2}
// in this order, with no blanks.
bool parse_json_line(LogCursor in, ParsedKeyLine* line, LineReason* reason) {
  int64_t scancode = 0, device = kNoKeyDevice;
  if (!in.literal("{\"type\":\"key\",\"time_ms\":") || !in.milliseconds(&line->time_us))
    return refuse(reason, "not a time in milliseconds");
  if (in.literal(",\"event\":\"down\"")) line->down = true;
  else if (!in.literal(",\"event\":\"up\"")) return refuse(reason, "the event is neither down nor up");
  if (!in.literal(",\"scancode\":") || !in.digits(&scancode, 9)) return refuse(reason, "no scancode");
  const int prefix = in.literal(",\"extended\":\"e0\"")   ? kPrefixE0
                     : in.literal(",\"extended\":\"e1\"") ? kPrefixE1
                                                          : kNoPrefix;
  if (prefix == kNoPrefix && !in.literal(",\"extended\":\"\"")) return refuse(reason, "the prefix is none of e0 and e1");
  char name[32];
  if (!in.literal(",\"key\":") || !in.json_string(name, sizeof name)) return refuse(reason, "no key name");
  LogCursor name_at{name, name + std::strlen(name)};
  if (!known_key(scancode, prefix, &name_at, &line->key, reason)) return false;
  if (!name_at.done())
    return refuse_with(reason, [&](LineBuilder& out) {
      out.text("the key's name is not that of its scancode (").text(key_name(line->key)).put(')');
    });
  if (!in.literal(",\"held\":") || !in.digits(&line->held, 9)) return refuse(reason, "no held count");
  if (in.literal(",\"gap_ms\":")) {
    line->has_gap = true;
    if (!in.milliseconds(&line->gap_us)) return refuse(reason, "not a gap in milliseconds");
  }
  char word[16];
  if (!in.literal(",\"mark\":") || !in.json_string(word, sizeof word) || !parse_mark(word, &line->mark))
    return refuse(reason, "an unknown mark");
  if (!in.literal(",\"device\":") || !(in.literal("null") || in.digits(&device, 9)))
    return refuse(reason, "not a keyboard number");
  if (!in.literal("}") || !in.done()) return refuse(reason, "not laid out as the program writes it");
  return keyboard_number(device, true, &line->device, reason);
}

}  // namespace

bool parse_key_line(LogFormat format, LogCursor in, ParsedKeyLine* line, LineReason* reason) {
  if (line == nullptr || reason == nullptr) return false;
  *line = ParsedKeyLine{0, false, 0, 0, false, -1, KeyMark::kNone, kNoKeyDevice};
  reason->text[0] = '\0';
  switch (format) {
    case LogFormat::kText: return parse_text_line(in, line, reason);
    case LogFormat::kCsv: return parse_csv_line(in, line, reason);
    case LogFormat::kJsonl: return parse_json_line(in, line, reason);
    default: return refuse(reason, "not a line of a key log");
  }
}

bool parse_keyboard_line(LogCursor in, KeyboardDevice* device, LineReason* reason) {
  if (device == nullptr || reason == nullptr) return false;
  *device = KeyboardDevice{};
  int64_t number = 0;
  if (!in.literal("# keyboard ") || !in.digits(&number, 9) || !in.literal(": "))
    return refuse(reason, "not laid out as the program writes it");
  if (!keyboard_number(number, false, &device->number, reason)) return false;
  if (!parse_description(in.p, in.end, device)) return refuse(reason, "not a keyboard's description");
  return true;
}

bool parse_keyboard_entry(LogCursor in, KeyboardDevice* device, LineReason* reason) {
  if (device == nullptr || reason == nullptr) return false;
  *device = KeyboardDevice{};
  int64_t number = 0;
  if (!in.literal("  ") || !in.digits(&number, 9)) return refuse(reason, "not laid out as the program writes it");
  if (!keyboard_number(number, false, &device->number, reason)) return false;
  in.skip_blanks();
  const char* comma = in.find_last(", ");
  if (comma == nullptr || !parse_description(in.p, comma, device)) return refuse(reason, "not a keyboard's description");
  in.p = comma + 2;
  if (!in.digits(&device->events, 18) || !(in.literal(" events") || in.literal(" event")) || !in.done())
    return refuse(reason, "not laid out as the program writes it");
  return true;
}

bool parse_json_keyboard(LogCursor& in, KeyboardDevice* device, LineReason* reason) {
  if (device == nullptr || reason == nullptr) return false;
  *device = KeyboardDevice{};
  int64_t number = 0;
  bool has_vendor = false, has_product = false;
  if (!in.literal("\"device\":") || !in.digits(&number, 9)) return refuse(reason, "not a keyboard number");
  if (!keyboard_number(number, false, &device->number, reason)) return false;
  if (!in.literal(",\"id\":") || !in.json_string_or_null(device->id, sizeof device->id) ||
      !in.literal(",\"vendor\":") || !hex4_string_or_null(in, &has_vendor, &device->vendor) ||
      !in.literal(",\"product\":") || !hex4_string_or_null(in, &has_product, &device->product) ||
      !in.literal(",\"name\":") || !in.json_string_or_null(device->name, sizeof device->name))
    return refuse(reason, "not a keyboard's description");
  uint16_t vendor = 0, product = 0;
  device->has_vendor = has_vendor;
  const bool id_has_vendor = vendor_of_id(device->id, &vendor, &product);
  if (has_vendor != has_product || has_vendor != id_has_vendor ||
      (has_vendor && (vendor != device->vendor || product != device->product)))
    return refuse(reason, "the keyboard's id and numbers disagree");
  if (!control_free(device->name) || !control_free(device->id)) return refuse(reason, "a control character");
  return true;
}
