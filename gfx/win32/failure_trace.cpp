#include "gfx/win32/failure_trace.h"

#if defined(ZQ_TRACE)
#include <windows.h>

#include <cstdarg>
#include <cstdio>

void failure_trace(const char* where, const char* format, ...) {
  // Taken first: the printing below may change it.
  const DWORD last_error = GetLastError();
  char text[512];
  int length = std::snprintf(text, sizeof text, "zq trace: %s: ", where);
  va_list arguments;
  va_start(arguments, format);
  if (length >= 0 && length < static_cast<int>(sizeof text))
    length += std::vsnprintf(text + length, sizeof text - static_cast<size_t>(length), format, arguments);
  va_end(arguments);
  if (length >= 0 && length < static_cast<int>(sizeof text))
    std::snprintf(text + length, sizeof text - static_cast<size_t>(length), " (last error %lu)\n",
                  static_cast<unsigned long>(last_error));
  std::fputs(text, stderr);
  std::fflush(stderr);
  OutputDebugStringA(text);
  SetLastError(last_error);
}

bool failure_trace_result(long result, const char* where, const char* what) {
  if (result >= 0) return false;
  failure_trace(where, "%s answered 0x%08lX", what, static_cast<unsigned long>(result));
  return true;
}
#endif
