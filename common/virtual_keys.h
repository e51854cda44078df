// The Windows virtual-key codes and the console's modifier bits as plain
// constants, so that the key tables and the key translation read the same in
// both builds without pulling <windows.h> into portable code. The values are
// checked against the system's own in common/win32/virtual_keys_check.cpp.
#pragma once

#include <cstdint>

namespace vk {
inline constexpr uint8_t kBack = 0x08;
inline constexpr uint8_t kTab = 0x09;
inline constexpr uint8_t kReturn = 0x0D;
inline constexpr uint8_t kShift = 0x10;
inline constexpr uint8_t kControl = 0x11;
inline constexpr uint8_t kMenu = 0x12;
inline constexpr uint8_t kCapital = 0x14;
inline constexpr uint8_t kEscape = 0x1B;
inline constexpr uint8_t kSpace = 0x20;
inline constexpr uint8_t kPrior = 0x21;
inline constexpr uint8_t kNext = 0x22;
inline constexpr uint8_t kEnd = 0x23;
inline constexpr uint8_t kHome = 0x24;
inline constexpr uint8_t kLeft = 0x25;
inline constexpr uint8_t kUp = 0x26;
inline constexpr uint8_t kRight = 0x27;
inline constexpr uint8_t kDown = 0x28;
inline constexpr uint8_t kInsert = 0x2D;
inline constexpr uint8_t kDelete = 0x2E;
inline constexpr uint8_t kLWin = 0x5B;
inline constexpr uint8_t kRWin = 0x5C;
inline constexpr uint8_t kApps = 0x5D;
inline constexpr uint8_t kNumpad0 = 0x60;
inline constexpr uint8_t kNumpad1 = 0x61;
inline constexpr uint8_t kNumpad2 = 0x62;
inline constexpr uint8_t kNumpad3 = 0x63;
inline constexpr uint8_t kNumpad4 = 0x64;
inline constexpr uint8_t kNumpad5 = 0x65;
inline constexpr uint8_t kNumpad6 = 0x66;
inline constexpr uint8_t kNumpad7 = 0x67;
inline constexpr uint8_t kNumpad8 = 0x68;
inline constexpr uint8_t kNumpad9 = 0x69;
inline constexpr uint8_t kMultiply = 0x6A;
inline constexpr uint8_t kAdd = 0x6B;
inline constexpr uint8_t kSubtract = 0x6D;
inline constexpr uint8_t kDecimal = 0x6E;
inline constexpr uint8_t kDivide = 0x6F;
inline constexpr uint8_t kF1 = 0x70;
inline constexpr uint8_t kF2 = 0x71;
inline constexpr uint8_t kF3 = 0x72;
inline constexpr uint8_t kF4 = 0x73;
inline constexpr uint8_t kF5 = 0x74;
inline constexpr uint8_t kF6 = 0x75;
inline constexpr uint8_t kF7 = 0x76;
inline constexpr uint8_t kF8 = 0x77;
inline constexpr uint8_t kF9 = 0x78;
inline constexpr uint8_t kF10 = 0x79;
inline constexpr uint8_t kF11 = 0x7A;
inline constexpr uint8_t kF12 = 0x7B;
inline constexpr uint8_t kNumLock = 0x90;
inline constexpr uint8_t kScroll = 0x91;
inline constexpr uint8_t kLShift = 0xA0;
inline constexpr uint8_t kRShift = 0xA1;
inline constexpr uint8_t kLControl = 0xA2;
inline constexpr uint8_t kRControl = 0xA3;
inline constexpr uint8_t kLMenu = 0xA4;
inline constexpr uint8_t kRMenu = 0xA5;
inline constexpr uint8_t kOem1 = 0xBA;
inline constexpr uint8_t kOemPlus = 0xBB;
inline constexpr uint8_t kOemComma = 0xBC;
inline constexpr uint8_t kOemMinus = 0xBD;
inline constexpr uint8_t kOemPeriod = 0xBE;
inline constexpr uint8_t kOem2 = 0xBF;
inline constexpr uint8_t kOem3 = 0xC0;
inline constexpr uint8_t kOem4 = 0xDB;
inline constexpr uint8_t kOem5 = 0xDC;
inline constexpr uint8_t kOem6 = 0xDD;
inline constexpr uint8_t kOem7 = 0xDE;

// Modifier bits of a key, as the console reports them.
inline constexpr uint32_t kRightAltPressed = 0x0001;
inline constexpr uint32_t kLeftAltPressed = 0x0002;
inline constexpr uint32_t kRightCtrlPressed = 0x0004;
inline constexpr uint32_t kLeftCtrlPressed = 0x0008;
inline constexpr uint32_t kShiftPressed = 0x0010;
inline constexpr uint32_t kEnhancedKey = 0x0100;

}  // namespace vk
