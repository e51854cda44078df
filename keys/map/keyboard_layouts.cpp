#include "keys/map/keyboard_layouts.h"

#include <array>
#include <cstring>

#include "keys/key_names.h"

namespace {

constexpr int kMaxLayoutKeys = 112;
constexpr int kGap = -1;  // a run item that only moves the next key right

struct RunItem {
  int key;
  int width;
  int height = 4;
};

// A layout assembled at compile time from runs of keys laid left to right.
struct LayoutTable {
  std::array<MapKey, kMaxLayoutKeys> keys{};
  int count = 0;

  constexpr LayoutTable& run(int x, int y, std::initializer_list<RunItem> items) {
    for (const RunItem& item : items) {
      if (item.key != kGap)
        keys[count++] = MapKey{static_cast<uint32_t>(item.key), static_cast<uint32_t>(x),
                               static_cast<uint32_t>(y), static_cast<uint32_t>(item.width),
                               static_cast<uint32_t>(item.height)};
      x += item.width;
    }
    return *this;
  }
  // count keys of one width with consecutive plain scancodes.
  constexpr LayoutTable& series(int x, int y, int first_scancode, int count_of_keys) {
    for (int i = 0; i < count_of_keys; ++i) run(x + 4 * i, y, {{first_scancode + i, 4}});
    return *this;
  }
};

constexpr int e0(int scancode) { return make_key_id(scancode, kPrefixE0); }

// Rows in quarter units: the function row, then the five main rows.
constexpr int kRowF = 0;
constexpr int kRow1 = 6;
constexpr int kRow2 = 10;
constexpr int kRow3 = 14;
constexpr int kRow4 = 18;
constexpr int kRow5 = 22;
constexpr int kNavX = 61;     // the block of Insert, Home, ... and the arrows
constexpr int kKeypadX = 74;  // the numeric keypad
constexpr int kFullWidth = 90;
constexpr int kTklWidth = 73;
constexpr int kHeight = 26;

enum class Main { kAnsi, kIso, kJis };

// Escape, F1-F12, Print Screen, Scroll Lock, Pause and the block above the
// arrows, the arrows: the same on every layout here.
constexpr void add_function_and_navigation(LayoutTable& t) {
  t.run(0, kRowF, {{0x01, 4}});
  t.series(8, kRowF, 0x3B, 4).series(26, kRowF, 0x3F, 4).series(44, kRowF, 0x43, 2);
  t.run(52, kRowF, {{0x57, 4}, {0x58, 4}});
  t.run(kNavX, kRowF, {{e0(0x37), 4}, {0x46, 4}, {make_key_id(0x45, kPrefixE1), 4}});
  t.run(kNavX, kRow1, {{e0(0x52), 4}, {e0(0x47), 4}, {e0(0x49), 4}});
  t.run(kNavX, kRow2, {{e0(0x53), 4}, {e0(0x4F), 4}, {e0(0x51), 4}});
  t.run(kNavX + 4, kRow4, {{e0(0x48), 4}});
  t.run(kNavX, kRow5, {{e0(0x4B), 4}, {e0(0x50), 4}, {e0(0x4D), 4}});
}

constexpr void add_keypad(LayoutTable& t) {
  t.run(kKeypadX, kRow1, {{0x45, 4}, {e0(0x35), 4}, {0x37, 4}, {0x4A, 4}});
  t.run(kKeypadX, kRow2, {{0x47, 4}, {0x48, 4}, {0x49, 4}, {0x4E, 4, 8}});
  t.run(kKeypadX, kRow3, {{0x4B, 4}, {0x4C, 4}, {0x4D, 4}});
  t.run(kKeypadX, kRow4, {{0x4F, 4}, {0x50, 4}, {0x51, 4}, {e0(0x1C), 4, 8}});
  t.run(kKeypadX, kRow5, {{0x52, 8}, {0x53, 4}});
}

// The typing block, 15 units wide. ISO and JIS have the tall Enter over two
// rows, drawn as the column the grid allows: 1.25 units wide.
constexpr void add_main(LayoutTable& t, Main kind) {
  t.run(0, kRow1, {{0x29, 4}});
  t.series(4, kRow1, 0x02, 12);
  if (kind == Main::kJis) t.run(52, kRow1, {{0x7D, 4}, {0x0E, 4}});  // Yen, a short Backspace
  else t.run(52, kRow1, {{0x0E, 8}});

  t.run(0, kRow2, {{0x0F, 6}});
  t.series(6, kRow2, 0x10, 12);
  if (kind == Main::kAnsi) t.run(54, kRow2, {{0x2B, 6}});
  else t.run(55, kRow2, {{0x1C, 5, 8}});

  t.run(0, kRow3, {{0x3A, 7}});
  t.series(7, kRow3, 0x1E, 11);
  if (kind == Main::kAnsi) t.run(51, kRow3, {{0x1C, 9}});
  else t.run(51, kRow3, {{0x2B, 4}});

  if (kind == Main::kIso) t.run(0, kRow4, {{0x2A, 5}, {0x56, 4}});
  else t.run(0, kRow4, {{0x2A, 9}});
  t.series(9, kRow4, 0x2C, 10);
  if (kind == Main::kJis) t.run(49, kRow4, {{0x73, 4}, {0x36, 7}});  // Ro, a short right Shift
  else t.run(49, kRow4, {{0x36, 11}});

  if (kind == Main::kJis)
    t.run(0, kRow5, {{0x1D, 5}, {e0(0x5B), 4}, {0x38, 4}, {0x7B, 4}, {0x39, 19}, {0x79, 4},
                     {0x70, 4}, {e0(0x38), 4}, {e0(0x5C), 4}, {e0(0x5D), 4}, {e0(0x1D), 4}});
  else
    t.run(0, kRow5, {{0x1D, 5}, {e0(0x5B), 5}, {0x38, 5}, {0x39, 25}, {e0(0x38), 5},
                     {e0(0x5C), 5}, {e0(0x5D), 5}, {e0(0x1D), 5}});
}

constexpr int kKeypadKeys = 17;

// The keypad comes last, so that a tenkeyless layout is the full one without
// its last 17 keys and shares its table.
constexpr LayoutTable make_table(Main kind) {
  LayoutTable t;
  add_function_and_navigation(t);
  add_main(t, kind);
  add_keypad(t);
  return t;
}

// The keys alone, as many as there are: only these tables are in the program.
template <Main kind>
constexpr auto exact_table() {
  constexpr LayoutTable table = make_table(kind);
  static_assert(table.keys[table.count - kKeypadKeys].x == kKeypadX, "the keypad comes last");
  std::array<MapKey, table.count> keys{};
  for (int i = 0; i < table.count; ++i) keys[i] = table.keys[i];
  return keys;
}

constexpr auto kAnsiKeys = exact_table<Main::kAnsi>();
constexpr auto kIsoKeys = exact_table<Main::kIso>();
constexpr auto kJisKeys = exact_table<Main::kJis>();
constexpr int kAnsiCount = static_cast<int>(kAnsiKeys.size());
constexpr int kIsoCount = static_cast<int>(kIsoKeys.size());

const KeyboardLayout kLayouts[] = {
    {"ansi", kAnsiKeys.data(), kAnsiCount, kFullWidth, kHeight},
    {"iso", kIsoKeys.data(), kIsoCount, kFullWidth, kHeight},
    {"jis", kJisKeys.data(), static_cast<int>(kJisKeys.size()), kFullWidth, kHeight},
    {"ansi-tkl", kAnsiKeys.data(), kAnsiCount - kKeypadKeys, kTklWidth, kHeight},
    {"iso-tkl", kIsoKeys.data(), kIsoCount - kKeypadKeys, kTklWidth, kHeight},
};

}  // namespace

