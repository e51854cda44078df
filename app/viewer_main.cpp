#include "app/viewer_main.h"

#include <cstdio>
#include <initializer_list>

#include "app/options.h"
#include "app/viewer.h"
#include "app/viewer_commands.h"
#include "app/viewer_replay.h"
#include "app/viewer_report.h"
#include "app/viewer_menu.h"
#include "con/console_window.h"
#include "gfx/drivers/window_scale.h"
#include "gfx/screen.h"
#include "keys/checked_output.h"
#include "keys/log/key_logger.h"
#include "keys/log/keyboard_list_format.h"
#include "keys/source/keyboard_filter.h"
#include "keys/source/key_source.h"
#include "keys/map/keyboard_map.h"
#include "keys/texts/ui_texts.h"
#include "keys/version.h"
#include "rt/routed.h"
#include "rt/runtime.h"
#include "sys/platform.h"

namespace {

constexpr int kBadOptionExitCode = 2;

// The pieces as one line. Plain fputs keeps the formatted-output machinery
// out of the program.
void print_line(FILE* stream, const char* a, const char* b = "", const char* c = "",
                const char* d = "") {
  for (const char* part : {a, b, c, d}) std::fputs(part, stream);
  std::fputc('\n', stream);
}

constexpr int kOutputFailedExitCode = 3;

// Whether the key input listens, and why not.
struct KeyListening {
  bool listening;
  const char* reason;
};

// Starts the key input for the map (shown with --map, hidden otherwise, so
// that the menu can show it) and the key log, before the window opens: the
// events wait until start_key_input hands them on, so a key pressed as the
// window appears counts like any other.
// The map with the layout named, or without one the layout the system's
// keyboard suggests; shown or not.
void start_map(const ViewerOptions& options, bool shown) {
  const bool from_system = !options.map || options.map_from_system;
  const MapLayout layout =
      from_system ? map_layout_for_language(sys::keyboard_language_id()) : options.map_layout;
  keyboard_map_start(layout, from_system, options.chatter_ms, options.stuck_s, shown);
  keyboard_filter_set(options.keyboard);
  viewer_set_custom_threshold(options.chatter_ms);
}

KeyListening listen_for_keys(const ViewerOptions& options) {
  KeyConsumer consumers[2];
  int count = 0;
  if (options.log_format != LogFormat::kNone) consumers[count++] = key_logger_consumer();
  start_map(options, options.map);
  // The map keeps every keyboard's events and counts the filter's.
  consumers[count++] = keyboard_map_consumer();
  KeyListening result{true, ""};
  if (key_input_start(consumers, count, &result.reason, true) != 0) result.listening = false;
  return result;
}

// Once the window is open: the log's header, then the waiting events. Keys
// reach the log and the map only from the graphics window: on the console
// fallback the page's key reader takes the console's input records, and the
// program says plainly that the log and the map get nothing, when either
// was asked for.
bool start_key_input(const ViewerOptions& options, const KeyListening& keys) {
  const bool log = options.log_format != LogFormat::kNone;
  const bool asked = log || options.map || options.report_path != nullptr;
  const char* option = log && options.map ? "--log, --map" : log ? "--log" : options.map ? "--map" : "--report";
  if (screen_state == nullptr) {
    key_input_stop();
    if (asked)
      print_line(stderr, kProgramName, ": ", option, ": no graphics window could be opened; the page "
                 "goes to the console, which gives no timed key events: nothing is logged or mapped");
    return false;
  }
  if (!keys.listening) {
    if (asked) {
      std::fputs(kProgramName, stderr);
      print_line(stderr, ": ", option, ": ", keys.reason);
    }
    return false;
  }
  if (log) key_logger_start(options.log_format, options.chatter_ms, key_input_clock());
  key_input_deliver();
  viewer_set_below_page(keyboard_map_pass);
  return true;
}

void write_map_json(const LogWriter& writer, const void* report) {
  write_map_summary_json(writer, *static_cast<const KeyMapReport*>(report));
  write_keyboard_filter_json(writer, keyboard_filter_text());
}

// The summaries at the close: the log's, and the map's inside the JSON
// summary object or as text after the log's (standard error beside CSV).
// The map's summary comes with --map, or when the map was shown at the close.
void finish_key_input(const ViewerOptions& options) {
  key_input_stop();
  viewer_set_below_page(nullptr);
  const int64_t end_us = key_input_now_us();
  if (!options.map && !keyboard_map_is_shown()) {
    key_logger_finish(end_us);
    return;
  }
  const KeyMapReport report = keyboard_map_report();
  if (options.log_format == LogFormat::kJsonl) {
    const SummaryExtra extra{write_map_json, &report};
    key_logger_finish(end_us, &extra);
    return;
  }
  key_logger_finish(end_us);
  const LogWriter writer = checked_writer(options.log_format == LogFormat::kCsv ? stderr : stdout);
  write_map_summary_text(writer, report);
  // The log's summary lists the keyboards; without a log the map's does.
  if (options.log_format != LogFormat::kNone) {
    write_keyboard_filter_text(writer, keyboard_filter_text());
    return;
  }
  KeyboardDevice keyboards[kMaxKeyboardDevices];
  write_keyboards_text(writer, keyboards, copy_keyboard_list(keyboards), keyboard_filter_text());
}

// The report at the close, after the summaries; one line on standard error
// when it cannot be written.
bool write_report_at_close(const ViewerOptions& options) {
  if (options.report_path == nullptr) return true;
  char reason[160];
  if (viewer_write_report(options.report_path, reason, sizeof reason) == 0) return true;
  const char* where = options.report_path[0] == '-' && options.report_path[1] == '\0' ? "standard output"
                                                                                      : options.report_path;
  std::fputs(kProgramName, stderr);
  std::fputs(": cannot write the report to ", stderr);
  print_line(stderr, where, " (", reason, ")");
  return false;
}

// A saved key log given on the command line is read before any window
// opens: a file that is none ends the program with its line and reason.
// With --report the report of it is written and the program ends, with no
// window at all.
void read_replay(const ViewerOptions& options) {
  if (options.replay_path == nullptr) return;
  char reason[300];
  if (viewer_replay_read(options.replay_path, reason, sizeof reason) != 0) {
    print_line(stderr, kProgramName, ": ", reason);
    end_program(kBadOptionExitCode);
  }
  if (options.report_path == nullptr) return;
  start_map(options, false);
  viewer_replay_show(options.chatter_ms_given);
  viewer_report_set_label(options.label);
  end_program(write_report_at_close(options) ? 0 : kOutputFailedExitCode);
}

}  // namespace

