#include "keys/log/key_log_export.h"

#include <cstdlib>

#include "keys/log/key_log.h"
#include "keys/log/keyboard_list_format.h"
#include "keys/safe_file.h"

namespace {

const KeyboardDevice* keyboard_numbered(const KeyLogExport& settings, int number) {
  for (int i = 0; settings.keyboards != nullptr && i < settings.keyboard_count && i < kMaxKeyboardDevices; ++i)
    if (settings.keyboards[i].number == number) return &settings.keyboards[i];
  return nullptr;
}

struct Replay {
  const LogWriter& writer;
  LogFormat format;
  const KeyLogExport& settings;
  KeyLog* log;
  uint32_t named = 0;  // a bit per keyboard number whose line is out

  void line(const KeyLogLine& line) {
    const int device = line.device;
    if (device >= 1 && device <= kMaxKeyboardDevices && (named >> device & 1) == 0) {
      named |= 1u << device;
      if (const KeyboardDevice* keyboard = keyboard_numbered(settings, device))
        write_log_keyboard(writer, format, *keyboard);
    }
    write_log_line(writer, format, line);
  }

  void event(const KeyEvent& event) {
    KeyLogLine out;
    switch (event.kind) {
      case KeyEventKind::kDown:
      case KeyEventKind::kUp:
        if (key_log_record(log, event.time_us, event.key, event.kind == KeyEventKind::kDown, &out, event.device))
          line(out);
        break;
      case KeyEventKind::kFocusLostUp:
        if (key_log_release_lost(log, event.time_us, event.key, &out)) line(out);
        break;
      case KeyEventKind::kFocusLost: {
        KeyLogLine lines[16];
        int count;
        while ((count = key_log_release_all(log, event.time_us, lines, 16)) > 0)
          for (int i = 0; i < count; ++i) line(lines[i]);
        break;
      }
      case KeyEventKind::kRestart:
        write_log_restart(writer, format, event.time_us);
        break;
    }
  }
};

struct FileJob {
  LogFormat format;
  const KeyRecord* record;
  const KeyLogExport* settings;
};

bool write_job(const LogWriter& writer, const void* context) {
  const auto* job = static_cast<const FileJob*>(context);
  return write_key_log_from_record(writer, job->format, job->record, *job->settings);
}

}  // namespace

bool write_key_log_from_record(const LogWriter& writer, LogFormat format, const KeyRecord* record,
                               const KeyLogExport& settings) {
  if (format != LogFormat::kText && format != LogFormat::kCsv && format != LogFormat::kJsonl) return false;
  auto* log = static_cast<KeyLog*>(std::malloc(sizeof(KeyLog)));
  if (log == nullptr) return false;
  key_log_reset(log, settings.chatter_ms);
  // The header names the threshold the marks were judged at, clamped alike.
  const int chatter_ms = static_cast<int>(log->chatter_us / 1000);
  LogClockInfo clock = settings.clock;
  if (clock.source == nullptr) clock.source = "";
  write_log_header(writer, format, chatter_ms, clock);

  Replay replay{writer, format, settings, log};
  const uint32_t count = key_record_count(record);
  for (uint32_t i = 0; i < count; ++i)
    if (const KeyEvent* event = key_record_at(record, i)) replay.event(*event);

  if (format != LogFormat::kCsv) {
    // The live log always lists the keyboards, "none" when it has none.
    static const KeyboardDevice kNoKeyboards[1] = {};
    const bool listed = settings.keyboards != nullptr && settings.keyboard_count > 0;
    int keyboard_count = listed ? settings.keyboard_count : 0;
    if (keyboard_count > kMaxKeyboardDevices) keyboard_count = kMaxKeyboardDevices;
    write_log_summary(writer, format, *log, settings.end_us, settings.extra,
                      listed ? settings.keyboards : kNoKeyboards, keyboard_count);
  }
  std::free(log);
  return true;
}

int write_key_log_file(const char* path, LogFormat format, const KeyRecord* record, const KeyLogExport& settings,
                       char* reason, size_t reason_size) {
  const FileJob job{format, record, &settings};
  return write_file_safely(path, write_job, &job, reason, reason_size);
}
