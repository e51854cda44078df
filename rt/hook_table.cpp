#include "rt/hook_table.h"

#include <cstring>

#include "rt/runtime.h"

HookTable& hook_table() { return runtime_context().hooks; }

void hook_table_clear() { std::memset(&runtime_context().hooks, 0, sizeof(HookTable)); }
