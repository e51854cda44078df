#include "app/options.h"

#include <cstring>
#include <initializer_list>

#include "keys/version.h"

namespace {

// Joins the pieces into error, always terminated, cut to size.
void set_message(char* error, size_t size, const char* a, const char* b = "", const char* c = "") {
  if (error == nullptr || size == 0) return;
  size_t used = 0;
  const char* const parts[] = {kProgramName, ": ", a, b, c};
  for (const char* part : parts) {
    for (; *part != '\0' && used + 1 < size; ++part) error[used++] = *part;
  }
  error[used] = '\0';
}

// Digits only, lowest to highest: no sign, no blank, no other base. Stops
// counting past the bound so that long digit strings cannot overflow.
bool parse_bounded(const char* text, int lowest, int highest, int* value) {
  if (text == nullptr || *text == '\0') return false;
  int result = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9') return false;
    result = result * 10 + (*p - '0');
    if (result > highest) return false;
  }
  if (result < lowest) return false;
  *value = result;
  return true;
}

bool parse_log_format(const char* text, LogFormat* format) {
  if (std::strcmp(text, "text") == 0) *format = LogFormat::kText;
  else if (std::strcmp(text, "csv") == 0) *format = LogFormat::kCsv;
  else if (std::strcmp(text, "jsonl") == 0) *format = LogFormat::kJsonl;
  else return false;
  return true;
}

// Digits only, 1 to 8, or "auto".
bool parse_scale(const char* text, int* value) {
  if (std::strcmp(text, "auto") == 0) {
    *value = kWindowScaleAuto;
    return true;
  }
  if (text[0] < '0' + kMinWindowScale || text[0] > '0' + kMaxWindowScale || text[1] != '\0') return false;
  *value = text[0] - '0';
  return true;
}

// Whether arg is the option name, alone or as name=value. The value is the
// part after '=' or the next argument, which *index then steps past; null
// when there is none.
bool match_valued_option(const char* arg, const char* name, int argc, const char* const* argv, int* index,
                         const char** value) {
  const size_t length = std::strlen(name);
  if (std::strncmp(arg, name, length) != 0 || (arg[length] != '\0' && arg[length] != '=')) return false;
  *value = nullptr;
  if (arg[length] == '=') *value = arg + length + 1;
  else if (*index + 1 < argc && argv[*index + 1] != nullptr) *value = argv[++*index];
  return true;
}

// A language's code exactly as a table names it: "de", "en".
bool parse_language(const char* text, UiLanguage* language) {
  UiLanguage found;
  if (!ui_language_from_code(text, &found) || std::strcmp(ui_language_code(found), text) != 0) return false;
  *language = found;
  return true;
}

// "en or de": the codes of the tables, for the message.
const char* language_codes() {
  static char codes[64];
  size_t used = 0;
  for (int i = 0; i < kUiLanguageCount; ++i) {
    const char* separator = i == 0 ? "" : i + 1 == kUiLanguageCount ? " or " : ", ";
    for (const char* part : {separator, ui_language_code(static_cast<UiLanguage>(i))})
      for (; *part != '\0' && used + 1 < sizeof codes; ++part) codes[used++] = *part;
  }
  codes[used] = '\0';
  return codes;
}

// The key log to open; a second one, by either form, is refused.
bool set_replay(const char* path, ViewerOptions* options, char* error, size_t error_size) {
  if (options->replay_path != nullptr) {
    set_message(error, error_size, "one key log at a time, not '", options->replay_path, "' and '");
    // The second name goes after the first, still one line.
    if (error != nullptr && error_size > 0) {
      size_t used = std::strlen(error);
      for (const char* part : {path, "'"})
        for (; *part != '\0' && used + 1 < error_size; ++part) error[used++] = *part;
      error[used] = '\0';
    }
    return false;
  }
  options->replay_path = path;
  return true;
}

}  // namespace

