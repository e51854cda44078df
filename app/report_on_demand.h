// The report asked for from the menu: the state taken when it was asked
// for, written once the Save dialog has given a file.
#pragma once

#include <cstddef>

// Takes the snapshot (the program thread, outside the screen lock).
void report_on_demand_take();

// Writes the last snapshot to path: 0, or -1 with the system's reason in
// reason (cut to reason_size, always ended). Any one thread at a time.
int report_on_demand_write(const char* path, char* reason, size_t reason_size);