const KeyboardLayout& keyboard_layout(MapLayout layout) {
  const auto index = static_cast<unsigned>(layout);
  return kLayouts[index < sizeof kLayouts / sizeof kLayouts[0] ? index : 0];
}

bool parse_map_layout(const char* name, MapLayout* layout) {
  if (name == nullptr) return false;
  for (unsigned i = 0; i < sizeof kLayouts / sizeof kLayouts[0]; ++i) {
    if (std::strcmp(name, kLayouts[i].name) != 0) continue;
    if (layout != nullptr) *layout = static_cast<MapLayout>(i);
    return true;
  }
  return false;
}

MapLayout map_layout_for_language(uint16_t language_id) {
  // Primary language ids (the low 10 bits), as Windows numbers them.
  constexpr uint16_t kJapanese = 0x11;
  constexpr uint16_t kEnglish = 0x09;
  constexpr uint16_t kIsoLanguages[] = {
      0x07 /* German */, 0x0C /* French */, 0x10 /* Italian */, 0x0A /* Spanish */,
      0x16 /* Portuguese */, 0x13 /* Dutch */, 0x1D /* Swedish */, 0x14 /* Norwegian */,
      0x06 /* Danish */, 0x0B /* Finnish */, 0x0F /* Icelandic */, 0x05 /* Czech */,
      0x1B /* Slovak */, 0x0E /* Hungarian */, 0x1F /* Turkish */, 0x08 /* Greek */,
      0x24 /* Slovenian */, 0x1A /* Croatian, Serbian, Bosnian */, 0x18 /* Romanian */,
      0x02 /* Bulgarian */, 0x3C /* Irish */, 0x25 /* Estonian */, 0x26 /* Latvian */,
      0x27 /* Lithuanian */, 0x3A /* Maltese */, 0x6E /* Luxembourgish */};
  constexpr uint16_t kSublanguageUk = 0x02;
  const uint16_t primary = language_id & 0x3FF;
  const uint16_t sublanguage = language_id >> 10;
  if (primary == kJapanese) return MapLayout::kJis;
  // English keyboards are ANSI but for the British and Irish ones.
  if (primary == kEnglish)
    return sublanguage == kSublanguageUk || sublanguage == 0x06 ? MapLayout::kIso : MapLayout::kAnsi;
  for (const uint16_t iso : kIsoLanguages)
    if (primary == iso) return MapLayout::kIso;
  return MapLayout::kAnsi;
}

int layout_key_index(const KeyboardLayout& layout, int key) {
  for (int i = 0; i < layout.count; ++i)
    if (static_cast<int>(layout.keys[i].key) == key) return i;
  return -1;
}
