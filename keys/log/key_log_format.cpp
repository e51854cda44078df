#include "keys/log/key_log_format.h"

#include "keys/line_builder.h"
#include "keys/log/keyboard_list_format.h"
#include "keys/version.h"

namespace {

const char* mark_text(KeyMark mark) {
  switch (mark) {
    case KeyMark::kChatter: return "chatter";
    case KeyMark::kZeroGap: return "zero-gap";
    case KeyMark::kFocusLost: return "focus-lost";
    default: return "";
  }
}

void write_text_line(const LogWriter& writer, const KeyLogLine& line) {
  LineBuilder out(writer);
  out.milliseconds(line.time_us).pad_to(12).text(line.down ? "down" : "up").pad_to(18);
  scancode_text(out, line.key).pad_to(25).text(key_name(line.key)).pad_to(45);
  out.text("held ").integer(line.held);
  if (line.gap_us >= 0) out.pad_to(53).text("gap ").milliseconds(line.gap_us);
  if (line.mark != KeyMark::kNone) out.pad_to(69).text(mark_text(line.mark));
  if (line.device != kNoKeyDevice) out.pad_to(80).text("kbd ").integer(line.device);
  out.put('\n');
}

void write_csv_line(const LogWriter& writer, const KeyLogLine& line) {
  LineBuilder out(writer);
  out.milliseconds(line.time_us).put(',').text(line.down ? "down" : "up").put(',');
  out.integer(key_id_scancode(line.key)).put(',').text(key_prefix_text(line.key)).put(',');
  out.text(key_name(line.key)).put(',').integer(line.held).put(',');
  if (line.gap_us >= 0) out.milliseconds(line.gap_us);
  out.put(',').text(mark_text(line.mark)).put(',');
  if (line.device != kNoKeyDevice) out.integer(line.device);
  out.put('\n');
}

void write_json_line(const LogWriter& writer, const KeyLogLine& line) {
  LineBuilder out(writer);
  out.text("{\"type\":\"key\",\"time_ms\":").milliseconds(line.time_us);
  out.text(",\"event\":").json_string(line.down ? "down" : "up");
  out.text(",\"scancode\":").integer(key_id_scancode(line.key));
  out.text(",\"extended\":").json_string(key_prefix_text(line.key));
  out.text(",\"key\":").json_string(key_name(line.key));
  out.text(",\"held\":").integer(line.held);
  if (line.gap_us >= 0) out.text(",\"gap_ms\":").milliseconds(line.gap_us);
  out.text(",\"mark\":").json_string(mark_text(line.mark)).text(",\"device\":");
  if (line.device != kNoKeyDevice) out.integer(line.device);
  else out.text("null");
  out.text("}\n");
}

// Calls visit for each key id that was pressed, in id order.
template <typename Visit>
void for_each_pressed_key(const KeyLog& log, Visit visit) {
  for (int key = 0; key < kKeyIdCount; ++key)
    if (log.keys[key].presses > 0) visit(key, log.keys[key]);
}

void write_text_summary(const LogWriter& writer, const KeyLog& log, int64_t end_us) {
  LineBuilder out(writer);
  out.text("summary: ").integer(log.events).text(" events in ").milliseconds(end_us).text(" ms\n");
  out.text("key").pad_to(20).text("scan").pad_to(28).text("presses  chatter  zero-gap  smallest gap ms\n");
  for_each_pressed_key(log, [&](int key, const KeyStats& stats) {
    out.text(key_name(key)).pad_to(20);
    scancode_text(out, key).pad_to(28).integer(stats.presses).pad_to(37).integer(stats.chatter);
    out.pad_to(46).integer(stats.zero_gap).pad_to(56);
    if (stats.smallest_gap_us >= 0) out.milliseconds(stats.smallest_gap_us);
    else out.put('-');
    out.put('\n');
  });
  out.text("most keys held at once: ").integer(log.most_held);
  const char* separator = " (";
  for (int key = 0; key < kKeyIdCount; ++key) {
    if (!log.most_held_keys[key]) continue;
    out.text(separator).text(key_name(key));
    separator = ", ";
  }
  if (log.most_held > 0) out.put(')');
  out.put('\n');
}

void write_json_summary(const LogWriter& writer, const KeyLog& log, int64_t end_us,
                        const SummaryExtra* extra, const KeyboardDevice* keyboards, int keyboard_count) {
  LineBuilder out(writer);
  out.text("{\"type\":\"summary\",\"total_ms\":").milliseconds(end_us);
  out.text(",\"events\":").integer(log.events).text(",\"keys\":[");
  const char* separator = "";
  for_each_pressed_key(log, [&](int key, const KeyStats& stats) {
    out.text(separator).text("{\"key\":").json_string(key_name(key));
    out.text(",\"scancode\":").integer(key_id_scancode(key));
    out.text(",\"extended\":").json_string(key_prefix_text(key));
    out.text(",\"presses\":").integer(stats.presses).text(",\"chatter\":").integer(stats.chatter);
    out.text(",\"zero_gap\":").integer(stats.zero_gap).text(",\"smallest_gap_ms\":");
    if (stats.smallest_gap_us >= 0) out.milliseconds(stats.smallest_gap_us);
    else out.text("null");
    out.put('}');
    separator = ",";
  });
  out.text("],\"most_held\":").integer(log.most_held).text(",\"most_held_keys\":[");
  separator = "";
  for (int key = 0; key < kKeyIdCount; ++key) {
    if (!log.most_held_keys[key]) continue;
    out.text(separator).json_string(key_name(key));
    separator = ",";
  }
  out.put(']');
  if (keyboards != nullptr) {
    out.flush();
    write_keyboards_json(writer, keyboards, keyboard_count);
  }
  if (extra != nullptr && extra->write_json_members != nullptr) {
    out.flush();
    extra->write_json_members(writer, extra->context);
  }
  out.text("}\n");
}

}  // namespace

