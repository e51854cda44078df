// The video driver that shows the screen through device-independent bitmaps.
#pragma once

#include <cstdint>

#include "gfx/drivers/video_driver.h"

extern const VideoDriver gdi_driver;

int gdi_init(const char* title, int width, int height, int depth, int refresh_rate, int flags);
int gdi_open();
void gdi_close();
void gdi_paint();
void gdi_thread(void* ready_event);
int* gdi_fetch_modes(int depth, int* count);

// What the event thread's updates drew, for tests: the number of bitmap
// transfers so far and the output lines of the last one, and the number of
// whole iterations (each counted just before the window lock is left).
struct GdiUpdateRecord {
  int32_t draws;
  int32_t first_line;
  int32_t line_count;
  int32_t iterations;
};
extern GdiUpdateRecord gdi_update_record;

// The blitter's output, or null when the frame buffer is drawn directly.
const uint8_t* gdi_conversion_buffer();
