#include "keys/log/key_logger.h"

#include <cstdio>

#include "keys/checked_output.h"
#include "keys/log/key_log.h"

namespace {

KeyLog the_log;
LogFormat log_format = LogFormat::kNone;

void consume_key(void*, int64_t time_us, int key, bool down, int) { key_logger_key(time_us, key, down); }
void consume_focus_lost(void*, int64_t time_us) { key_logger_focus_lost(time_us); }

}  // namespace

void key_logger_start(LogFormat format, int chatter_ms, const LogClockInfo& clock) {
  log_format = format;
  key_log_reset(&the_log, chatter_ms);
  write_log_header(checked_writer(stdout), format, chatter_ms, clock);
}

void key_logger_key(int64_t time_us, int key, bool down) {
  if (log_format == LogFormat::kNone) return;
  KeyLogLine line;
  if (key_log_record(&the_log, time_us, key, down, &line))
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
  write_log_summary(checked_writer(log_format == LogFormat::kCsv ? stderr : stdout), log_format,
                    the_log, end_us, extra);
  log_format = LogFormat::kNone;
}
