#include "keys/key_names.h"

namespace {

// Scancode set 1 without a prefix, 0x00-0x7F.
constexpr const char* kPlainNames[0x80] = {
    nullptr, "Escape", "1", "2", "3", "4", "5", "6",                                 // 00
    "7", "8", "9", "0", "Minus", "Equals", "Backspace", "Tab",                       // 08
    "Q", "W", "E", "R", "T", "Y", "U", "I",                                          // 10
    "O", "P", "Left Bracket", "Right Bracket", "Enter", "Left Ctrl", "A", "S",       // 18
    "D", "F", "G", "H", "J", "K", "L", "Semicolon",                                  // 20
    "Apostrophe", "Grave", "Left Shift", "Backslash", "Z", "X", "C", "V",            // 28
    "B", "N", "M", "Comma", "Period", "Slash", "Right Shift", "Keypad *",            // 30
    "Left Alt", "Space", "Caps Lock", "F1", "F2", "F3", "F4", "F5",                  // 38
    "F6", "F7", "F8", "F9", "F10", "Num Lock", "Scroll Lock", "Keypad 7",            // 40
    "Keypad 8", "Keypad 9", "Keypad -", "Keypad 4", "Keypad 5", "Keypad 6", "Keypad +", "Keypad 1",  // 48
    "Keypad 2", "Keypad 3", "Keypad 0", "Keypad .", "SysRq", nullptr, "102nd Key", "F11",  // 50
    // 5B-5D come with E0 from keyboards; the plain codes are what input made
    // from the virtual key alone gives, and name the same keys.
    "F12", "Keypad =", nullptr, "Left Windows", "Right Windows", "Menu", nullptr, nullptr,  // 58
    nullptr, nullptr, nullptr, nullptr, "F13", "F14", "F15", "F16",                  // 60
    "F17", "F18", "F19", "F20", "F21", "F22", "F23", nullptr,                        // 68
    "Katakana/Hiragana", nullptr, nullptr, "Ro", nullptr, nullptr, "F24", nullptr,   // 70
    nullptr, "Henkan", nullptr, "Muhenkan", nullptr, "Yen", "Keypad ,", nullptr,     // 78
};

struct PrefixedName {
  unsigned char scancode;
  const char* name;
};

// The E0 block: the grey keys, the right-hand modifiers and the media keys.
constexpr PrefixedName kE0Names[] = {
    {0x10, "Previous Track"}, {0x19, "Next Track"}, {0x1C, "Keypad Enter"},
    {0x1D, "Right Ctrl"}, {0x20, "Mute"}, {0x21, "Calculator"}, {0x22, "Play/Pause"},
    {0x24, "Stop"}, {0x2E, "Volume Down"}, {0x30, "Volume Up"}, {0x32, "Browser Home"},
    {0x35, "Keypad /"}, {0x37, "Print Screen"}, {0x38, "Right Alt"}, {0x46, "Break"},
    {0x47, "Home"}, {0x48, "Up"}, {0x49, "Page Up"}, {0x4B, "Left"}, {0x4D, "Right"},
    {0x4F, "End"}, {0x50, "Down"}, {0x51, "Page Down"}, {0x52, "Insert"}, {0x53, "Delete"},
    {0x5B, "Left Windows"}, {0x5C, "Right Windows"}, {0x5D, "Menu"}, {0x5E, "Power"},
    {0x5F, "Sleep"}, {0x63, "Wake"}, {0x65, "Browser Search"}, {0x66, "Browser Favorites"},
    {0x67, "Browser Refresh"}, {0x68, "Browser Stop"}, {0x69, "Browser Forward"},
    {0x6A, "Browser Back"}, {0x6B, "My Computer"}, {0x6C, "Mail"}, {0x6D, "Media Select"},
};

constexpr char kUnknown[] = "Unknown";

}  // namespace

const char* key_prefix_text(int key) {
  switch (key_id_prefix(key)) {
    case kPrefixE0: return "e0";
    case kPrefixE1: return "e1";
    default: return "";
  }
}

const char* key_name(int key) {
  if (key < 0 || key >= kKeyIdCount) return kUnknown;
  const int scancode = key_id_scancode(key);
  switch (key_id_prefix(key)) {
    case kNoPrefix: {
      const char* name = scancode < 0x80 ? kPlainNames[scancode] : nullptr;
      return name != nullptr ? name : kUnknown;
    }
    case kPrefixE0:
      for (const PrefixedName& row : kE0Names)
        if (row.scancode == scancode) return row.name;
      return kUnknown;
    case kPrefixE1:
      // The only E1 key: its sequence E1 1D 45 is logged under 69.
      return scancode == 0x45 ? "Pause" : kUnknown;
    default:
      return kUnknown;
  }
}
