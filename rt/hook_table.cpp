#include "rt/hook_table.h"

#include <cstdint>
#include <cstring>

#include "rt/runtime.h"

BoundedKeyHeld bounded_key_held = {nullptr, INT32_MAX};

HookTable& hook_table() { return runtime_context().hooks; }

void hook_table_clear() { std::memset(&runtime_context().hooks, 0, sizeof(HookTable)); }