void viewer_main(int argc, char** argv) {
  ViewerOptions options;
  char error[200];
  if (parse_options(argc, argv, &options, error, sizeof error) != 0) {
    print_line(stderr, error);
    end_program(kBadOptionExitCode);
  }
  if (options.help || options.version) {
    if (options.help) std::fputs(options_usage(), stdout);
    else print_line(stdout, kProgramName, " ", kProgramVersion);
    end_program(0);
  }

  runtime_set_args(argc, argv, nullptr);
  // Before anything a person reads is made: the report of a replay too.
  set_ui_language(options.language_given ? options.language : ui_language_of_system());
  read_replay(options);
  set_window_scale_request(options.scale);
  // Started from Explorer, the console window would stand empty beside the
  // graphics window; it comes back if the page has to go to the console.
  console_window_hide_if_alone();
  // The menu and the key input are ready before the window opens: a right
  // click or a key as it appears counts like any later one.
  viewer_menu_install();
  const KeyListening keys = listen_for_keys(options);
  set_screen_mode(13, 8, 0, 0, 0);
  if (screen_state == nullptr) console_window_restore();
  viewer_report_set_label(options.label);
  const bool reading_keys = start_key_input(options, keys);
  if (reading_keys) viewer_replay_show(options.chatter_ms_given);
  // Commands from the menu between passes, outside the screen lock.
  while (!viewer_pass()) viewer_apply_commands();
  if (reading_keys) finish_key_input(options);
  const bool report_written = write_report_at_close(options);
  end_program(checked_output_failed() || !report_written ? kOutputFailedExitCode : 0);
}
