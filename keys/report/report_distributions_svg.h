// The HTML report's pictures of the test's timings, as inline SVG: the gap
// and the hold distributions of all keys on a logarithmic time axis (the
// chatter threshold drawn on the gaps, the gaps judged chatter in the
// chatter colour, holds too short for a finger set apart), and a small strip
// of one key's own gaps. Bars and the threshold carry their figures as data
// attributes, so that a reader of the page can check where they stand.
#pragma once

#include <cstdint>

#include "keys/line_builder.h"
#include "keys/map/key_map_summary.h"
#include "keys/texts/ui_texts.h"

// The CSS rules of the pictures (for the page's style element).
void write_distribution_styles(LineBuilder& out);

// A heading and both distributions; words in the language, numbers a
// person reads with out's decimal mark, coordinates with a point.
void write_distributions_svg(LineBuilder& out, const KeyMapReport& map, UiLanguage language = UiLanguage::kEnglish);

// The strip of one key's gaps with the threshold marked; nothing for a key id
// out of range.
void write_key_gap_strip(LineBuilder& out, const KeyMapReport& map, int key,
                         UiLanguage language = UiLanguage::kEnglish);

// Where a time lies on the axis, in thousandths of a bin's width from its
// left end: bin b spans [1000 b, 1000 (b + 1)), logarithmic inside bins
// 1..20, linear inside bin 0; 10 s and more lie at the start of the last bin.
int64_t timing_axis_position(int64_t us);
