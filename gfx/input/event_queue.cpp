// The ring of screen events, guarded by its own lock.
#include "gfx/input/key_input.h"
#include "rt/runtime.h"

void post_screen_event(const ScreenEvent& event) {
  ScreenState* screen = screen_state;
  if (!screen || !screen->event_queue) return;
  semaphore_wait(screen->event_lock);
  screen->event_queue[screen->event_head] = event;
  const int32_t next = (screen->event_head + 1) & (kEventQueueSize - 1);
  // A full ring drops its oldest event.
  if (next == screen->event_tail) screen->event_tail = (screen->event_tail + 1) & (kEventQueueSize - 1);
  screen->event_head = next;
  semaphore_release(screen->event_lock);
}

bool take_screen_event(ScreenEvent* event) {
  ScreenState* screen = screen_state;
  if (!screen || !screen->event_queue || !event) return false;
  semaphore_wait(screen->event_lock);
  const bool available = screen->event_tail != screen->event_head;
  if (available) {
    *event = screen->event_queue[screen->event_tail];
    screen->event_tail = (screen->event_tail + 1) & (kEventQueueSize - 1);
  }
  semaphore_release(screen->event_lock);
  return available;
}
