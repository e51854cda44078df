// Loading a library and its entry points by name.
#include "gfx/win32/drivers/run_time_linking.h"

#include "gfx/win32/failure_trace.h"

int resolve_symbols(HMODULE module, const char* const* names, int count, FARPROC* entries) {
  if (!module || !names || !entries) return -1;
  for (int i = 0; i < count; ++i) {
    entries[i] = names[i] ? GetProcAddress(module, names[i]) : nullptr;
    if (!entries[i]) {
      ZQ_TRACE_FAILURE("GetProcAddress found no %s", names[i] ? names[i] : "(null name)");
      return -1;
    }
  }
  return 0;
}

HMODULE load_library(const char* file_name, const char* const* names, FARPROC* entries) {
  if (!file_name) return nullptr;
  HMODULE module = LoadLibraryA(file_name);
  if (!module) {
    ZQ_TRACE_FAILURE("LoadLibraryA refused %s", file_name);
    return nullptr;
  }
  int count = 0;
  while (names && names[count]) ++count;
  if (count > 0 && resolve_symbols(module, names, count, entries) != 0) {
    free_library(&module);
    return nullptr;
  }
  return module;
}

void free_library(HMODULE* module) {
  if (!module || !*module) return;
  FreeLibrary(*module);
  *module = nullptr;
}
