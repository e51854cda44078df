#include "keys/log/key_log_reader.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "keys/line_builder.h"
#include "keys/log/key_log.h"
#include "keys/log/key_log_format.h"
#include "keys/log/key_log_line_parse.h"
#include "keys/log/keyboard_list_format.h"
#include "keys/version.h"

namespace {

// The longest line the program writes is a JSON summary with every key and
// the map's lists, well under this.
constexpr size_t kMaxLineBytes = size_t{1} << 20;
// Room for a rendered summary: a line per key id at most.
constexpr size_t kSummaryBytes = size_t{256} << 10;
constexpr size_t kReadChunk = size_t{256} << 10;

// A line rendered again, to compare with the file's.
struct Rendered {
  char text[1024];
  TextBuffer buffer{text, sizeof text, 0};
  LogWriter writer{write_to_text_buffer, &buffer};
  Rendered() { text[0] = '\0'; }
  // Whether the rendering is the line plus its newline.
  bool equals(const char* line, size_t length) const {
    return buffer.used == length + 1 && std::memcmp(text, line, length) == 0 && text[length] == '\n';
  }
};

enum class Stage { kEvents, kTextSummary, kKeyboardsHeader, kKeyboardEntries, kDone };

constexpr const char* kMapLines[] = {"map: ", "untested:", "not on this map:", "marked defect:",
                                     "stuck (held over ", "the map counts "};

class Reader {
 public:
  Reader(KeyRecord* record, KeyLogReadResult* result, char* error, size_t error_size)
      : record_(record), result_(result), error_(error), error_size_(error_size) {
    if (error_ != nullptr && error_size_ > 0) error_[0] = '\0';
  }
  ~Reader() {
    std::free(log_);
    std::free(summary_);
  }

  bool failed() const { return failed_; }

  bool start() {
    if (record_ == nullptr || result_ == nullptr) return refuse_whole("no record to read into");
    if (key_record_count(record_) != 0 || key_record_dropped(record_) != 0)
      return refuse_whole("the record to read into is not empty");
    log_ = static_cast<KeyLog*>(std::malloc(sizeof(KeyLog)));
    if (log_ == nullptr) return refuse_whole("not enough memory");
    std::memset(result_, 0, sizeof *result_);
    return true;
  }

  // A line without its newline (a '\r' before it is dropped here).
  bool take_line(const char* text, size_t length) {
    if (failed_) return false;
    ++line_;
    if (length > 0 && text[length - 1] == '\r') --length;
    LogCursor in{text, text + length};
    if (line_ == 1) return read_header(in);
    for (size_t i = 0; i < length; ++i) {
      const unsigned char c = static_cast<unsigned char>(text[i]);
      if (c < 0x20 || c == 0x7F) return refuse("a control character");
    }
    switch (stage_) {
      case Stage::kEvents: return read_body_line(in);
      case Stage::kTextSummary: return read_summary_table_line(in);
      case Stage::kKeyboardsHeader: return read_keyboards_header(in);
      case Stage::kKeyboardEntries: return read_keyboard_entry_or_map(in);
      case Stage::kDone: break;
    }
    return refuse("a line after the summary");
  }

  // The end of the bytes: what is left had no newline.
  bool finish(const char* rest, size_t length, bool empty_file) {
    if (failed_) return false;
    if (empty_file) return refuse_whole("not a key log: the file is empty");
    if (length > 0) {
      ++line_;
      if (line_ == 1 && !looks_like_header(LogCursor{rest, rest + length}))
        return refuse_whole("not a key log: the first line is no header the program writes");
      return refuse("cut short");
    }
    if (stage_ == Stage::kTextSummary || stage_ == Stage::kKeyboardsHeader) {
      ++line_;
      return refuse("cut short");
    }
    result_->end_us = result_->has_summary ? summary_end_us_ : any_time_ ? last_time_us_ : 0;
    result_->events = key_record_count(record_);
    for (int number = 1; number <= kMaxKeyboardDevices; ++number) {
      if (!named_[number] && !listed_[number]) continue;
      KeyboardDevice& device = result_->keyboards[result_->keyboard_count++];
      device = devices_[number];
      device.number = number;
      device.events = listed_[number] ? listed_events_[number] : counted_[number];
    }
    return true;
  }

  bool too_long() {
    ++line_;
    return refuse("longer than any line the program writes");
  }

