// Choosing a driver: the preferred one by name first, then every driver, and
// as a last resort with the fullscreen bit inverted.
#include <cstring>

#include "gfx/drivers/video_driver.h"

namespace {

bool same_name(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    char x = *a, y = *b;
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return *a == *b;
}

void empty_routine() {}

}  // namespace

const VideoDriver null_driver{"Null",  nullptr, nullptr,      empty_routine, empty_routine,
                              nullptr, nullptr, nullptr,      nullptr,       nullptr,
                              nullptr, nullptr, nullptr,      nullptr};

const VideoDriver* select_driver(const VideoDriver* const* drivers, const char* preferred_name,
                                 const char* title, int width, int height, int depth,
                                 int refresh_rate, int flags) {
  if (flags == -1 || (preferred_name && same_name(preferred_name, "null"))) return &null_driver;
  if (!drivers) return nullptr;

  const int passes = preferred_name ? 4 : 2;
  for (int pass = passes; pass >= 1; --pass) {
    for (const VideoDriver* const* entry = drivers; *entry && (*entry)->name; ++entry) {
      const VideoDriver* driver = *entry;
      if (preferred_name && pass % 2 == 0 && !same_name(driver->name, preferred_name)) continue;
      const int rates[2] = {refresh_rate, 0};
      for (int rate : rates) {
        if (driver->init && driver->init(title, width, height, depth, rate, flags) == 0) return driver;
        if (driver->exit) driver->exit();
      }
    }
    if (!preferred_name || pass == 2) flags ^= 0x01;
  }
  return nullptr;
}
