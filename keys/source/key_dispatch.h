// Hands each key event of the input source to every consumer (the key log,
// the keyboard map, ...) and keeps the source's own count of held keys, which
// tells the source whether to watch for the keyboard going to another window.
// Portable and clock-free; the source calls it from its one thread.
#pragma once

#include <cstdint>

#include "keys/key_names.h"

// One reader of key events. Either entry may be null.
struct KeyConsumer {
  // A press (down) or release of a key id, at microseconds since the start,
  // from the keyboard numbered device (1 up; kNoKeyDevice when unknown).
  void (*key)(void* context, int64_t time_us, int key, bool down, int device);
  // The window lost the keyboard: every key held is to be taken as released.
  void (*focus_lost)(void* context, int64_t time_us);
  void* context;
};

constexpr int kMaxKeyConsumers = 4;

// The device number of an event whose keyboard is not known.
constexpr int kNoKeyDevice = 0;

// Events kept while the consumers are not ready yet (the window is opening):
// more than a person types in the second that takes.
constexpr int kMaxWaitingKeyEvents = 256;

// A key event (key >= 0) or a focus loss (key < 0) kept for later.
struct WaitingKeyEvent {
  int64_t time_us;
  int key;
  bool down;
  int device;
};

struct KeyDispatch {
  KeyConsumer consumers[kMaxKeyConsumers];
  int consumer_count;
  bool held[kKeyIdCount];
  int held_count;
  // While waiting, events are kept in order instead of passed on.
  bool waiting;
  WaitingKeyEvent waiting_events[kMaxWaitingKeyEvents];
  int waiting_count;
  int waiting_dropped;
};

// No consumers, no keys held.
void key_dispatch_reset(KeyDispatch* dispatch);

// Adds a consumer; -1 when the table is full or an argument is null.
int key_dispatch_add(KeyDispatch* dispatch, const KeyConsumer& consumer);

// Passes the event on, in the order the consumers were added, and counts
// held keys (a repeat of a held key or a release of a key not held leaves
// the count alone). Key ids out of range are dropped.
void key_dispatch_key(KeyDispatch* dispatch, int64_t time_us, int key, bool down,
                      int device = kNoKeyDevice);

// Passes the focus loss on and forgets every held key.
void key_dispatch_focus_lost(KeyDispatch* dispatch, int64_t time_us);

// From now on events are kept, not passed on; the held count goes on as
// usual. Beyond kMaxWaitingKeyEvents the later ones are dropped and counted.
void key_dispatch_wait(KeyDispatch* dispatch);

// Passes the kept events on in their order and every later one at once.
// Returns how many were dropped while waiting.
int key_dispatch_deliver(KeyDispatch* dispatch);
