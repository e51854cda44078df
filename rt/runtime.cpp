// Start-up and shutdown, the error number, context slots and small services.
#include "rt/runtime.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#include "con/console.h"
#include "rt/routed.h"
#include "sys/platform.h"

namespace {

RuntimeContext context;
int start_count = 0;

// The text view lives outside the zeroed context: -1 means not set.
int view_top_row = -1;
int view_bottom_row = -1;

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

// File 0 writes through the routed print operation.
void screen_device(const uint8_t* bytes, int length) { print_bytes(bytes, length, 0); }

}  // namespace

RuntimeContext& runtime_context() { return context; }

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

int view_top() {
  if (view_top_row == -1) view_top_row = 0;
  return view_top_row;
}

int view_bottom() {
  if (view_bottom_row == -1) {
    int columns = 0, rows = 0;
    get_text_size(&columns, &rows);
    view_bottom_row = rows > 0 ? rows - 1 : 24;
  }
  return view_bottom_row;
}

int set_view_rows(int top, int bottom) {
  // Any negative row means "not set"; the getters then supply the default.
  view_top_row = top < 0 ? -1 : top;
  view_bottom_row = bottom < 0 ? -1 : bottom;
  return view_bottom_row;
}

void text_view_within(int rows, int* top, int* bottom) {
  int t = view_top();
  int b = view_bottom();
  if (b > rows - 1) b = rows - 1;
  if (t > b) {
    t = 0;
    b = rows - 1;
  }
  *top = t;
  *bottom = b;
}

void view_rows_1based(int* top, int* bottom) {
  // Stored rows are never negative, but INT_MAX + 1 would overflow.
  if (top) *top = view_top() == INT_MAX ? INT_MAX : view_top() + 1;
  if (bottom) *bottom = view_bottom() == INT_MAX ? INT_MAX : view_bottom() + 1;
}

int set_view_print(int top, int bottom, int move_cursor) {
  int columns = 0, rows = 0;
  get_text_size(&columns, &rows);
  if (rows == 0) rows = 25;

  const bool changes = top >= 0 || bottom >= 0;
  if (top == 0) top = 1;
  else if (top < 0) top = view_top() == INT_MAX ? INT_MAX : view_top() + 1;
  if (bottom == 0) bottom = rows;
  else if (bottom < 0) bottom = view_bottom() == INT_MAX ? INT_MAX : view_bottom() + 1;

  if (top > bottom || top < 1 || bottom < 1 || top > rows || bottom > rows) return 0;
  if (changes) {
    set_view_rows(top - 1, bottom - 1);
    view_changed();
    if (move_cursor) locate(top, 1, -1, nullptr);
  }
  return top + bottom * 65536;
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
  auto* box = new (std::nothrow) SemaphoreBox;
  if (!box) return nullptr;
  box->semaphore = sys::semaphore_new(1, 1);
  if (!box->semaphore) {
    delete box;
    return nullptr;
  }
  return box;
}

void semaphore_destroy(SemaphoreBox* box) {
  if (!box) return;
  sys::semaphore_delete(box->semaphore);
  delete box;
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
