// The attribute maps of the palettised modes and the packing of colours.
#pragma once

#include <cstdint>

// A map from attribute to index into the mode's colour set.
struct AttributeMap {
  const uint8_t* entries;
  int count;
};

extern const uint8_t cga_palette_maps[4][4];
extern const uint8_t mono_map[2];
extern const uint8_t identity_map[16];
extern const uint8_t ega_map[16];

// The map a mode uses after a reset with the given attribute (mode 1 picks
// one of its four maps by it); a null map means attribute i shows entry i.
AttributeMap attribute_map_for(int mode, int reset_attribute);

// red | green << 8 | blue << 16.
constexpr uint32_t pack_colour(uint32_t red, uint32_t green, uint32_t blue) {
  return red | green << 8 | blue << 16;
}

// A 6-bit component (its low 6 bits) scaled to 8 bits: floor(c * 255 / 63).
constexpr uint32_t scale_6_to_8(uint32_t component) { return (component & 0x3F) * 255 / 63; }
