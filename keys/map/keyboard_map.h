// The running keyboard map: fed by the key source on its thread, drawn
// under the page while shown, with the key under the mouse on its status
// line and the user's defect marks set by a click on a box.
#pragma once

#include <cstdint>

#include "keys/map/key_map_state.h"
#include "keys/map/key_map_summary.h"
#include "keys/map/keyboard_layouts.h"
#include "keys/source/key_dispatch.h"

// Empties the map, chooses its layout and stuck time (clamped to
// kMinStuckS..kMaxStuckS), shown or not; before the key source starts.
void keyboard_map_start(MapLayout layout, bool chosen_from_system, int chatter_ms,
                        int stuck_s = kDefaultStuckS, bool shown = true);

// The map as a reader of the key source.
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

// Clears the marks, the figures and the test's duration; keys held stay
// held. Program thread.
void keyboard_map_reset();

// The map as it stands, for the summary and the report: marks, figures of
// every key, duration since the start or the last reset; a null layout
// before the start. Program thread.
KeyMapReport keyboard_map_report();

// The clock of the key events, in microseconds; key_input_now_us unless
// replaced (tests), null restores it.
void keyboard_map_set_clock(int64_t (*now_us)());
