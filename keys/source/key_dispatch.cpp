#include "keys/source/key_dispatch.h"

#include <cstring>

void key_dispatch_reset(KeyDispatch* dispatch) {
  if (dispatch != nullptr) std::memset(dispatch, 0, sizeof *dispatch);
}

int key_dispatch_add(KeyDispatch* dispatch, const KeyConsumer& consumer) {
  if (dispatch == nullptr || dispatch->consumer_count >= kMaxKeyConsumers) return -1;
  dispatch->consumers[dispatch->consumer_count++] = consumer;
  return 0;
}

namespace {

constexpr int kFocusLostEvent = -1;

void pass_on(const KeyDispatch& dispatch, const WaitingKeyEvent& event) {
  for (int i = 0; i < dispatch.consumer_count; ++i) {
    const KeyConsumer& consumer = dispatch.consumers[i];
    if (event.key == kFocusLostEvent) {
      if (consumer.focus_lost != nullptr) consumer.focus_lost(consumer.context, event.time_us);
    } else if (consumer.key != nullptr) {
      consumer.key(consumer.context, event.time_us, event.key, event.down, event.device);
    }
  }
}

void pass_on_or_keep(KeyDispatch* dispatch, const WaitingKeyEvent& event) {
  if (!dispatch->waiting) {
    pass_on(*dispatch, event);
  } else if (dispatch->waiting_count < kMaxWaitingKeyEvents) {
    dispatch->waiting_events[dispatch->waiting_count++] = event;
  } else {
    ++dispatch->waiting_dropped;
  }
}

}  // namespace

void key_dispatch_key(KeyDispatch* dispatch, int64_t time_us, int key, bool down, int device) {
  if (dispatch == nullptr || key < 0 || key >= kKeyIdCount) return;
  if (down != dispatch->held[key]) {
    dispatch->held[key] = down;
    dispatch->held_count += down ? 1 : -1;
  }
  pass_on_or_keep(dispatch, WaitingKeyEvent{time_us, key, down, device});
}

void key_dispatch_focus_lost(KeyDispatch* dispatch, int64_t time_us) {
  if (dispatch == nullptr) return;
  std::memset(dispatch->held, 0, sizeof dispatch->held);
  dispatch->held_count = 0;
  pass_on_or_keep(dispatch, WaitingKeyEvent{time_us, kFocusLostEvent, false, kNoKeyDevice});
}

void key_dispatch_wait(KeyDispatch* dispatch) {
  if (dispatch != nullptr) dispatch->waiting = true;
}

int key_dispatch_deliver(KeyDispatch* dispatch) {
  if (dispatch == nullptr) return 0;
  dispatch->waiting = false;
  for (int i = 0; i < dispatch->waiting_count; ++i) pass_on(*dispatch, dispatch->waiting_events[i]);
  const int dropped = dispatch->waiting_dropped;
  dispatch->waiting_count = 0;
  dispatch->waiting_dropped = 0;
  return dropped;
}
