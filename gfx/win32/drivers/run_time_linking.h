// Libraries loaded while a driver runs instead of being linked, so that a
// missing one only disables that driver.
#pragma once

#include <windows.h>

// Loads file_name and resolves every name of the null-ended list into
// entries, in order. Null, with the module unloaded again, when the file or
// any name is missing.
HMODULE load_library(const char* file_name, const char* const* names, FARPROC* entries);

// Resolves count names into entries; -1 at the first missing name (the
// entries before it stay filled), else 0.
int resolve_symbols(HMODULE module, const char* const* names, int count, FARPROC* entries);

// Unloads the module if the handle is set and clears the handle.
void free_library(HMODULE* module);
