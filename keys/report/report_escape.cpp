#include "keys/report/report_escape.h"

#include <cstdint>

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

// Windows-1252 at 0x80..0x9F; 0 where the code page leaves a byte undefined.
constexpr uint16_t kWindows1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The length of the valid UTF-8 sequence at s with its code point, 0 when
// the bytes there are not one (overlong forms, surrogates and values past
// U+10FFFF included).
int utf8_sequence(const unsigned char* s, uint32_t* code_point) {
  const unsigned char lead = s[0];
  int length;
  uint32_t value;
  uint32_t smallest;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2, value = lead & 0x1F, smallest = 0x80;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3, value = lead & 0x0F, smallest = 0x800;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4, value = lead & 0x07, smallest = 0x10000;
  else return 0;
  for (int i = 1; i < length; ++i) {
    if ((s[i] & 0xC0) != 0x80) return 0;  // a terminator stops here too
    value = (value << 6) | (s[i] & 0x3F);
  }
  if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *code_point = value;
  return length;
}

void put_utf8(LineBuilder& out, uint32_t c) {
  if (c < 0x80) {
    out.put(static_cast<char>(c));
  } else if (c < 0x800) {
    out.put(static_cast<char>(0xC0 | (c >> 6))).put(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.put(static_cast<char>(0xE0 | (c >> 12))).put(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.put(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.put(static_cast<char>(0xF0 | (c >> 18))).put(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.put(static_cast<char>(0x80 | ((c >> 6) & 0x3F))).put(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Calls put for each character of s as a code point.
template <typename Put>
void each_character(const char* s, Put put) {
  const auto* p = reinterpret_cast<const unsigned char*>(s);
  while (p != nullptr && *p != '\0') {
    uint32_t c = *p;
    int length = 1;
    if (c >= 0x80) {
      length = utf8_sequence(p, &c);
      if (length == 0) {
        length = 1;
        c = *p < 0xA0 ? kWindows1252[*p - 0x80] : *p;
        if (c == 0) c = kReplacement;
      }
    } else if (c < 0x20 || c == 0x7F) {
      c = kReplacement;
    }
    put(c);
    p += length;
  }
}

}  // namespace

LineBuilder& plain_text(LineBuilder& out, const char* s) {
  each_character(s, [&out](uint32_t c) { put_utf8(out, c); });
  return out;
}

LineBuilder& html_text(LineBuilder& out, const char* s) {
  each_character(s, [&out](uint32_t c) {
    switch (c) {
      case '&': out.text("&amp;"); break;
      case '<': out.text("&lt;"); break;
      case '>': out.text("&gt;"); break;
      case '"': out.text("&quot;"); break;
      case '\'': out.text("&#39;"); break;
      default: put_utf8(out, c);
    }
  });
  return out;
}
