// The mouse of the graphics screen, read and set through the driver.
#include "gfx/drivers/video_driver.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"
#include "rt/runtime.h"

int gfx_getmouse(int* x, int* y, int* wheel, int* buttons, int* clip) {
  int scratch[3];
  if (!wheel) wheel = &scratch[0];
  if (!buttons) buttons = &scratch[1];
  if (!clip) clip = &scratch[2];

  int result = -1;
  ScreenState* screen = screen_state;
  // x and y are required; without them the query fails like a missing mouse.
  if (screen && screen->driver && screen->driver->get_mouse && x && y) {
    screen_lock();
    result = screen->driver->get_mouse(x, y, wheel, buttons, clip);
    screen_unlock_unmarked();
  }
  if (result != 0) {
    if (x) *x = -1;
    if (y) *y = -1;
    *wheel = *buttons = *clip = -1;
    return set_error(1);
  }
  return set_error(0);
}

int gfx_setmouse(int x, int y, int cursor, int clip) {
  ScreenState* screen = screen_state;
  if (!screen || !screen->driver || !screen->driver->set_mouse) return set_error(1);
  screen_lock();
  screen->driver->set_mouse(x, y, cursor, clip);
  screen_unlock_unmarked();
  return set_error(0);
}