  template <typename Say>
  bool refuse_with(Say say, bool with_line = true) {
    if (failed_) return false;
    failed_ = true;
    TextBuffer buffer{error_, error_ == nullptr ? 0 : error_size_, 0};
    const LogWriter writer{write_to_text_buffer, &buffer};
    LineBuilder out(writer);
    if (with_line) out.text("line ").integer(line_).text(": ");
    say(out);
    return false;
  }
  bool refuse(const char* text) {
    return refuse_with([&](LineBuilder& out) { out.text(text); });
  }
  bool refuse_whole(const char* text) {
    return refuse_with([&](LineBuilder& out) { out.text(text); }, false);
  }

 private:
  static bool looks_like_header(LogCursor in) {
    return in.starts("# ") || in.starts("time_ms,") || in.starts("{\"type\":\"meta\"");
  }

  bool read_header(LogCursor in) {
    char text_prefix[64];
    TextBuffer prefix{text_prefix, sizeof text_prefix, 0};
    write_to_text_buffer(&prefix, "# ", 2);
    write_to_text_buffer(&prefix, kProgramName, std::strlen(kProgramName));
    write_to_text_buffer(&prefix, " ", 1);
    const char kCsvHeader[] = "time_ms,event,scancode,extended,key,held,gap_ms,mark,device";
    char json_prefix[96] = "{\"type\":\"meta\",\"program\":\"";
    std::strcat(json_prefix, kProgramName);
    std::strcat(json_prefix, "\",\"version\":");

    int64_t chatter_ms = 0;
    if (in.literal(text_prefix)) {
      result_->format = LogFormat::kText;
      const char* version = in.p;
      while (in.p < in.end && *in.p != ':' && *in.p != ' ' && static_cast<unsigned char>(*in.p) > 0x20) ++in.p;
      const char* source = nullptr;
      if (in.p == version || !in.literal(": chatter within ") || !in.digits(&chatter_ms, 4) ||
          !in.literal(" ms, time stamps in steps of ") || !in.milliseconds(&result_->clock_step_us) ||
          !in.literal(" ms (") || in.done() || in.end[-1] != ')')
        return refuse("the header is not as the program writes it");
      source = in.p;
      const size_t length = static_cast<size_t>(in.end - 1 - source);
      if (length >= sizeof result_->clock_source) return refuse("the header is not as the program writes it");
      std::memcpy(result_->clock_source, source, length);
      result_->clock_source[length] = '\0';
    } else if (in.literal(kCsvHeader)) {
      result_->format = LogFormat::kCsv;
      if (!in.done()) return refuse("the header is not as the program writes it");
      chatter_ms = kMaxChatterMs;  // marks are checked against one threshold, whichever it was
    } else if (in.literal(json_prefix)) {
      result_->format = LogFormat::kJsonl;
      char version[32];
      if (!in.json_string(version, sizeof version) || !in.literal(",\"chatter_ms\":") ||
          !in.digits(&chatter_ms, 4) || !in.literal(",\"timer_resolution_ms\":") ||
          !in.milliseconds(&result_->clock_step_us) || !in.literal(",\"timer\":") ||
          !in.json_string(result_->clock_source, sizeof result_->clock_source) || !in.literal("}") || !in.done())
        return refuse("the header is not as the program writes it");
    } else {
      return refuse_whole("not a key log: the first line is no header the program writes");
    }
    for (const char* c = result_->clock_source; *c != '\0'; ++c)
      if (static_cast<unsigned char>(*c) < 0x20 || *c == 0x7F) return refuse("a control character");
    if (result_->clock_step_us < 0) return refuse("the header is not as the program writes it");
    if (chatter_ms < kMinChatterMs || chatter_ms > kMaxChatterMs)
      return refuse("the chatter threshold is not from 1 to 1000 ms");
    if (result_->format != LogFormat::kCsv) result_->chatter_ms = static_cast<int>(chatter_ms);
    key_log_reset(log_, static_cast<int>(chatter_ms));
    return true;
  }

