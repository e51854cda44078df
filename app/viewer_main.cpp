#include "app/viewer_main.h"

#include <cstdio>
#include <initializer_list>

#include "app/options.h"
#include "app/viewer.h"
#include "gfx/screen.h"
#include "keys/key_logger.h"
#include "keys/key_source.h"
#include "keys/version.h"
#include "rt/routed.h"
#include "rt/runtime.h"

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
