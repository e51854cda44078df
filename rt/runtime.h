// Start-up and shutdown, the error number, context slots, the text view and
// the small services of the runtime.
#pragma once

#include <cstdint>
#include <cstddef>

#include "rt/hook_table.h"
#include "rt/text_value_record.h"

// A file record: the screen is file 0. The device writes raw bytes.
struct FileRecord {
  void (*device)(const uint8_t* bytes, int length);
  uint32_t column;  // bytes printed since the last line end, 0-based
  uint32_t width;   // 0 for no limit
  FileRecord* next;
  int opened;
};

constexpr int kFileRecordCount = 256;  // index 0 screen, 1-254 files, 255 for file -1

struct RuntimeContext {
  int argc;
  char** argv;
  TextValue empty_text;
  HookTable hooks;
  void* slots[5];
  FileRecord files[kFileRecordCount];
};

RuntimeContext& runtime_context();
// The same record, for the routed queries that are inlined into hot loops.
extern RuntimeContext runtime_context_record;

void runtime_start();
void runtime_end();
void runtime_set_args(int argc, char** argv, void* ignored);
[[noreturn]] void end_program(int exit_code);

int set_error(int n);
int get_error();

// Returns the record of a slot (0-4), allocated zeroed with size on first use.
void* context_slot(int index, size_t size);
constexpr int kErrorContextSlot = 0;
constexpr int kDrawContextSlot = 4;
// Every context record has at least this many bytes, whatever its first
// requester asked for.
constexpr size_t kMinimumContextRecord = 256;

char* program_path(char* buffer, size_t size);

// A lock made of a semaphore with count 1 and maximum 1.
struct SemaphoreBox;
SemaphoreBox* semaphore_create();
void semaphore_destroy(SemaphoreBox* box);
void semaphore_wait(SemaphoreBox* box);
void semaphore_release(SemaphoreBox* box);

// The screen file record (file 0).
FileRecord* file_record(int file);
