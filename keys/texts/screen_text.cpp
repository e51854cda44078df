#include "keys/texts/screen_text.h"

namespace {

struct Glyph {
  unsigned code_point;
  unsigned char code;
};
constexpr Glyph kGlyphs[] = {{0xE4, 0x84}, {0xF6, 0x94}, {0xFC, 0x81}, {0xC4, 0x8E},
                             {0xD6, 0x99}, {0xDC, 0x9A}, {0xDF, 0xE1}, {0xE9, 0x82}};

}  // namespace

LineBuilder& screen_text(LineBuilder& out, const char* utf8) {
  if (utf8 == nullptr) return out;
  const auto* p = reinterpret_cast<const unsigned char*>(utf8);
  while (*p != 0) {
    if (*p < 0x80) {
      out.put(static_cast<char>(*p++));
      continue;
    }
    // The sequence's length from its lead byte; a stray continuation byte
    // or a lead byte without its followers is one unknown character.
    int length = *p >= 0xF0 ? 4 : *p >= 0xE0 ? 3 : *p >= 0xC0 ? 2 : 1;
    unsigned code_point = length == 1 ? 0 : *p & (0x3F >> (length - 1));
    int taken = 1;
    for (; taken < length && (p[taken] & 0xC0) == 0x80; ++taken) code_point = code_point << 6 | (p[taken] & 0x3F);
    char shown = '?';
    if (taken == length && length > 1)
      for (const Glyph& glyph : kGlyphs)
        if (glyph.code_point == code_point) shown = static_cast<char>(glyph.code);
    out.put(shown);
    p += taken;
  }
  return out;
}
