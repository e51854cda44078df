// Turning a key message into the key code of the key buffer.
#pragma once

#include <cstdint>

// character: the typed character 0-255, 0 for none; modifiers: the console's
// control-key-state bits (vk::kRightAltPressed ... vk::kEnhancedKey).
// Returns -1 for no key code, 1-255 for a character, or 0xNNFF for the
// extended key NN.
int32_t translate_key(int character, int scancode, int virtual_key, uint32_t modifiers);

// The extended code of Alt+F4, which both the window and the console put
// into their key buffers when the user asks to close.
constexpr int32_t kCloseKey = 0x6BFF;
