// The language the user reads the system in: Windows' user interface
// language, or the messages' locale of a POSIX system. Not the keyboard
// layout and not the format of numbers, which a person may set apart.
#pragma once

#include <cstddef>

namespace sys {

// The language's two- or three-letter ISO 639 code in lower case ("de",
// "en") into code, always terminated, cut to size; "" when the system says
// none (a POSIX "C" locale) or cannot say.
void user_interface_language(char* code, size_t size);

}  // namespace sys
