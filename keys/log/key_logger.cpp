#include "keys/log/key_logger.h"

#include <cstdio>

#include "keys/checked_output.h"
#include "keys/log/key_log.h"
#include "keys/log/keyboard_list_format.h"

namespace {

KeyLog the_log;
LogFormat log_format = LogFormat::kNone;
uint32_t keyboards_named = 0;  // a bit per keyboard number whose line is out

FILE* side_stream() { return log_format == LogFormat::kCsv ? stderr : stdout; }

void name_keyboard_once(int device) {
  if (device < 1 || device > kMaxKeyboardDevices || (keyboards_named >> device & 1) != 0) return;
  KeyboardDevice listed;
  if (!keyboard_device_copy(device, &listed)) return;
  keyboards_named |= 1u << device;
  write_log_keyboard(checked_writer(side_stream()), log_format, listed);
}

void consume_key(void*, int64_t time_us, int key, bool down, int device) {
  key_logger_key(time_us, key, down, device);
}
void consume_focus_lost(void*, int64_t time_us) { key_logger_focus_lost(time_us); }

}  // namespace

void key_logger_start(LogFormat format, int chatter_ms, const LogClockInfo& clock) {
  log_format = format;
  key_log_reset(&the_log, chatter_ms);
  keyboards_named = 0;
  write_log_header(checked_writer(stdout), format, chatter_ms, clock);
}

void key_logger_key(int64_t time_us, int key, bool down, int device) {
  if (log_format == LogFormat::kNone) return;
  KeyLogLine line;
  if (!key_log_record(&the_log, time_us, key, down, &line, device)) return;
  name_keyboard_once(device);
  write_log_line(checked_writer(stdout), log_format, line);
}

void key_logger_focus_lost(int64_t time_us) {
  if (log_format == LogFormat::kNone) return;
  KeyLogLine lines[16];
  int count;
  while ((count = key_log_release_all(&the_log, time_us, lines, 16)) > 0)
    for (int i = 0; i < count; ++i) write_log_line(checked_writer(stdout), log_format, lines[i]);
}

KeyConsumer key_logger_consumer() { return KeyConsumer{consume_key, consume_focus_lost, nullptr}; }

int key_logger_held() { return the_log.held; }

void key_logger_finish(int64_t end_us, const SummaryExtra* extra) {
  if (log_format == LogFormat::kNone) return;
  KeyboardDevice keyboards[kMaxKeyboardDevices];
  const int keyboard_count = copy_keyboard_list(keyboards);
  write_log_summary(checked_writer(side_stream()), log_format, the_log, end_us, extra, keyboards,
                    keyboard_count);
  log_format = LogFormat::kNone;
}
