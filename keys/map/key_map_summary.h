// The map's part of the summary at the close: the layout, "tested N of M
// keys", the untested keys and the keys pressed that are not on the map.
#pragma once

#include <cstdint>

#include "keys/log/key_log_format.h"
#include "keys/source/key_dispatch.h"
#include "keys/map/key_map_state.h"
#include "keys/map/keyboard_layouts.h"
#include "keys/record/key_timings.h"

struct KeyMapReport {
  const KeyboardLayout* layout;
  bool chosen_from_system;  // --map without a layout: taken from the keyboard
  KeyMapView view;
  KeyFigures keys[kKeyIdCount];
  int64_t duration_us;  // since the start of the test or its last reset
  int stuck_s;          // the stuck time the marks were judged by
  int chatter_ms;       // the chatter threshold the marks were judged by
  // The keys held together when most_held was reached (the chord).
  bool chord[kKeyIdCount];
  KeyTimings timings;   // the test's gaps and holds
  // The record behind the figures: the events kept since the program
  // started (or of the file), the time from which on events were not kept
  // (-1: all were), how often the test began again and when it last did
  // (-1: never), and the file the test was read from ("" for a live test).
  uint32_t events;
  int64_t dropped_from_us;
  int restarts;
  int64_t restarted_at_us;
  char source_name[128];
};

// As text: a few lines, for standard output (standard error beside a CSV log).
void write_map_summary_text(const LogWriter& writer, const KeyMapReport& report);

// As the member ',"map":{...}' of the JSON summary object.
void write_map_summary_json(const LogWriter& writer, const KeyMapReport& report);