int parse_options(int argc, const char* const* argv, ViewerOptions* options, char* error,
                  size_t error_size) {
  if (options == nullptr) return -1;
  *options = ViewerOptions{};
  if (error != nullptr && error_size > 0) error[0] = '\0';
  if (argv == nullptr) return 0;

  for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
    const char* arg = argv[i];
    const char* value = nullptr;
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      options->help = true;
    } else if (std::strcmp(arg, "--version") == 0) {
      options->version = true;
    } else if (std::strcmp(arg, "--log") == 0) {
      options->log_format = LogFormat::kText;
    } else if (std::strncmp(arg, "--log=", 6) == 0) {
      if (!parse_log_format(arg + 6, &options->log_format)) {
        set_message(error, error_size, "--log takes text, csv or jsonl, not '", arg + 6, "'");
        return -1;
      }
    } else if (std::strcmp(arg, "--map") == 0) {
      options->map = true;
      options->map_from_system = true;
    } else if (std::strncmp(arg, "--map=", 6) == 0) {
      if (!parse_map_layout(arg + 6, &options->map_layout)) {
        set_message(error, error_size, "--map takes ansi, iso, jis, ansi-tkl or iso-tkl, not '",
                    arg + 6, "'");
        return -1;
      }
      options->map = true;
      options->map_from_system = false;
    } else if (match_valued_option(arg, "--chatter-ms", argc, argv, &i, &value)) {
      if (value == nullptr) {
        set_message(error, error_size, "--chatter-ms needs a number of milliseconds");
        return -1;
      }
      if (!parse_bounded(value, kMinChatterMs, kMaxChatterMs, &options->chatter_ms)) {
        set_message(error, error_size, "--chatter-ms takes a whole number from 1 to 1000, not '",
                    value, "'");
        return -1;
      }
      options->chatter_ms_given = true;
    } else if (match_valued_option(arg, "--stuck-s", argc, argv, &i, &value)) {
      if (value == nullptr || !parse_bounded(value, kMinStuckS, kMaxStuckS, &options->stuck_s)) {
        set_message(error, error_size, "--stuck-s takes a whole number of seconds from 1 to 3600, not '",
                    value ? value : "", "'");
        return -1;
      }
    } else if (match_valued_option(arg, "--scale", argc, argv, &i, &value)) {
      if (value == nullptr || !parse_scale(value, &options->scale)) {
        set_message(error, error_size, "--scale takes auto or a whole number from 1 to 8, not '",
                    value ? value : "", "'");
        return -1;
      }
    } else if (match_valued_option(arg, "--keyboard", argc, argv, &i, &value)) {
      if (value == nullptr || !parse_keyboard_filter(value, &options->keyboard)) {
        set_message(error, error_size, "--keyboard takes a keyboard's number from 1 to 16 or its VID:PID "
                    "in hex (046d:c31c), not '", value ? value : "", "'");
        return -1;
      }
    } else if (match_valued_option(arg, "--report", argc, argv, &i, &value)) {
      if (value == nullptr || value[0] == '\0') {
        set_message(error, error_size, "--report needs a file name (.html or .htm for HTML, - for standard output)");
        return -1;
      }
      options->report_path = value;
    } else if (match_valued_option(arg, "--label", argc, argv, &i, &value)) {
      if (value == nullptr) {
        set_message(error, error_size, "--label needs a text");
        return -1;
      }
      options->label = value;
    } else if (match_valued_option(arg, "--lang", argc, argv, &i, &value)) {
      if (value == nullptr || !parse_language(value, &options->language)) {
        set_message(error, error_size, "--lang takes ", language_codes(), value ? ", not '" : "");
        if (value != nullptr && error != nullptr && error_size > 0) {
          size_t used = std::strlen(error);
          for (const char* part : {value, "'"})
            for (; *part != '\0' && used + 1 < error_size; ++part) error[used++] = *part;
          error[used] = '\0';
        }
        return -1;
      }
      options->language_given = true;
    } else if (match_valued_option(arg, "--replay", argc, argv, &i, &value)) {
      if (value == nullptr || value[0] == '\0') {
        set_message(error, error_size, "--replay needs the file name of a key log");
        return -1;
      }
      if (!set_replay(value, options, error, error_size)) return -1;
    } else if (arg[0] == '-') {
      set_message(error, error_size, "unknown option '", arg, "' (see --help)");
      return -1;
    } else if (arg[0] == '\0') {
      set_message(error, error_size, "an empty argument is no file name (see --help)");
      return -1;
    } else if (!set_replay(arg, options, error, error_size)) {
      return -1;
    }
  }
  return 0;
}

const char* options_usage() {
  return "Usage: klimperdetektor [--log[=text|csv|jsonl]] [--chatter-ms N] [--map[=LAYOUT]]\n"
         "                     [--stuck-s N] [--scale N|auto] [--keyboard N|VID:PID]\n"
         "                     [--report FILE] [--label TEXT] [--lang de|en]\n"
         "                     [--replay LOG | LOG]\n"
         "Shows the scancodes of the keys held down, in a window; ends when it is closed.\n"
         "  --log[=FORMAT]  also write every key press and release to standard output,\n"
         "                  as text (the default), csv or jsonl, and a summary at the end;\n"
         "                  a log that cannot be written is reported once on standard\n"
         "                  error; the window stays, and the exit code is 3\n"
         "  --chatter-ms N  mark a press that follows the same key's release within N ms\n"
         "                  as chatter (1 to 1000, default 30)\n"
         "  --map[=LAYOUT]  draw a keyboard under the page: untested, held, tested,\n"
         "                  chattering, stuck and marked keys; a click on a key marks it\n"
         "                  defect (again: unmarked), the mouse over it shows its figures.\n"
         "                  LAYOUT: ansi, iso, jis, ansi-tkl, iso-tkl (default: the\n"
         "                  system's keyboard)\n"
         "  --stuck-s N     a key held longer than N seconds counts as stuck (1 to 3600,\n"
         "                  default 8)\n"
         "  --scale N|auto  draw each screen pixel as N x N window pixels (1 to 8);\n"
         "                  auto (the default) follows the monitor's DPI: 2 at 192 DPI,\n"
         "                  lowered until the window fits the screen\n"
         "  --keyboard N|VID:PID\n"
         "                  the map and its summary count only this keyboard: its number\n"
         "                  in the log (keyboards are numbered as they first send a key)\n"
         "                  or its maker's and product's numbers in hex, e.g. 046d:c31c;\n"
         "                  the log still records every keyboard\n"
         "  --report FILE   write a report of the test at the close: HTML when FILE ends\n"
         "                  in .html or .htm, else text; - for text on standard output;\n"
         "                  a report that cannot be written is said on standard error,\n"
         "                  and the exit code is 3\n"
         "  --label TEXT    a name for the report (a serial number, who tested)\n"
         "  --lang de|en    the language of the menu, the lines under the page, the\n"
         "                  dialogs and the reports, with its numbers (4,0 ms or 4.0 ms);\n"
         "                  default: German where the system's user interface is, else\n"
         "                  English. The page, this help, the log and the messages stay\n"
         "                  as they are\n"
         "  --replay LOG    open a saved key log (text, CSV or JSON Lines, as --log and\n"
         "                  the Save dialog write them) as the test, instead of the\n"
         "                  keys; with --report, write the report without a window.\n"
         "                  A file name alone does the same (a file dropped onto the\n"
         "                  program); a file that is no key log is said with its line,\n"
         "                  and the exit code is 2\n"
         "  --help          show this help and exit\n"
         "  --version       show the version and exit\n";
}
