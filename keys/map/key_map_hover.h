// The status line for the key under the mouse: its name as the log names
// it, its scancode with the prefix, and what the map counted of it, in the
// page's German, shortened to the width there is.
#pragma once

#include "keys/map/key_map_state.h"

// Writes the line (terminated) into text, at most width characters and
// size - 1 bytes. The longest form that fits is taken: full words, then
// short words, then compact words, then letters, then without the gap and hold, then name and
// scancode alone, then those cut. A width below 1 or no room gives "".
void key_map_hover_text(char* text, int size, int width, int key, const KeyFigures& figures);
