// The running keyboard map (--map): fed by the key source on its thread,
// drawn under the page and reset by the program's thread.
#pragma once

#include "keys/source/key_dispatch.h"
#include "keys/map/key_map_summary.h"
#include "keys/map/keyboard_layouts.h"

// Empties the map and chooses its layout; before the key source starts.
void keyboard_map_start(MapLayout layout, bool chosen_from_system, int chatter_ms);

// The map as a reader of the key source.
KeyConsumer keyboard_map_consumer();

// One pass of the program's thread, under the screen lock: a double click
// with the left button clears the tested marks and the counts, then the map
// is drawn from text row first_free_row (1-based) down. Nothing before
// keyboard_map_start.
void keyboard_map_pass(int first_free_row);

// The map as it stands, for the summary; a null layout before the start.
KeyMapReport keyboard_map_report();