LineBuilder& scancode_text(LineBuilder& out, int key) {
  out.integer(key_id_scancode(key));
  if (key_id_prefix(key) != kNoPrefix) out.put(' ').text(key_prefix_text(key));
  return out;
}

void write_log_header(const LogWriter& writer, LogFormat format, int chatter_ms,
                      const LogClockInfo& clock) {
  LineBuilder out(writer);
  switch (format) {
    case LogFormat::kText:
      out.text("# ").text(kProgramName).put(' ').text(kProgramVersion).text(": chatter within ");
      out.integer(chatter_ms).text(" ms, time stamps in steps of ").milliseconds(clock.resolution_us);
      out.text(" ms (").text(clock.source).text(")\n");
      break;
    case LogFormat::kCsv:
      out.text("time_ms,event,scancode,extended,key,held,gap_ms,mark,device\n");
      break;
    case LogFormat::kJsonl:
      out.text("{\"type\":\"meta\",\"program\":").json_string(kProgramName);
      out.text(",\"version\":").json_string(kProgramVersion);
      out.text(",\"chatter_ms\":").integer(chatter_ms);
      out.text(",\"timer_resolution_ms\":").milliseconds(clock.resolution_us);
      out.text(",\"timer\":").json_string(clock.source).text("}\n");
      break;
    case LogFormat::kNone:
      break;
  }
}

void write_log_line(const LogWriter& writer, LogFormat format, const KeyLogLine& line) {
  switch (format) {
    case LogFormat::kText: write_text_line(writer, line); break;
    case LogFormat::kCsv: write_csv_line(writer, line); break;
    case LogFormat::kJsonl: write_json_line(writer, line); break;
    case LogFormat::kNone: break;
  }
}

void write_log_restart(const LogWriter& writer, LogFormat format, int64_t time_us) {
  LineBuilder out(writer);
  if (format == LogFormat::kText || format == LogFormat::kCsv)
    out.text("# restart at ").milliseconds(time_us).text(" ms\n");
  else if (format == LogFormat::kJsonl)
    out.text("{\"type\":\"restart\",\"time_ms\":").milliseconds(time_us).text("}\n");
}

void write_log_summary(const LogWriter& writer, LogFormat format, const KeyLog& log,
                       int64_t end_us, const SummaryExtra* extra, const KeyboardDevice* keyboards,
                       int keyboard_count) {
  // A value outside the formats writes nothing, as for the header and lines.
  if (format == LogFormat::kJsonl) {
    write_json_summary(writer, log, end_us, extra, keyboards, keyboard_count);
  } else if (format == LogFormat::kText || format == LogFormat::kCsv) {
    write_text_summary(writer, log, end_us);
    if (keyboards != nullptr) write_keyboards_text(writer, keyboards, keyboard_count, "");
  }
}