  bool read_body_line(LogCursor in) {
    const LogFormat format = result_->format;
    if (format == LogFormat::kJsonl) {
      if (in.starts("{\"type\":\"key\",")) return read_event(in);
      if (in.starts("{\"type\":\"keyboard\",")) return read_json_keyboard(in);
      if (in.starts("{\"type\":\"restart\",")) return read_restart(in);
      if (in.starts("{\"type\":\"summary\",")) return read_json_summary(in);
      return refuse("not a line of a key log");
    }
    if (in.starts("# keyboard ")) return read_text_keyboard(in);
    if (in.starts("# restart at ")) return read_restart(in);
    if (in.starts("#")) return refuse("not a line of a key log");
    // CSV written with its standard error into the same file ends with the
    // text summary too.
    if (in.starts("summary: ")) return read_text_summary(in);
    return read_event(in);
  }

  bool read_event(LogCursor in) {
    ParsedKeyLine event;
    LineReason reason;
    if (!parse_key_line(result_->format, in, &event, &reason)) return refuse(reason.text);
    return accept_event(event, in.end);
  }

  bool time_in_order(int64_t time_us) {
    if (time_us < last_time_us_) return refuse("time goes backwards");
    last_time_us_ = time_us;
    any_time_ = true;
    return true;
  }

  bool keep(const KeyEvent& event) {
    if (key_record_append(record_, event)) return true;
    return refuse_with([](LineBuilder& out) { out.text("more than ").integer(kKeyRecordCapacity).text(" events"); });
  }

  // The event against the log so far: the same replay that wrote it must
  // give the same line, byte for byte.
  bool accept_event(const ParsedKeyLine& event, const char* line_end) {
    const char* line_begin = current_line_;
    const int key = event.key;
    if (!time_in_order(event.time_us)) return false;
    const bool held = log_->keys[key].held;
    if (event.down && held)
      return refuse_with([&](LineBuilder& out) { out.text("the key ").text(key_name(key)).text(" is pressed again without a release"); });
    if (!event.down && !held)
      return refuse_with([&](LineBuilder& out) { out.text("the key ").text(key_name(key)).text(" is released without a press"); });
    KeyLogLine line{};
    const bool lost = event.mark == KeyMark::kFocusLost;
    if (lost && event.down) return refuse("the mark does not follow from the gap");
    if (lost) key_log_release_lost(log_, event.time_us, key, &line);
    else key_log_record(log_, event.time_us, key, event.down, &line, event.device);
    if (line.held != event.held)
      return refuse_with([&](LineBuilder& out) {
        out.text("held ").integer(event.held).text(", but ").integer(line.held).text(" keys are held");
      });
    if (event.has_gap != (line.gap_us >= 0) || (event.has_gap && event.gap_us != line.gap_us))
      return refuse("the gap does not follow from the times");
    if (!mark_follows(line, event.mark)) return false;
    if (lost && line.device != event.device) return refuse("not the keyboard of the press");
    Rendered again;
    write_log_line(again.writer, result_->format, line);
    if (!again.equals(line_begin, static_cast<size_t>(line_end - line_begin)))
      return refuse("not laid out as the program writes it");
    const KeyEventKind kind = lost ? KeyEventKind::kFocusLostUp : event.down ? KeyEventKind::kDown : KeyEventKind::kUp;
    if (!keep(KeyEvent{event.time_us, static_cast<uint16_t>(key), kind, static_cast<uint8_t>(event.device), 0}))
      return false;
    if (event.device != kNoKeyDevice) {
      seen_[event.device] = true;
      if (!lost) ++counted_[event.device];
    }
    return true;
  }

  // Text and JSON Lines name their threshold, so the marks must be the
  // log's. CSV names none: each chatter mark must agree with one threshold
  // (every marked gap at most it, every unmarked one above it), and the
  // line takes the file's mark.
  bool mark_follows(KeyLogLine& line, KeyMark mark) {
    const bool either = line.mark == KeyMark::kChatter && (mark == KeyMark::kChatter || mark == KeyMark::kNone);
    if (result_->format != LogFormat::kCsv || !either) {
      if (line.mark != mark) return refuse("the mark does not follow from the gap");
      return true;
    }
    if (mark == KeyMark::kChatter && line.gap_us > chatter_up_to_us_) chatter_up_to_us_ = line.gap_us;
    // The log counted chatter at its widest threshold; the summary counts the file's marks.
    if (mark == KeyMark::kNone) --log_->keys[line.key].chatter;
    if (mark == KeyMark::kNone && line.gap_us < plain_from_us_) plain_from_us_ = line.gap_us;
    // The smallest whole threshold that marks every marked gap.
    int64_t threshold_ms = (chatter_up_to_us_ + 999) / 1000;
    if (threshold_ms < kMinChatterMs) threshold_ms = kMinChatterMs;
    if (threshold_ms * 1000 >= plain_from_us_) return refuse("no one chatter threshold gives these marks");
    line.mark = mark;
    return true;
  }

