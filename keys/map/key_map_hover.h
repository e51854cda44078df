// The status line for the key under the mouse: its name as the log names
// it, its scancode with the prefix, and what the map counted of it, in the
// reader's language, shortened to the width there is.
#pragma once

#include "keys/map/key_map_state.h"
#include "keys/texts/ui_texts.h"

// Writes the line (terminated) into text, at most width characters and
// size - 1 bytes. The longest form that fits is taken: whole words, then
// short words, then abbreviations, then without the less telling of gap and
// hold, then the presses (and chatter) alone, then name and scancode, cut
// if need be: a word is never cut, only the name when even it is too long.
// Chatter is named only when there was some, the gap only after a second
// press. The text is in the screen font's code page (ü is 0x81), numbers
// with the language's decimal mark. A width below 1 or no room gives "".
void key_map_hover_text(char* text, int size, int width, int key, const KeyFigures& figures,
                        UiLanguage language);
