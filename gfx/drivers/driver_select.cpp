// Choosing a driver: the preferred one by name first, then every driver, and
// as a last resort with the fullscreen bit inverted.
#include <span>

#include "gfx/drivers/video_driver.h"

namespace {

void empty_routine() {}

// One walk over the driver list: only the preferred driver or every driver,
// with the fullscreen bit as asked or inverted as a last resort.
struct Pass {
  bool preferred_only;
  bool fullscreen_inverted;
};

constexpr Pass kPassesWithPreference[] = {
    {.preferred_only = true, .fullscreen_inverted = false},
    {.preferred_only = false, .fullscreen_inverted = false},
    {.preferred_only = true, .fullscreen_inverted = false},
    {.preferred_only = false, .fullscreen_inverted = true},
};
constexpr Pass kPassesWithoutPreference[] = {
    {.preferred_only = false, .fullscreen_inverted = false},
    {.preferred_only = false, .fullscreen_inverted = true},
};

}  // namespace

bool driver_name_equals(const char* a, const char* b) {
  if (!a || !b) return false;
  for (; *a && *b; ++a, ++b) {
    char x = *a, y = *b;
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return *a == *b;
}

const VideoDriver null_driver{
    .name = "Null",
    .lock = empty_routine,
    .unlock = empty_routine,
};

const VideoDriver* select_driver(const VideoDriver* const* drivers, const char* preferred_name,
                                 const char* title, int width, int height, int depth,
                                 int refresh_rate, int flags) {
  if (flags == kFlagNullDriver || (preferred_name && driver_name_equals(preferred_name, "null")))
    return &null_driver;
  if (!drivers) return nullptr;

  const std::span<const Pass> passes = preferred_name ? std::span<const Pass>(kPassesWithPreference)
                                                      : std::span<const Pass>(kPassesWithoutPreference);
  for (const Pass& pass : passes) {
    const int pass_flags = pass.fullscreen_inverted ? flags ^ kFlagFullscreen : flags;
    for (const VideoDriver* const* entry = drivers; *entry && (*entry)->name; ++entry) {
      const VideoDriver* driver = *entry;
      if (pass.preferred_only && !driver_name_equals(driver->name, preferred_name)) continue;
      const int rates[2] = {refresh_rate, 0};
      for (int rate : rates) {
        if (driver->init && driver->init(title, width, height, depth, rate, pass_flags) == 0) return driver;
        if (driver->exit) driver->exit();
      }
    }
  }
  return nullptr;
}
