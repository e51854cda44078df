#include "gfx/screen.h"

// Modes 1 to 21; rows 3 to 6 are empty. Mode 12 refers to the 256-entry
// palette although its depth is 4.
const ModeInfo mode_table[kModeCount] = {
    {320, 200, 2, 1, &palette_16, &font_8x8, 40, 25, 0.0f},     // 1
    {640, 200, 1, 2, &palette_16, &font_8x8, 80, 25, 0.0f},     // 2
    {0, 0, 0, 0, nullptr, nullptr, 0, 0, 0.0f},                 // 3
    {0, 0, 0, 0, nullptr, nullptr, 0, 0, 0.0f},                 // 4
    {0, 0, 0, 0, nullptr, nullptr, 0, 0, 0.0f},                 // 5
    {0, 0, 0, 0, nullptr, nullptr, 0, 0, 0.0f},                 // 6
    {320, 200, 4, 1, &palette_16, &font_8x8, 40, 25, 0.0f},     // 7
    {640, 200, 4, 2, &palette_16, &font_8x8, 80, 25, 0.0f},     // 8
    {640, 350, 4, 1, &palette_64, &font_8x14, 80, 25, 0.0f},    // 9
    {640, 350, 1, 1, &palette_2, &font_8x14, 80, 25, 0.0f},     // 10
    {640, 480, 1, 1, &palette_2, &font_8x16, 80, 30, 0.0f},     // 11
    {640, 480, 4, 1, &palette_256, &font_8x16, 80, 30, 0.0f},   // 12
    {320, 200, 8, 1, &palette_256, &font_8x8, 40, 25, 0.0f},    // 13
    {320, 240, 8, 1, &palette_256, &font_8x8, 40, 30, 0.0f},    // 14
    {400, 300, 8, 1, &palette_256, &font_8x8, 50, 37, 0.0f},    // 15
    {512, 384, 8, 1, &palette_256, &font_8x16, 64, 24, 0.0f},   // 16
    {640, 400, 8, 1, &palette_256, &font_8x16, 80, 25, 0.0f},   // 17
    {640, 480, 8, 1, &palette_256, &font_8x16, 80, 30, 0.0f},   // 18
    {800, 600, 8, 1, &palette_256, &font_8x16, 100, 37, 0.0f},  // 19
    {1024, 768, 8, 1, &palette_256, &font_8x16, 128, 48, 0.0f}, // 20
    {1280, 1024, 8, 1, &palette_256, &font_8x16, 160, 64, 0.0f},// 21
};
