// Text from outside (the label, device names) into the report. Both forms
// are UTF-8: valid UTF-8 passes, any other byte above 127 is read as
// Windows-1252 (the code page such bytes most likely come from), control
// characters become U+FFFD so that a label cannot break a line or a table.
#pragma once

#include "keys/line_builder.h"

// For the text report.
LineBuilder& plain_text(LineBuilder& out, const char* s);

// For HTML text and attribute values: & < > " ' as character references.
LineBuilder& html_text(LineBuilder& out, const char* s);
