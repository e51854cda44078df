#include "keys/report/report_facts.h"

#include <cstring>

#include "gfx/data/builtin_data.h"
#include "keys/key_names.h"
#include "keys/map/key_map_view.h"

namespace {

// The window's palette indexes of the states, as the map draws them.
constexpr int kStatePalette[kReportStateCount] = {kMapColourUntested, kMapColourTested, kMapColourHeld,
                                                  kMapColourChatter,  kMapColourStuck,  kMapColourDefect};

bool valid_key(int key) { return key >= 0 && key < kKeyIdCount; }

bool on_layout(const KeyMapReport& map, int key) { return layout_key_index(*map.layout, key) >= 0; }

bool in_list(const KeyMapReport& map, ReportList list, int key) {
  switch (list) {
    case ReportList::kUntested: return !(map.view.marks[key] & kMapTested);
    case ReportList::kDefect: return (map.view.marks[key] & kMapDefect) != 0;
    case ReportList::kChatter: return report_key_chattered(map, key);
    case ReportList::kStuck: return report_key_stuck(map, key);
    case ReportList::kOffMap: return report_key_pressed(map, key) && !on_layout(map, key);
    case ReportList::kPressed: return report_key_pressed(map, key);
  }
  return false;
}

// Shorter legends for names that do not fit a key's box; other names lose
// "Left ", "Right " or "Keypad " and are cut to six characters.
struct Legend {
  const char* name;
  const char* legend;
};
constexpr Legend kLegends[] = {
    {"Escape", "Esc"},         {"Minus", "-"},           {"Equals", "="},           {"Backspace", "Bksp"},
    {"Left Bracket", "["},     {"Right Bracket", "]"},   {"Semicolon", ";"},        {"Apostrophe", "'"},
    {"Grave", "`"},            {"Backslash", "\\"},      {"Comma", ","},            {"Period", "."},
    {"Slash", "/"},            {"Caps Lock", "Caps"},    {"Num Lock", "Num"},       {"Scroll Lock", "Scroll"},
    {"Print Screen", "PrtSc"}, {"Page Up", "PgUp"},      {"Page Down", "PgDn"},     {"Insert", "Ins"},
    {"Delete", "Del"},         {"Left Windows", "Win"},  {"Right Windows", "Win"},  {"102nd Key", "<>"},
    {"Katakana/Hiragana", "Kana"}, {"Muhenkan", "Muhen"}, {"Keypad Enter", "Enter"},
};

}  // namespace

const char* report_state_name(ReportState state) {
  static const char* const kNames[kReportStateCount] = {"untested", "tested", "held", "chatter", "stuck", "defect"};
  const int index = static_cast<int>(state);
  return index >= 0 && index < kReportStateCount ? kNames[index] : "untested";
}

const char* report_state_label(ReportState state, UiLanguage language) {
  static constexpr UiText kLabels[kReportStateCount] = {UiText::kStateUntested, UiText::kStateTested,
                                                        UiText::kStateHeld,     UiText::kStateChatter,
                                                        UiText::kStateStuck,    UiText::kStateDefect};
  const int index = static_cast<int>(state);
  return ui_text(language, kLabels[index >= 0 && index < kReportStateCount ? index : 0]);
}

const char* report_state_colour(ReportState state) {
  static char colours[kReportStateCount][8];
  int index = static_cast<int>(state);
  if (index < 0 || index >= kReportStateCount) index = 0;
  unpack_builtin_data();
  const uint8_t* rgb = palette_256.data + 3 * kStatePalette[index];
  static const char kHex[] = "0123456789abcdef";
  char* out = colours[index];
  out[0] = '#';
  for (int i = 0; i < 3; ++i) {
    out[1 + 2 * i] = kHex[rgb[i] >> 4];
    out[2 + 2 * i] = kHex[rgb[i] & 15];
  }
  out[7] = '\0';
  return out;
}

bool report_key_chattered(const KeyMapReport& map, int key) {
  return valid_key(key) && (map.keys[key].chatter > 0 || (map.view.marks[key] & kMapChatter));
}

bool report_key_stuck(const KeyMapReport& map, int key) {
  return valid_key(key) && (map.view.marks[key] & kMapStuck);
}

bool report_key_pressed(const KeyMapReport& map, int key) {
  return valid_key(key) && (map.keys[key].presses > 0 || (map.view.marks[key] & kMapTested));
}

ReportState report_key_state(const KeyMapReport& map, int key) {
  if (!valid_key(key)) return ReportState::kUntested;
  const uint8_t marks = map.view.marks[key];
  if (marks & kMapDefect) return ReportState::kDefect;
  if (marks & kMapStuck) return ReportState::kStuck;
  if (report_key_chattered(map, key)) return ReportState::kChatter;
  if (marks & kMapHeld) return ReportState::kHeld;
  if (marks & kMapTested) return ReportState::kTested;
  return ReportState::kUntested;
}

int report_list(const KeyMapReport* map, ReportList list, int* keys) {
  if (map == nullptr || map->layout == nullptr || keys == nullptr) return 0;
  int count = 0;
  if (list == ReportList::kUntested || list == ReportList::kDefect) {
    for (int i = 0; i < map->layout->count; ++i) {
      const int key = map->layout->keys[i].key;
      if (valid_key(key) && in_list(*map, list, key)) keys[count++] = key;
    }
    return count;
  }
  for (int key = 0; key < kKeyIdCount; ++key)
    if (in_list(*map, list, key)) keys[count++] = key;
  return count;
}

