// The report's drawing of the keyboard: inline SVG, one group per key of the
// map's layout with its state as a class, a short legend, and the full name
// and figures as the title shown on hover; and the colour key below it.
#pragma once

#include "keys/line_builder.h"
#include "keys/texts/ui_texts.h"
#include "keys/map/key_map_summary.h"

// The CSS rules that colour the states (for the page's style element).
void write_state_styles(LineBuilder& out);

// The titles in the language.
void write_keyboard_svg(LineBuilder& out, const KeyMapReport& map, UiLanguage language = UiLanguage::kEnglish);

// The states with their colours and how many of the map's keys are in each.
void write_colour_key(LineBuilder& out, const KeyMapReport& map, UiLanguage language = UiLanguage::kEnglish);
