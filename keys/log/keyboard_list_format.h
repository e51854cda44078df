// The keyboards in the log and the summaries: a line when one first sends a
// key, which explains the number the log's lines carry, and the list with
// each keyboard's events at the close.
#pragma once

#include "keys/log/log_settings.h"
#include "keys/log_writer.h"
#include "keys/source/keyboard_devices.h"

// When the keyboard first appears. Text and CSV: a comment line
//   # keyboard 1: "Wine HID keyboard" (VID_845E&PID_0002)
// (the CSV log writes it beside its summary, so the table stays one table);
// JSON Lines: {"type":"keyboard","device":1,"id":...,"vendor":"845E",...}.
void write_log_keyboard(const LogWriter& writer, LogFormat format, const KeyboardDevice& device);

// The summary's list, a line per keyboard with its events, and, when a
// filter is given ("" none), which one the map counted:
//   keyboards:
//     1  "Wine HID keyboard" (VID_845E&PID_0002), 12 events
//   the map counts keyboard 1 only
void write_keyboards_text(const LogWriter& writer, const KeyboardDevice* devices, int count,
                          const char* filter_text);

// The last line above alone; nothing when filter_text is null or "".
void write_keyboard_filter_text(const LogWriter& writer, const char* filter_text);

// The member ',"keyboards":[...]' of a JSON summary object.
void write_keyboards_json(const LogWriter& writer, const KeyboardDevice* devices, int count);

// The member ',"counted_keyboard":"..."'; nothing when filter_text is null or "".
void write_keyboard_filter_json(const LogWriter& writer, const char* filter_text);

// The keyboards listed now, at most kMaxKeyboardDevices, into devices;
// returns how many.
int copy_keyboard_list(KeyboardDevice* devices);
