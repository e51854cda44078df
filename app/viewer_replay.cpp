#include "app/viewer_replay.h"

#include <atomic>
#include <cstring>

#include "gfx/screen.h"
#include "keys/log/key_log_reader.h"
#include "keys/map/keyboard_map.h"

namespace {

// The log read and not yet shown. About 1 KB of chunk pointers and 4 KB of
// keyboards: kept off the stacks.
KeyRecord waiting_record;
KeyLogReadResult waiting_result;
char waiting_name[128];
// The waiting slot belongs to whoever moved it to kBusy: the Open dialog's
// thread reading into it, or the program thread showing it.
enum SlotState { kEmpty, kBusy, kReady };
std::atomic<int> slot{kEmpty};

bool take_slot(int from) { return slot.compare_exchange_strong(from, kBusy, std::memory_order_acq_rel); }

char shown_name[128] = "";
char base_title[128] = "";

const char* file_part(const char* path) {
  const char* name = path;
  for (const char* p = path; *p != '\0'; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  return name;
}

// Appends text to out (size bytes, ended), cut where it fills.
void append(char* out, size_t size, const char* text) {
  size_t used = std::strlen(out);
  while (*text != '\0' && used + 1 < size) out[used++] = *text++;
  out[used] = '\0';
}

}  // namespace

int viewer_replay_read(const char* path, char* reason, size_t reason_size) {
  if (reason != nullptr && reason_size > 0) reason[0] = '\0';
  if (path == nullptr || path[0] == '\0') {
    if (reason != nullptr && reason_size > 0) append(reason, reason_size, "no file name");
    return -1;
  }
  if (!take_slot(kEmpty) && !take_slot(kReady)) {
    if (reason != nullptr && reason_size > 0) append(reason, reason_size, "another log is being opened");
    return -1;
  }
  key_record_clear(&waiting_record);
  char error[200] = "";
  if (read_key_log_file(path, &waiting_record, &waiting_result, error, sizeof error) != 0) {
    key_record_clear(&waiting_record);
    slot.store(kEmpty, std::memory_order_release);
    if (reason != nullptr && reason_size > 0) {
      append(reason, reason_size, file_part(path));
      append(reason, reason_size, ": ");
      append(reason, reason_size, error);
    }
    return -1;
  }
  waiting_name[0] = '\0';
  append(waiting_name, sizeof waiting_name, file_part(path));
  slot.store(kReady, std::memory_order_release);
  return 0;
}

void viewer_replay_show(bool keep_threshold) {
  if (!take_slot(kReady)) return;
  if (!keep_threshold && waiting_result.chatter_ms > 0) keyboard_map_set_chatter_ms(waiting_result.chatter_ms);
  keyboard_map_show_file(&waiting_record, waiting_result.keyboards, waiting_result.keyboard_count,
                         waiting_result.end_us, waiting_name);
  keyboard_map_show(true);
  shown_name[0] = '\0';
  append(shown_name, sizeof shown_name, waiting_name);
  slot.store(kEmpty, std::memory_order_release);
  // The program's name stays first: a saved test is never taken for a live one.
  if (base_title[0] == '\0' && screen_title() != nullptr) append(base_title, sizeof base_title, screen_title());
  if (base_title[0] == '\0') return;
  char title[128] = "";
  append(title, sizeof title, base_title);
  append(title, sizeof title, " - ");
  append(title, sizeof title, shown_name);
  set_screen_title(title, static_cast<int>(std::strlen(title)));
}

int viewer_replay_open(const char* path, bool keep_threshold, char* reason, size_t reason_size) {
  if (viewer_replay_read(path, reason, reason_size) != 0) return -1;
  viewer_replay_show(keep_threshold);
  return 0;
}

void viewer_replay_live_again() {
  if (shown_name[0] == '\0' || base_title[0] == '\0') return;
  shown_name[0] = '\0';
  set_screen_title(base_title, static_cast<int>(std::strlen(base_title)));
}

const char* viewer_replay_name() { return keyboard_map_showing_file() ? shown_name : ""; }
