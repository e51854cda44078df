// Everything a saved report is written from: the map's snapshot, the
// keyboards, the label and the facts about the program and the machine.
// Plain pointers into storage the caller keeps alive while the report is
// written.
#pragma once

#include "keys/map/key_map_summary.h"
#include "keys/source/keyboard_devices.h"
#include "keys/texts/ui_texts.h"

struct ReportContext {
  const KeyMapReport* map;           // null or a null layout: no map ran
  const KeyboardDevice* keyboards;   // keyboard_count of them, in their numbers' order
  int keyboard_count;
  const char* keyboard_filter;       // what --keyboard counts, "" when every keyboard
  const char* label;                 // --label, "" when none; any bytes
  const char* program;               // name and version as --version gives them
  const char* version;
  const char* date_time;             // "2024-05-01 14:03:22 +02:00"
  const char* system_version;        // "Windows 10.0 build 19045"
  const char* keyboard_layout;       // the system's keyboard layout by name
  UiLanguage language;               // of the report's words and numbers
};
