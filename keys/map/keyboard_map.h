// The running keyboard map: the key source's events kept in a record on its
// thread, folded into the map's state on the program's thread with the
// settings (threshold, stuck time, keyboard filter), drawn under the page
// while shown, with the key under the mouse on its status line and the
// user's defect marks set by a click on a box. A test read from a file is
// shown the same way.
#pragma once

#include <cstdint>

#include "keys/map/key_map_state.h"
#include "keys/map/key_map_summary.h"
#include "keys/map/keyboard_layouts.h"
#include "keys/record/key_record.h"
#include "keys/source/key_dispatch.h"
#include "keys/source/keyboard_devices.h"

// Empties the map and its record, chooses its layout, threshold (clamped
// like the log's) and stuck time (clamped to kMinStuckS..kMaxStuckS), shown
// or not; before the key source starts.
void keyboard_map_start(MapLayout layout, bool chosen_from_system, int chatter_ms,
                        int stuck_s = kDefaultStuckS, bool shown = true);

// The map as a reader of the key source: every event goes into the record,
// from every keyboard (the filter applies when they are folded in).
KeyConsumer keyboard_map_consumer();

// One pass of the program's thread, under the screen lock: the mouse events
// of the window are taken (a left click on a box toggles its defect mark;
// the mouse over a box puts the key on the status line), then, while shown,
// the map is drawn from text row first_free_row (1-based) down, one row
// left blank. Nothing before keyboard_map_start.
void keyboard_map_pass(int first_free_row);

// Shown or hidden from the next pass on; program thread.
void keyboard_map_show(bool shown);
// Any thread.
bool keyboard_map_is_shown();

// Another layout from the next pass on, keeping everything counted: keys on
// both layouts keep their marks and figures, keys the new layout lacks are
// listed as not on the map. Program thread. A value outside the enum is ANSI.
void keyboard_map_choose_layout(MapLayout layout);
// Any thread.
MapLayout keyboard_map_current_layout();

// Begins the test again: the record notes the point, the marks, figures
// and duration start over, keys held stay held. A test read from a file
// gives way to the live one. Program thread.
void keyboard_map_reset();

// The user's defect mark on a key on or off, as a click on its box does.
// Program thread; ids out of range do nothing.
void keyboard_map_toggle_defect(int key);

// The chatter threshold the map judges by; any thread.
int keyboard_map_chatter_ms();
// Another threshold (clamped like the log's): the whole test is judged
// again at once, the defect marks kept. Program thread.
void keyboard_map_set_chatter_ms(int chatter_ms);

// A test read from a file becomes the one shown and judged: the events'
// chunks are taken over (events is left empty), the file's keyboards and
// its end (the test's "now"; at least its last event's time) and its name
// kept for the report. Program thread.
void keyboard_map_show_file(KeyRecord* events, const KeyboardDevice* keyboards, int keyboard_count,
                            int64_t end_us, const char* name);
bool keyboard_map_showing_file();

// The record of the test shown (live or from a file), for saving it as a
// log; its published events never change. Program thread.
const KeyRecord* keyboard_map_record();
// The time of the test shown now: the clock for a live test, the end of a
// file's. Program thread.
int64_t keyboard_map_now_us();
// The keyboards of the test shown, at most kMaxKeyboardDevices, into out;
// how many. Program thread.
int keyboard_map_keyboards(KeyboardDevice* out);

// The map as it stands, for the summary and the report: marks, figures of
// every key, duration since the start or the last reset; a null layout
// before the start. Program thread.
const KeyMapReport& keyboard_map_report();

// The clock of the key events, in microseconds; key_input_now_us unless
// replaced (tests), null restores it.
void keyboard_map_set_clock(int64_t (*now_us)());
