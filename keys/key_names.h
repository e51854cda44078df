// Physical keys as the log names them: the scancode the page shows plus the
// prefix byte that tells keys of one scancode apart (keypad Enter is E0 28,
// Enter is 28; Pause is E1 69, Num Lock is 69).
#pragma once

enum KeyPrefix { kNoPrefix = 0, kPrefixE0 = 1, kPrefixE1 = 2 };

// A key id holds the scancode in its low byte and the prefix above it.
constexpr int kKeyIdCount = 3 << 8;
constexpr int make_key_id(int scancode, int prefix) { return ((prefix & 3) << 8) | (scancode & 0xFF); }
constexpr int key_id_scancode(int key) { return key & 0xFF; }
constexpr int key_id_prefix(int key) { return (key >> 8) & 3; }

// "e0", "e1" or "" for the prefix of a key id.
const char* key_prefix_text(int key);

// The English name of the key on a US keyboard ("A", "Left Shift", "Keypad
// Enter"); "Unknown" for a key id no keyboard sends. Never a typed character.
const char* key_name(int key);
