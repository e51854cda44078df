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

void key_dispatch_key(KeyDispatch* dispatch, int64_t time_us, int key, bool down, int device) {
  if (dispatch == nullptr || key < 0 || key >= kKeyIdCount) return;
  if (down != dispatch->held[key]) {
    dispatch->held[key] = down;
    dispatch->held_count += down ? 1 : -1;
  }
  for (int i = 0; i < dispatch->consumer_count; ++i) {
    const KeyConsumer& consumer = dispatch->consumers[i];
    if (consumer.key != nullptr) consumer.key(consumer.context, time_us, key, down, device);
  }
}

void key_dispatch_focus_lost(KeyDispatch* dispatch, int64_t time_us) {
  if (dispatch == nullptr) return;
  std::memset(dispatch->held, 0, sizeof dispatch->held);
  dispatch->held_count = 0;
  for (int i = 0; i < dispatch->consumer_count; ++i) {
    const KeyConsumer& consumer = dispatch->consumers[i];
    if (consumer.focus_lost != nullptr) consumer.focus_lost(consumer.context, time_us);
  }
}
