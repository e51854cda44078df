// Stand-in (see pending_devices.h): no keyboards known, no filter.
#include "keys/report/pending_devices.h"

int keyboard_device_count() { return 0; }
bool keyboard_device_copy(int, KeyboardDevice*) { return false; }
const char* keyboard_filter_text() { return ""; }
