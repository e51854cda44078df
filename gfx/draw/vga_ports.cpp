// The emulated colour registers at ports 0x3C7-0x3C9 and the retrace status
// port 0x3DA.
#include <cstring>

#include "gfx/data/builtin_data.h"
#include "gfx/drivers/video_driver.h"
#include "gfx/gfx_handlers.h"
#include "gfx/draw/palette.h"
#include "gfx/screen.h"

namespace {

constexpr uint16_t kPortReadIndex = 0x3C7;
constexpr uint16_t kPortWriteIndex = 0x3C8;
constexpr uint16_t kPortData = 0x3C9;
constexpr uint16_t kPortStatus = 0x3DA;
constexpr int kRetraceBit = 8;

// Process-wide, so that a colour written across a mode change goes on with
// its next component. The components sit at bit 2, 10 and 18: each 6-bit
// value times four in its own byte.
int dac_index = 0;
int dac_shift = 2;
uint32_t dac_value = 0;

constexpr int kLastShift = 18;

int colour_set_mask(const ScreenState* screen) { return screen->default_palette->count - 1; }

void write_colour_set_entry(ScreenState* screen) {
  screen_lock();
  screen->palette[dac_index] = dac_value;
  const int attributes = 1 << screen->depth;
  for (int i = 0; i < attributes && i < 16; ++i) {
    if (screen->color_association[i] != dac_index) continue;
    screen->device_palette[i] = dac_value;
    if (screen->driver && screen->driver->set_palette)
      screen->driver->set_palette(i, dac_value & 0xFF, (dac_value >> 8) & 0xFF, (dac_value >> 16) & 0xFF);
  }
  std::memset(screen->dirty_lines, 1, static_cast<size_t>(screen->height));
  screen_unlock_unmarked();
}

}  // namespace

int gfx_out(int port, int value) {
  ScreenState* screen = screen_state;
  const auto number = static_cast<uint16_t>(port);
  const auto byte = static_cast<uint8_t>(value);
  if (!screen || screen->depth > 8) return -1;
  if (number == kPortReadIndex || number == kPortWriteIndex) {
    dac_value = 0;
    dac_index = byte & colour_set_mask(screen);
    dac_shift = 2;
    return 0;
  }
  if (number != kPortData) return -1;

  dac_value |= static_cast<uint32_t>(byte & 0x3F) << dac_shift;
  dac_shift += 8;
  if (dac_shift <= kLastShift) return 0;
  if (screen->default_palette == &palette_256) {
    screen_palette(dac_index, static_cast<int>((dac_value >> 2) & 0x3F3F3F), -1, -1);
  } else {
    write_colour_set_entry(screen);
  }
  dac_value = 0;
  dac_shift = 2;
  dac_index = (dac_index + 1) & colour_set_mask(screen);
  return 0;
}

int gfx_inp(int port) {
  ScreenState* screen = screen_state;
  if (!screen) return -1;
  const auto number = static_cast<uint16_t>(port);
  if (number == kPortStatus) {
    if (screen->driver && screen->driver->wait_vsync) screen->driver->wait_vsync();
    return kRetraceBit;
  }
  if (number != kPortData || screen->depth > 8) return -1;
  const int value = static_cast<int>((screen->device_palette[dac_index & 0xFF] >> dac_shift) & 0x3F);
  dac_shift += 8;
  if (dac_shift > kLastShift) {
    dac_shift = 2;
    dac_index = (dac_index + 1) & colour_set_mask(screen);
  }
  return value;
}
