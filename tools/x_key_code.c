/* Presses or releases an X key by its key code, through XTest: for keys that
 * xdotool reaches only by a keysym another key also carries (the key left of
 * Z gives "less", which xdotool sends as Shift and comma). Usage:
 * x_key_code KEYCODE down|up|press. Exits 0 when the event was sent. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

int main(int argc, char** argv) {
  char* end = NULL;
  const long code = argc == 3 ? strtol(argv[1], &end, 0) : 0;
  if (argc != 3 || !end || *end != '\0' || code < 8 || code > 255 ||
      (strcmp(argv[2], "down") != 0 && strcmp(argv[2], "up") != 0 && strcmp(argv[2], "press") != 0)) {
    fprintf(stderr, "usage: %s KEYCODE down|up|press (key codes 8 to 255)\n", argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  int event_base, error_base, major, minor;
  if (!display || !XTestQueryExtension(display, &event_base, &error_base, &major, &minor)) {
    fprintf(stderr, "%s: no display with the XTest extension\n", argv[0]);
    return 1;
  }
  if (strcmp(argv[2], "up") != 0) XTestFakeKeyEvent(display, (unsigned)code, True, CurrentTime);
  if (strcmp(argv[2], "down") != 0) XTestFakeKeyEvent(display, (unsigned)code, False, CurrentTime);
  XSync(display, False);
  XCloseDisplay(display);
  return 0;
}
