// The scancode viewer: one page of German text listing the held scancodes.
#pragma once

// Draws one page (locks, clears, prints, scans all 65,535 codes, unlocks
// with every line marked).
void viewer_draw_page();

// Drawing that goes under the page, called by viewer_draw_page inside its
// lock with the first text row (1-based) the page left empty; null for none.
void viewer_set_below_page(void (*draw)(int first_free_row));

// One pass: the page, the 10 ms sleep and one key taken. True when that key
// was the close key.
bool viewer_pass();

// Repeats passes until the close key is read.
void viewer_loop();