ReportResult report_result(const KeyMapReport* map) {
  ReportResult result{};
  if (map == nullptr || map->layout == nullptr) return result;
  static int keys[kKeyIdCount];  // the caller's thread alone writes a report at a time
  result.keys = map->layout->count;
  result.untested = report_list(map, ReportList::kUntested, keys);
  result.tested = result.keys - result.untested;
  result.defect = report_list(map, ReportList::kDefect, keys);
  result.chatter = report_list(map, ReportList::kChatter, keys);
  result.stuck = report_list(map, ReportList::kStuck, keys);
  result.complete = result.keys > 0 && result.untested == 0 && result.defect == 0 && result.chatter == 0 &&
                    result.stuck == 0;
  return result;
}

void write_result_line(LineBuilder& out, const ReportResult& result, UiLanguage language) {
  const auto say = [language](UiText id) { return ui_text(language, id); };
  if (result.keys == 0) {
    out.text(say(UiText::kResultNoMap));
    return;
  }
  if (result.complete) {
    out.text(say(UiText::kResultComplete)).integer(result.keys).text(say(UiText::kResultCompleteEnd));
    return;
  }
  out.text(say(UiText::kResultOpen));
  const char* separator = " ";
  if (result.untested > 0) {
    out.text(separator).integer(result.untested).text(say(UiText::kResultOf)).integer(result.keys);
    out.text(say(UiText::kResultUntested));
    separator = ", ";
  }
  if (result.defect > 0) {
    out.text(separator).integer(result.defect).text(say(UiText::kResultDefect));
    separator = ", ";
  }
  if (result.chatter > 0) {
    out.text(separator).integer(result.chatter).text(say(UiText::kResultChatter));
    separator = ", ";
  }
  if (result.stuck > 0) out.text(separator).integer(result.stuck).text(say(UiText::kResultStuck));
}

namespace {

LineBuilder& two_digits(LineBuilder& out, int value) {
  if (value < 0) value = 0;
  return out.put(static_cast<char>('0' + value / 10 % 10)).put(static_cast<char>('0' + value % 10));
}

}  // namespace

void write_local_time(LineBuilder& out, const sys::LocalTime& time) {
  out.integer(time.year).put('-');
  two_digits(out, time.month).put('-');
  two_digits(out, time.day).put(' ');
  two_digits(out, time.hour).put(':');
  two_digits(out, time.minute).put(':');
  two_digits(out, time.second).put(' ');
  int offset = time.utc_offset_minutes;
  // Offsets lie within a day; anything else is not a clock's answer.
  if (offset <= -24 * 60 || offset >= 24 * 60) offset = 0;
  out.put(offset < 0 ? '-' : '+');
  if (offset < 0) offset = -offset;
  two_digits(out, offset / 60).put(':');
  two_digits(out, offset % 60);
}

void write_duration(LineBuilder& out, int64_t us) {
  const int64_t seconds = us > 0 ? us / 1000000 : 0;
  const int64_t hours = seconds / 3600;
  // The rest in 32 bits: a 64-bit remainder would pull in a helper of its own.
  const int rest = static_cast<int>(seconds - hours * 3600);
  out.integer(hours).put(':');
  two_digits(out, rest / 60).put(':');
  two_digits(out, rest % 60);
}

void write_seconds(LineBuilder& out, int64_t us) {
  if (us < 0) {
    out.put('-');
    return;
  }
  // milliseconds() prints three decimals of its unit: seconds from microseconds
  // need the thousandths of a second.
  out.milliseconds(us / 1000).text(" s");
}

const char* key_legend(int key) {
  const char* name = key_name(key);
  for (const Legend& legend : kLegends)
    if (std::strcmp(legend.name, name) == 0) return legend.legend;
  static char cut[8];
  for (const char* prefix : {"Left ", "Right ", "Keypad "}) {
    const size_t length = std::strlen(prefix);
    if (std::strncmp(name, prefix, length) == 0) {
      name += length;
      break;
    }
  }
  size_t i = 0;
  for (; i < 6 && name[i] != '\0'; ++i) cut[i] = name[i];
  cut[i] = '\0';
  return cut;
}

void write_gap(LineBuilder& out, int64_t us) {
  if (us < 0) out.put('-');
  else out.milliseconds(us).text(" ms");
}

LineBuilder& write_device_number(LineBuilder& out, int device) {
  return device > 0 ? out.integer(device) : out.put('-');
}

namespace {

LineBuilder& hex4(LineBuilder& out, uint16_t value) {
  static const char kHex[] = "0123456789abcdef";
  for (int shift = 12; shift >= 0; shift -= 4) out.put(kHex[(value >> shift) & 15]);
  return out;
}

}  // namespace

void write_keyboard(LineBuilder& out, const KeyboardDevice& device,
                    LineBuilder& (*escape)(LineBuilder&, const char*), UiLanguage language) {
  out.integer(device.number).text(": ");
  if (device.name[0] != '\0') escape(out, device.name);
  else out.text(ui_text(language, UiText::kUnnamedKeyboard)).integer(device.number);
  if (device.id[0] != '\0' || device.has_vendor) {
    out.text(" (");
    escape(out, device.id);
    if (device.has_vendor) {
      if (device.id[0] != '\0') out.text(", ");
      out.text(ui_text(language, UiText::kVendor));
      hex4(out, device.vendor).text(ui_text(language, UiText::kProduct));
      hex4(out, device.product);
    }
    out.put(')');
  }
  out.text(", ").integer(device.events).text(ui_text(language, UiText::kEvents));
}
