// Start-up and shutdown, the hook table in the runtime context, the error
// number, context slots and small services.
#include "rt/runtime.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "con/console.h"
#include "rt/routed_print.h"
#include "sys/platform.h"

RuntimeContext runtime_context_record;
BoundedKeyHeld bounded_key_held = {nullptr, INT32_MAX, nullptr};

namespace {

RuntimeContext& context = runtime_context_record;
int start_count = 0;

struct ErrorContext {
  int32_t reserved;
  int32_t error_number;
};

// Global constructor and destructor: the runtime is up before any program
// code runs and goes down after the at-exit handlers of the screen.
struct RuntimeLifetime {
  RuntimeLifetime() { runtime_start(); }
  ~RuntimeLifetime() { runtime_end(); }
} runtime_lifetime;

// File 0 writes through the routed print, so that the screen's file prints
// wherever the screen currently is.
void screen_device(const uint8_t* bytes, int length) { print_bytes(bytes, length, 0); }

}  // namespace

RuntimeContext& runtime_context() { return context; }

HookTable& hook_table() { return context.hooks; }

void hook_table_clear() { std::memset(&context.hooks, 0, sizeof(HookTable)); }

void runtime_start() {
  if (start_count++ != 0) return;
  // The slots and files survive a restart only if they were never allocated;
  // the context records are process-wide and kept.
  void* slots[5];
  std::memcpy(slots, context.slots, sizeof slots);
  std::memset(&context, 0, sizeof context);
  std::memcpy(context.slots, slots, sizeof slots);
  context.files[0].device = screen_device;
  sys::set_fpu_precision_and_rounding();
  console_reset_state();
}

void runtime_end() {
  if (start_count == 0 || --start_count != 0) return;
  for (int file = 1; file <= 254; ++file) {
    FileRecord& record = context.files[file];
    if (record.opened) std::memset(&record, 0, sizeof record);
  }
}

void runtime_set_args(int argc, char** argv, void*) {
  context.argc = argc;
  context.argv = argv;
}

void end_program(int exit_code) { std::exit(exit_code); }

void* context_slot(int index, size_t size) {
  if (index < 0 || index > 4) return nullptr;
  // A first caller asking for too few bytes must not leave the error
  // number or the drawing context writing past their record.
  if (!context.slots[index]) context.slots[index] = std::calloc(1, std::max(size, kMinimumContextRecord));
  return context.slots[index];
}

int set_error(int n) {
  auto* errors = static_cast<ErrorContext*>(context_slot(kErrorContextSlot, sizeof(ErrorContext)));
  if (errors) errors->error_number = n;
  return n;
}

int get_error() {
  auto* errors = static_cast<ErrorContext*>(context_slot(kErrorContextSlot, sizeof(ErrorContext)));
  return errors ? errors->error_number : 0;
}

char* program_path(char* buffer, size_t size) {
  if (!buffer || size == 0) return buffer;
  size_t n = sys::module_path(buffer, size);
  char* name = buffer;
  for (size_t i = 0; i < n; ++i) {
    if (buffer[i] == '\\') name = buffer + i + 1;
  }
  return name;
}

struct SemaphoreBox {
  sys::Semaphore* semaphore;
};

SemaphoreBox* semaphore_create() {
  auto* box = static_cast<SemaphoreBox*>(std::calloc(1, sizeof(SemaphoreBox)));
  if (!box) return nullptr;
  box->semaphore = sys::semaphore_new(1, 1);
  if (!box->semaphore) {
    std::free(box);
    return nullptr;
  }
  return box;
}

void semaphore_destroy(SemaphoreBox* box) {
  if (!box) return;
  sys::semaphore_delete(box->semaphore);
  std::free(box);
}

void semaphore_wait(SemaphoreBox* box) {
  if (box) sys::semaphore_acquire(box->semaphore);
}

void semaphore_release(SemaphoreBox* box) {
  if (box) sys::semaphore_signal(box->semaphore);
}

FileRecord* file_record(int file) {
  if (file == 0) return &context.files[0];
  if (file == -1) return &context.files[255];
  if (file >= 1 && file <= 254) return &context.files[file];
  return nullptr;
}