  bool read_restart(LogCursor in) {
    int64_t time_us = 0;
    const bool json = result_->format == LogFormat::kJsonl;
    if (!in.literal(json ? "{\"type\":\"restart\",\"time_ms\":" : "# restart at ") || !in.milliseconds(&time_us) ||
        !in.literal(json ? "}" : " ms") || !in.done())
      return refuse("not laid out as the program writes it");
    Rendered again;
    write_log_restart(again.writer, result_->format, time_us);
    if (!again.equals(current_line_, static_cast<size_t>(in.end - current_line_)))
      return refuse("not laid out as the program writes it");
    if (!time_in_order(time_us)) return false;
    return keep(KeyEvent{time_us, 0, KeyEventKind::kRestart, 0, 0});
  }

  // A keyboard named by its line before its first event.
  bool name_keyboard(const KeyboardDevice& device, const char* line_end) {
    const int number = device.number;
    if (named_[number])
      return refuse_with([&](LineBuilder& out) { out.text("keyboard ").integer(number).text(" is named twice"); });
    if (seen_[number])
      return refuse_with([&](LineBuilder& out) { out.text("keyboard ").integer(number).text(" is named after its first event"); });
    Rendered again;
    write_log_keyboard(again.writer, result_->format, device);
    if (!again.equals(current_line_, static_cast<size_t>(line_end - current_line_)))
      return refuse("not laid out as the program writes it");
    named_[number] = true;
    devices_[number] = device;
    return true;
  }

  bool read_text_keyboard(LogCursor in) {
    KeyboardDevice device;
    LineReason reason;
    if (!parse_keyboard_line(in, &device, &reason)) return refuse(reason.text);
    return name_keyboard(device, in.end);
  }

  bool read_json_keyboard(LogCursor in) {
    KeyboardDevice device;
    LineReason reason;
    if (!in.literal("{\"type\":\"keyboard\",")) return refuse("not a keyboard's description");
    if (!parse_json_keyboard(in, &device, &reason)) return refuse(reason.text);
    if (!in.literal("}") || !in.done()) return refuse("not laid out as the program writes it");
    return name_keyboard(device, in.end);
  }

  // A keyboard in the summary's list: the same as its line, if it had one.
  bool list_keyboard(const KeyboardDevice& device, int64_t events) {
    const int number = device.number;
    if (listed_[number])
      return refuse_with([&](LineBuilder& out) { out.text("keyboard ").integer(number).text(" is listed twice"); });
    const KeyboardDevice& named = devices_[number];
    if (named_[number] && (std::strcmp(named.id, device.id) != 0 || std::strcmp(named.name, device.name) != 0))
      return refuse_with([&](LineBuilder& out) {
        out.text("keyboard ").integer(number).text(" is not the one its line named");
      });
    listed_[number] = true;
    listed_events_[number] = events;
    devices_[number] = device;
    return true;
  }

  // The summary's figures follow from the events: rendered again from the
  // replayed log, they must match the file's.
  bool render_summary(int64_t end_us) {
    summary_ = static_cast<char*>(std::malloc(kSummaryBytes));
    if (summary_ == nullptr) return refuse("not enough memory");
    TextBuffer buffer{summary_, kSummaryBytes, 0};
    write_log_summary(LogWriter{write_to_text_buffer, &buffer}, result_->format, *log_, end_us);
    if (buffer.used + 1 >= kSummaryBytes) return refuse("the summary is longer than the program writes");
    summary_length_ = buffer.used;
    summary_at_ = 0;
    result_->has_summary = true;
    summary_end_us_ = end_us;
    return true;
  }

  bool read_text_summary(LogCursor in) {
    int64_t events = 0, end_us = 0;
    if (!in.literal("summary: ") || !in.digits(&events, 10) || !in.literal(" events in ") ||
        !in.milliseconds(&end_us) || !in.literal(" ms") || !in.done())
      return refuse("not laid out as the program writes it");
    if (!render_summary(end_us)) return false;
    stage_ = Stage::kTextSummary;
    return read_summary_table_line(LogCursor{current_line_, in.end});
  }

