// The ring of screen events, guarded by its own lock. Its ends are also
// stored atomically, so that a look at an empty ring needs no lock: under
// Wine each take of the lock is a call to the Wine server, and programs look
// for events on every pass whether or not any came.
#include "gfx/input/key_input.h"
#include "rt/runtime.h"

namespace {

int32_t load_end(const int32_t* end) { return __atomic_load_n(end, __ATOMIC_RELAXED); }
void store_end(int32_t* end, int32_t value) { __atomic_store_n(end, value, __ATOMIC_RELAXED); }

}  // namespace

void post_screen_event(const ScreenEvent& event) {
  ScreenState* screen = screen_state;
  if (!screen || !screen->event_queue) return;
  semaphore_wait(screen->event_lock);
  screen->event_queue[screen->event_head] = event;
  const int32_t next = (screen->event_head + 1) & (kEventQueueSize - 1);
  // A full ring drops its oldest event.
  if (next == screen->event_tail) store_end(&screen->event_tail, (screen->event_tail + 1) & (kEventQueueSize - 1));
  store_end(&screen->event_head, next);
  semaphore_release(screen->event_lock);
}

bool take_screen_event(ScreenEvent* event) {
  ScreenState* screen = screen_state;
  if (!screen || !screen->event_queue || !event) return false;
  // An event posted while this looks is taken at the next look.
  if (load_end(&screen->event_head) == load_end(&screen->event_tail)) return false;
  semaphore_wait(screen->event_lock);
  const bool available = screen->event_tail != screen->event_head;
  if (available) {
    *event = screen->event_queue[screen->event_tail];
    store_end(&screen->event_tail, (screen->event_tail + 1) & (kEventQueueSize - 1));
  }
  semaphore_release(screen->event_lock);
  return available;
}
