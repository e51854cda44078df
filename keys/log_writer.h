// Where text goes: the key log's output, a report's file, a buffer for a
// line on the screen. A plain callback, so that writers stay free of stdio.
#pragma once

#include <cstddef>

struct LogWriter {
  void (*write)(void* context, const char* text, size_t length);
  void* context;
};
