// A report's context taken at one moment: the map's figures, the keyboards,
// the time and the system, copied into storage of its own so that the
// report can be written later, on any thread, outside the screen lock.
#pragma once

#include "keys/report/report_context.h"

struct ReportSnapshot {
  KeyMapReport map;
  KeyboardDevice keyboards[kMaxKeyboardDevices];
  char label[512];
  char date_time[40];
  char system_version[128];
  char keyboard_layout[160];
  ReportContext context;  // points into the fields above
};

// Program thread (the map's figures are read there). label may be null.
void take_report_snapshot(ReportSnapshot* snapshot, const char* label);
