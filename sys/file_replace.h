// Replacing a file whole: a new one written beside it, then moved over it.
// One implementation for Windows (sys/win32) and one for POSIX (sys/posix).
// Each failure gives the system's own reason, cut to reason_size.
#pragma once

#include <cstddef>
#include <cstdio>

namespace sys {

enum class FileKind {
  kMissing,   // nothing of that name (yet)
  kRegular,   // a file that a renamed one may replace
  kReadOnly,  // a regular file that must not be written
  kOther,     // a device, a pipe, a folder: written directly or not at all
};

// What stands at path now. -1 with the reason when that cannot be told
// (a folder on the way that cannot be searched).
int file_kind(const char* path, FileKind* kind, char* reason, size_t reason_size);

// Creates a new, empty file in the folder of target whose name is target's
// with a suffix, opened for binary writing; its name goes into temp_path.
// Where target exists, the new file gets its permissions.
// Null with the reason when none can be made (the folder does not exist,
// the name is too long).
FILE* create_file_beside(const char* target, char* temp_path, size_t temp_size, char* reason,
                         size_t reason_size);

// Flushes the file's bytes to the disk and closes it (closed either way).
int close_file_durably(FILE* file, char* reason, size_t reason_size);

// Moves from over to, replacing what was there in one step.
int replace_file(const char* from, const char* to, char* reason, size_t reason_size);

// Removes a file; nothing is said when it cannot be.
void remove_file(const char* path);

// The text of an errno value, cut to reason_size.
void error_text(int code, char* reason, size_t reason_size);

}  // namespace sys
