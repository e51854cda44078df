// Writing the key log and the map summary to standard output or standard
// error so that a failure is seen: a full disk, a closed pipe or /dev/full
// would otherwise lose the log unseen and the program end with exit code 0.
#pragma once

#include <cstdio>

#include "keys/log/key_log_format.h"

// A writer onto the stream, flushed after each piece. The first piece that
// cannot be written is said once on standard error with the system's reason;
// from then on every write through such a writer is dropped.
LogWriter checked_writer(FILE* stream);

// True once a write failed (any thread may ask).
bool checked_output_failed();

// Forgets a failure; for a fresh start (tests).
void checked_output_reset();
