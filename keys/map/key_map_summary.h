// The map's part of the summary at the close: the layout, "tested N of M
// keys", the untested keys and the keys pressed that are not on the map.
#pragma once

#include "keys/log/key_log_format.h"
#include "keys/map/key_map_state.h"
#include "keys/map/keyboard_layouts.h"

struct KeyMapReport {
  const KeyboardLayout* layout;
  bool chosen_from_system;  // --map without a layout: taken from the keyboard
  KeyMapView view;
};

// As text: a few lines, for standard output (standard error beside a CSV log).
void write_map_summary_text(const LogWriter& writer, const KeyMapReport& report);

// As the member ',"map":{...}' of the JSON summary object.
void write_map_summary_json(const LogWriter& writer, const KeyMapReport& report);
