// The text report's distributions: the gaps and holds of all keys as a
// table of the logarithmic bins, with the part of the gaps judged chatter
// and the bin the chatter threshold falls in.
#pragma once

#include "keys/line_builder.h"
#include "keys/map/key_map_summary.h"
#include "keys/texts/ui_texts.h"

// In the language, numbers with out's decimal mark.
void write_distributions_text(LineBuilder& out, const KeyMapReport& map, UiLanguage language = UiLanguage::kEnglish);
