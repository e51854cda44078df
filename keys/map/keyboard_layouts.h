// The keyboards the map can show: each key's id (as the log names keys) and
// its place and size on the real keyboard, in quarter units of a key width.
#pragma once

#include <cstdint>

enum class MapLayout { kAnsi, kIso, kJis, kAnsiTkl, kIsoTkl };

// A key's box on the keyboard: x, y, width and height in quarter units.
// Rows are 4 high; the function row sits 2 above the number row. Four bytes
// a key: the tables are part of the program's size.
struct MapKey {
  uint32_t key : 10;  // a key id (keys/key_names.h)
  uint32_t x : 7;
  uint32_t y : 5;
  uint32_t width : 6;
  uint32_t height : 4;
};
static_assert(sizeof(MapKey) == 4);

struct KeyboardLayout {
  const char* name;  // as --map takes it
  const MapKey* keys;
  int count;
  int width;   // quarter units
  int height;  // quarter units
};

// The layout of a MapLayout value; the ANSI one for a value outside the enum.
const KeyboardLayout& keyboard_layout(MapLayout layout);

// True with the layout for a name --map takes ("ansi", "iso", "jis",
// "ansi-tkl", "iso-tkl"); false for anything else, null included.
bool parse_map_layout(const char* name, MapLayout* layout);

// The layout to show for a Windows language id of the keyboard: JIS for
// Japanese, ISO for the languages whose keyboards carry the key left of Z,
// ANSI otherwise.
MapLayout map_layout_for_language(uint16_t language_id);

// The index of a key id in the layout, -1 when it is not on it.
int layout_key_index(const KeyboardLayout& layout, int key);
