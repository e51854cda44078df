#include "keys/key_logger.h"

#include <cstdio>

#include "keys/key_log.h"

namespace {

KeyLog the_log;
LogFormat log_format = LogFormat::kNone;

void write_stream(void* context, const char* text, size_t length) {
  auto* stream = static_cast<FILE*>(context);
  std::fwrite(text, 1, length, stream);
  std::fflush(stream);
}

LogWriter stream_writer(FILE* stream) { return LogWriter{write_stream, stream}; }

}  // namespace

void key_logger_start(LogFormat format, int chatter_ms, const LogClockInfo& clock) {
  log_format = format;
  key_log_reset(&the_log, chatter_ms);
  write_log_header(stream_writer(stdout), format, chatter_ms, clock);
}

void key_logger_key(int64_t time_us, int key, bool down) {
  if (log_format == LogFormat::kNone) return;
  KeyLogLine line;
  if (key_log_record(&the_log, time_us, key, down, &line))
    write_log_line(stream_writer(stdout), log_format, line);
}

void key_logger_focus_lost(int64_t time_us) {
  if (log_format == LogFormat::kNone) return;
  KeyLogLine lines[16];
  int count;
  while ((count = key_log_release_all(&the_log, time_us, lines, 16)) > 0)
    for (int i = 0; i < count; ++i) write_log_line(stream_writer(stdout), log_format, lines[i]);
}

int key_logger_held() { return the_log.held; }

void key_logger_finish(int64_t end_us) {
  if (log_format == LogFormat::kNone) return;
  write_log_summary(stream_writer(log_format == LogFormat::kCsv ? stderr : stdout), log_format,
                    the_log, end_us);
  log_format = LogFormat::kNone;
}
