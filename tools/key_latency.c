/* Key to pixels: presses a real key through the X test extension, polls the
 * window's pixels until text row 5 (pixel rows 32-39, where the viewer lists
 * the held scancodes) changes, then releases the key and waits for the row
 * to read as before. Prints the median, the 90th percentile and the maximum
 * of the press-to-change times.
 *
 * Usage: key_latency WINDOW-ID [PRESSES]   (default 60 presses) */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

enum { kRowTop = 32, kRowHeight = 8, kWidth = 320 };
static const double kGiveUpSeconds = 2.0;

static double now_seconds(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

static void pause_ms(double milliseconds) {
  struct timespec t = {(time_t)(milliseconds / 1000), (long)((long long)(milliseconds * 1e6) % 1000000000LL)};
  nanosleep(&t, NULL);
}

/* The row's pixels as one block of bytes; 0 when the window cannot be read. */
static int read_row(Display* display, Window window, unsigned char* out, size_t size) {
  XImage* image = XGetImage(display, window, 0, kRowTop, kWidth, kRowHeight, AllPlanes, ZPixmap);
  if (!image) return 0;
  size_t bytes = (size_t)image->bytes_per_line * kRowHeight;
  if (bytes > size) bytes = size;
  memcpy(out, image->data, bytes);
  XDestroyImage(image);
  return 1;
}

/* Polls until the row differs from (changed = 1) or equals (0) the
 * reference; the time waited in seconds, or -1 after giving up. */
static double wait_for_row(Display* display, Window window, const unsigned char* reference, size_t size,
                           int changed) {
  unsigned char* row = malloc(size);
  const double start = now_seconds();
  double waited = -1;
  while (row && now_seconds() - start < kGiveUpSeconds) {
    if (read_row(display, window, row, size) && (memcmp(row, reference, size) != 0) == changed) {
      waited = now_seconds() - start;
      break;
    }
    pause_ms(0.5);
  }
  free(row);
  return waited;
}

static int compare_doubles(const void* a, const void* b) {
  const double x = *(const double*)a, y = *(const double*)b;
  return (x > y) - (x < y);
}

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    fprintf(stderr, "usage: %s WINDOW-ID [PRESSES]\n", argv[0]);
    return 2;
  }
  const Window window = (Window)strtoul(argv[1], NULL, 0);
  const int presses = argc == 3 ? atoi(argv[2]) : 60;
  if (window == 0 || presses < 1) {
    fprintf(stderr, "%s: bad window id or press count\n", argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  int event_base, error_base, major, minor;
  if (!display || !XTestQueryExtension(display, &event_base, &error_base, &major, &minor)) {
    fprintf(stderr, "%s: no display with the X test extension\n", argv[0]);
    return 1;
  }
  const KeyCode key = XKeysymToKeycode(display, XK_a);
  const size_t size = (size_t)kWidth * kRowHeight * 4;
  unsigned char* idle_row = calloc(1, size);
  double* times = calloc((size_t)presses, sizeof *times);
  if (!idle_row || !times || !read_row(display, window, idle_row, size)) {
    fprintf(stderr, "%s: cannot read the window\n", argv[0]);
    return 1;
  }

  srand(12);
  int measured = 0;
  for (int i = 0; i < presses; ++i) {
    XTestFakeKeyEvent(display, key, True, CurrentTime);
    XFlush(display);
    const double latency = wait_for_row(display, window, idle_row, size, 1);
    XTestFakeKeyEvent(display, key, False, CurrentTime);
    XFlush(display);
    if (latency < 0) {
      fprintf(stderr, "%s: press %d: row 5 did not change\n", argv[0], i + 1);
      return 1;
    }
    times[measured++] = latency * 1000;
    if (wait_for_row(display, window, idle_row, size, 0) < 0) {
      fprintf(stderr, "%s: press %d: row 5 did not return after the release\n", argv[0], i + 1);
      return 1;
    }
    pause_ms(20 + rand() % 40); /* presses fall on any phase of the loops */
  }
  qsort(times, (size_t)measured, sizeof *times, compare_doubles);
  const double median = measured % 2 ? times[measured / 2] : (times[measured / 2 - 1] + times[measured / 2]) / 2;
  int p90_index = (measured * 9 + 9) / 10 - 1;
  printf("presses %d  median %.1f ms  p90 %.1f ms  max %.1f ms  (min %.1f ms)\n", measured, median,
         times[p90_index], times[measured - 1], times[0]);
  free(times);
  free(idle_row);
  XCloseDisplay(display);
  return 0;
}
