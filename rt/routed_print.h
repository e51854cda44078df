// The routed printing: the graphics screen's print handler when its slot is
// set, the console otherwise. Apart from the other routed operations because
// the runtime core prints file 0 through it and must not reach up to them.
#pragma once

#include <cstdint>

void print_bytes(const uint8_t* bytes, int length, int flags);
void print_wide(const uint16_t* units, int length, int flags);
