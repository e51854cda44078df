// The viewer's command-line options. Without any the program behaves as it
// always has; the parser is portable so that every case is unit-tested.
#pragma once

#include <cstddef>

#include "keys/map/key_map_state.h"
#include "keys/map/keyboard_layouts.h"
#include "gfx/drivers/window_scale.h"
#include "keys/log/log_settings.h"
#include "keys/source/keyboard_filter.h"
#include "keys/texts/ui_texts.h"

struct ViewerOptions {
  bool help = false;
  bool version = false;
  LogFormat log_format = LogFormat::kNone;
  int chatter_ms = kDefaultChatterMs;
  bool chatter_ms_given = false;  // --chatter-ms was given: a file read keeps it
  bool map = false;
  bool map_from_system = false;  // --map without a layout
  MapLayout map_layout = MapLayout::kAnsi;
  int scale = kWindowScaleAuto;  // kWindowScaleAuto or 1 to 8
  int stuck_s = kDefaultStuckS;  // a key held longer is stuck on the map
  KeyboardFilter keyboard = {};  // --keyboard: the one keyboard the map counts
  const char* report_path = nullptr;  // --report: written at the close; "-" standard output
  const char* label = nullptr;        // --label: any text, for the report
  // --replay or the lone file argument (a file dropped onto the program's
  // icon): a saved key log that becomes the test; with --report, the report
  // is written without a window.
  const char* replay_path = nullptr;
  // --lang: the language of the menu, the lines under the page, the dialogs
  // and the reports; without it, the system's.
  bool language_given = false;
  UiLanguage language = UiLanguage::kEnglish;
};

// Parses argv[1..argc-1] into options. Returns 0, or -1 with a one-line
// message (no newline) in error, cut to error_size. A null argv entry or a
// negative argc counts as no arguments.
int parse_options(int argc, const char* const* argv, ViewerOptions* options, char* error,
                  size_t error_size);

// The text --help prints, ending in a newline.
const char* options_usage();
