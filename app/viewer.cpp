#include "app/viewer.h"

#include <cstdio>
#include <initializer_list>

#include "app/key_input.h"
#include "app/key_logger.h"
#include "app/options.h"
#include "app/version.h"
#include "gfx/screen.h"
#include "rt/routed.h"
#include "rt/runtime.h"
#include "rt/text_value.h"

namespace {

// The ü of the prompt is the single byte 0xFC, drawn as glyph 252.
constexpr char kPrompt[] = " Bitte Taste dr\xFC" "cken!";
constexpr char kUnderline[] = " ********************";
constexpr char kListLabel[] = " Scancodes: ";
constexpr char kSeparator[] = ", ";
constexpr char kNoKeys[] = "(keine)";
constexpr char kBanner[] = " * Klimperdetektor by Tukani *";
constexpr char kCloseKey[] = "\xFFk";

constexpr int kScreenFile = 0;
constexpr int kNewLine = 1;
constexpr int kSameLine = 0;

void print_literal(const char* text, int mask) {
  print_value(kScreenFile, text_literal_z(text), mask);
}

}  // namespace

void viewer_draw_page() {
  screen_lock();
  clear_screen(kNoClearArgument);
  print_end(kScreenFile, kNewLine);
  print_literal(kPrompt, kNewLine);
  print_literal(kUnderline, kNewLine);
  print_end(kScreenFile, kNewLine);
  print_literal(kListLabel, kSameLine);

  int found = 0;
  for (int code = 1; code <= 65535; ++code) {
    if (key_held(code) != 0) {
      if (found != 0) print_literal(kSeparator, kSameLine);
      else found = 1;
      print_value(kScreenFile, text_concat(nullptr, "", 0, text_from_int(code), kTextValueOperand),
                  kSameLine);
    }
  }
  if (found == 0) print_literal(kNoKeys, kSameLine);

  print_end(kScreenFile, kNewLine);
  print_end(kScreenFile, kNewLine);
  print_literal(kBanner, kNewLine);
  screen_unlock(-1, -1);
}

bool viewer_pass() {
  viewer_draw_page();
  sleep_for(10, 1);
  return text_compare(read_key_text(), kTextValueOperand, kCloseKey, 2) == 0;
}

void viewer_loop() {
  while (!viewer_pass()) {
  }
}

namespace {

constexpr int kBadOptionExitCode = 2;

// The pieces as one line. Plain fputs keeps the formatted-output machinery
// out of the program.
void print_line(FILE* stream, const char* a, const char* b = "", const char* c = "",
                const char* d = "") {
  for (const char* part : {a, b, c, d}) std::fputs(part, stream);
  std::fputc('\n', stream);
}

// Starts the key log beside the page. Keys reach it only from the graphics
// window: on the console fallback the page's key reader takes the console's
// input records, and the log says plainly that it has nothing.
bool start_key_log(const ViewerOptions& options) {
  if (screen_state == nullptr) {
    print_line(stderr, kProgramName, ": --log: no graphics window could be opened; the page "
               "goes to the console, which gives the log no timed key events: nothing is logged");
    return false;
  }
  // The log is ready before the first event can arrive from the input thread.
  key_logger_start(options.log_format, options.chatter_ms, key_input_clock());
  const char* reason = "";
  if (key_input_start(&reason) != 0) {
    print_line(stderr, kProgramName, ": --log: ", reason);
    return false;
  }
  return true;
}

void finish_key_log() {
  key_input_stop();
  key_logger_finish(key_input_now_us());
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
  set_screen_mode(13, 8, 0, 0, 0);
  const bool logging = options.log_format != LogFormat::kNone && start_key_log(options);
  viewer_loop();
  if (logging) finish_key_log();
  end_program(0);
}
