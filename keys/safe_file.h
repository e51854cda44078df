// Saving a file a person keeps without ever losing the older one: the
// content goes into a new file beside the target, and only a complete one
// is moved over it. A target that is no regular file (a device such as
// /dev/full, a pipe, "-" for standard output) is written directly.
#pragma once

#include <cstddef>
#include <cstdint>

#include "keys/log_writer.h"

// Writes the whole content through writer; false when it cannot be made
// (no memory), which fails the save.
using FileContent = bool (*)(const LogWriter& writer, const void* context);

// 0, or -1 with the reason, cut to reason_size: the system's ("Permission
// denied", "No space left on device") or "no file name". A failed save
// leaves the target as it was and no new file behind. A read-only target is
// refused even where the system would let a rename replace it.
// byte_limit (tests): past so many bytes the writes fail as on a full disk;
// negative for none.
int write_file_safely(const char* path, FileContent content, const void* context, char* reason,
                      size_t reason_size, int64_t byte_limit = -1);