  bool read_summary_table_line(LogCursor in) {
    const char* expected = summary_ + summary_at_;
    const char* newline = static_cast<const char*>(std::memchr(expected, '\n', summary_length_ - summary_at_));
    const size_t length = static_cast<size_t>(in.end - in.p);
    if (newline == nullptr || static_cast<size_t>(newline - expected) != length || std::memcmp(expected, in.p, length) != 0)
      return refuse("the summary does not match the events");
    summary_at_ += length + 1;
    if (summary_at_ >= summary_length_) stage_ = Stage::kKeyboardsHeader;
    return true;
  }

  bool read_keyboards_header(LogCursor in) {
    LogCursor none = in;
    if (none.literal("keyboards: none") && none.done()) {
      stage_ = Stage::kKeyboardEntries;
      map_line_ = 0;
      keyboards_closed_ = true;
      return true;
    }
    if (in.literal("keyboards:") && in.done()) {
      stage_ = Stage::kKeyboardEntries;
      return true;
    }
    return refuse("the summary does not list the keyboards");
  }

  bool read_keyboard_entry_or_map(LogCursor in) {
    if (!keyboards_closed_ && in.starts("  ")) return read_text_keyboard_entry(in);
    keyboards_closed_ = true;
    // The map's summary follows the log's when the map was shown; its
    // figures are the map's, not the log's, and are not checked here.
    for (int i = map_line_; i < static_cast<int>(sizeof kMapLines / sizeof kMapLines[0]); ++i)
      if (in.starts(kMapLines[i])) {
        map_line_ = i + 1;
        return true;
      }
    return refuse("a line after the summary");
  }

  //   1   "Wine HID keyboard" (VID_845E&PID_0002), 12 events
  bool read_text_keyboard_entry(LogCursor in) {
    KeyboardDevice device;
    LineReason reason;
    const char* line_end = in.end;
    if (!parse_keyboard_entry(in, &device, &reason)) return refuse(reason.text);
    Rendered again;
    write_keyboards_text(again.writer, &device, 1, "");
    const char* entry = again.text + std::strlen("keyboards:\n");
    const size_t length = static_cast<size_t>(line_end - current_line_);
    if (again.buffer.used != std::strlen("keyboards:\n") + length + 1 || std::memcmp(entry, current_line_, length) != 0)
      return refuse("not laid out as the program writes it");
    return list_keyboard(device, device.events);
  }

  bool read_json_summary(LogCursor in) {
    int64_t end_us = 0;
    if (!in.literal("{\"type\":\"summary\",\"total_ms\":") || !in.milliseconds(&end_us))
      return refuse("not laid out as the program writes it");
    if (!render_summary(end_us)) return false;
    // The rendering ends "]}\n": the file goes on with the keyboards there.
    const size_t head = summary_length_ - 2;
    if (static_cast<size_t>(in.end - current_line_) < head || std::memcmp(summary_, current_line_, head) != 0)
      return refuse("the summary does not match the events");
    in.p = current_line_ + head;
    if (!in.literal(",\"keyboards\":[")) return refuse("the summary does not list the keyboards");
    for (bool first = true; !in.literal("]"); first = false) {
      KeyboardDevice device;
      LineReason reason;
      if ((!first && !in.literal(",")) || !in.literal("{")) return refuse("not a keyboard's description");
      if (!parse_json_keyboard(in, &device, &reason)) return refuse(reason.text);
      if (!in.literal(",\"events\":") || !in.digits(&device.events, 18) || !in.literal("}"))
        return refuse("not a keyboard's description");
      if (!list_keyboard(device, device.events)) return false;
    }
    // The map's members may follow; their figures are the map's.
    if (!(in.literal("}") && in.done()) &&
        !((in.starts(",\"map\":{") || in.starts(",\"counted_keyboard\":\"")) && in.end[-1] == '}'))
      return refuse("not laid out as the program writes it");
    stage_ = Stage::kDone;
    return true;
  }

 public:
  const char* current_line_ = nullptr;  // set by the caller before take_line

 private:
  KeyRecord* record_;
  KeyLogReadResult* result_;
  char* error_;
  size_t error_size_;
  KeyLog* log_ = nullptr;
  bool failed_ = false;
  int64_t line_ = 0;
  Stage stage_ = Stage::kEvents;
  int64_t last_time_us_ = INT64_MIN;
  bool any_time_ = false;
  int64_t chatter_up_to_us_ = 0;
  int64_t plain_from_us_ = INT64_MAX;
  bool named_[kMaxKeyboardDevices + 1] = {};
  bool listed_[kMaxKeyboardDevices + 1] = {};
  bool seen_[kMaxKeyboardDevices + 1] = {};
  int64_t counted_[kMaxKeyboardDevices + 1] = {};
  int64_t listed_events_[kMaxKeyboardDevices + 1] = {};
  KeyboardDevice devices_[kMaxKeyboardDevices + 1] = {};
  char* summary_ = nullptr;
  size_t summary_length_ = 0;
  size_t summary_at_ = 0;
  int64_t summary_end_us_ = 0;
  int map_line_ = 0;
  bool keyboards_closed_ = false;
};

// Hands every complete line of [data, data + length) to the reader; the
// bytes after the last newline are left, their count in *rest.
bool take_lines(Reader& reader, const char* data, size_t length, size_t* rest) {
  size_t start = 0;
  while (start < length) {
    const char* newline = static_cast<const char*>(std::memchr(data + start, '\n', length - start));
    if (newline == nullptr) break;
    const size_t line_length = static_cast<size_t>(newline - (data + start));
    if (line_length > kMaxLineBytes) return reader.too_long();
    reader.current_line_ = data + start;
    if (!reader.take_line(data + start, line_length)) return false;
    start += line_length + 1;
  }
  *rest = length - start;
  if (*rest > kMaxLineBytes) return reader.too_long();
  return true;
}

int finish_reading(Reader& reader, KeyRecord* record, KeyLogReadResult* result) {
  if (!reader.failed()) return 0;
  key_record_clear(record);
  if (result != nullptr) std::memset(result, 0, sizeof *result);
  return -1;
}

}  // namespace

int read_key_log(const char* data, size_t length, KeyRecord* record, KeyLogReadResult* result, char* error,
                 size_t error_size) {
  Reader reader(record, result, error, error_size);
  if (!reader.start()) {
    if (result != nullptr) std::memset(result, 0, sizeof *result);
    return -1;
  }
  if (data == nullptr) length = 0;
  size_t rest = 0;
  if (length > static_cast<uint64_t>(kMaxKeyLogFileBytes)) reader.refuse_whole("the file is larger than 1 GiB");
  else if (take_lines(reader, data, length, &rest)) reader.finish(data + length - rest, rest, length == 0);
  return finish_reading(reader, record, result);
}

int read_key_log_file(const char* path, KeyRecord* record, KeyLogReadResult* result, char* error,
                      size_t error_size) {
  Reader reader(record, result, error, error_size);
  if (!reader.start()) {
    if (result != nullptr) std::memset(result, 0, sizeof *result);
    return -1;
  }
  auto say_system = [&](const char* what, int code) {
    reader.refuse_with([&](LineBuilder& out) {
      out.text(what).text(path != nullptr ? path : "").text(" (").text(std::strerror(code != 0 ? code : EIO)).put(')');
    }, false);
  };
  errno = 0;
  FILE* file = path != nullptr && path[0] != '\0' ? std::fopen(path, "rb") : nullptr;
  char* buffer = file != nullptr ? static_cast<char*>(std::malloc(kMaxLineBytes + kReadChunk)) : nullptr;
  if (file == nullptr) {
    say_system("cannot open ", path == nullptr || path[0] == '\0' ? ENOENT : errno);
  } else if (buffer == nullptr) {
    reader.refuse_whole("not enough memory");
  } else {
    size_t held = 0;
    int64_t total = 0;
    for (;;) {
      errno = 0;
      const size_t got = std::fread(buffer + held, 1, kReadChunk, file);
      if (got == 0) {
        if (std::ferror(file)) say_system("cannot read ", errno);
        else reader.finish(buffer, held, total == 0);
        break;
      }
      total += static_cast<int64_t>(got);
      if (total > kMaxKeyLogFileBytes) {
        reader.refuse_whole("the file is larger than 1 GiB");
        break;
      }
      size_t rest = 0;
      if (!take_lines(reader, buffer, held + got, &rest)) break;
      std::memmove(buffer, buffer + held + got - rest, rest);
      held = rest;
    }
  }
  std::free(buffer);
  if (file != nullptr) std::fclose(file);
  return finish_reading(reader, record, result);
}
