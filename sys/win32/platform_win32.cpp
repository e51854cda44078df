#include "sys/platform.h"

#include <windows.h>
#include <float.h>

#include <cstdlib>

namespace sys {

void sleep_ms(uint32_t milliseconds) { Sleep(milliseconds); }

void beep(uint32_t frequency, uint32_t milliseconds) { Beep(frequency, milliseconds); }

uint32_t tick_count_ms() { return GetTickCount(); }

double precise_seconds() {
  static double reciprocal = 0.0;
  static int mode = 0;  // 0 not chosen, 1 tick count, 2 performance counter
  if (mode == 0) {
    LARGE_INTEGER frequency;
    if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart != 0) {
      reciprocal = 1.0 / static_cast<double>(frequency.QuadPart);
      mode = 2;
    } else {
      mode = 1;
    }
  }
  if (mode == 1) return GetTickCount() * 0.001;
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * reciprocal;
}

struct Semaphore {
  HANDLE handle;
};

Semaphore* semaphore_new(int initial, int maximum) {
  auto* semaphore = static_cast<Semaphore*>(std::malloc(sizeof(Semaphore)));
  if (!semaphore) return nullptr;
  semaphore->handle = CreateSemaphoreA(nullptr, initial, maximum, nullptr);
  if (!semaphore->handle) {
    std::free(semaphore);
    return nullptr;
  }
  return semaphore;
}

void semaphore_delete(Semaphore* semaphore) {
  if (!semaphore) return;
  CloseHandle(semaphore->handle);
  std::free(semaphore);
}

void semaphore_acquire(Semaphore* semaphore) {
  if (semaphore) WaitForSingleObject(semaphore->handle, INFINITE);
}

void semaphore_signal(Semaphore* semaphore) {
  if (semaphore) ReleaseSemaphore(semaphore->handle, 1, nullptr);
}

bool semaphore_try_acquire(Semaphore* semaphore) {
  return semaphore && WaitForSingleObject(semaphore->handle, 0) == WAIT_OBJECT_0;
}

size_t module_path(char* buffer, size_t size) {
  if (!buffer || size == 0) return 0;
  DWORD n = GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(size));
  if (n >= size) n = static_cast<DWORD>(size - 1);
  buffer[n] = '\0';
  return n;
}

bool eflags_bit_toggles(uint32_t bit) {
#if defined(__i386__)
  uint32_t before = 0, after = 0;
  __asm__ volatile(
      "pushfl\n\t"
      "popl %0\n\t"
      "movl %0, %1\n\t"
      "xorl %2, %1\n\t"
      "pushl %1\n\t"
      "popfl\n\t"
      "pushfl\n\t"
      "popl %1\n\t"
      "pushl %0\n\t"
      "popfl\n\t"
      : "=&r"(before), "=&r"(after)
      : "r"(1u << bit)
      : "cc");
  return ((before ^ after) & (1u << bit)) != 0;
#else
  (void)bit;
  return true;
#endif
}

bool cpuid_leaf(uint32_t leaf, uint32_t subleaf, uint32_t out[4]) {
#if defined(__i386__) || defined(__x86_64__)
  if (!out || !eflags_bit_toggles(21)) return false;
  // The highest leaf of the range (basic or extended) the leaf belongs to.
  uint32_t a = leaf & 0x80000000u, b = 0, c = 0, d = 0;
  __asm__ volatile("cpuid" : "+a"(a), "=b"(b), "=c"(c), "=d"(d));
  if (a < leaf) return false;
  a = leaf;
  c = subleaf;
  __asm__ volatile("cpuid" : "+a"(a), "=b"(b), "+c"(c), "=d"(d));
  out[0] = a;
  out[1] = b;
  out[2] = c;
  out[3] = d;
  return true;
#else
  (void)leaf;
  (void)subleaf;
  (void)out;
  return false;
#endif
}

bool cpuid_leaf1(uint32_t* signature, uint32_t* features, uint32_t* other_features) {
#if defined(__i386__) || defined(__x86_64__)
  if (!eflags_bit_toggles(21)) return false;
  uint32_t a = 1, b = 0, c = 0, d = 0;
  __asm__ volatile("cpuid" : "+a"(a), "=b"(b), "=c"(c), "=d"(d));
  *signature = a;
  *features = d;
  if (other_features) *other_features = c;
  return true;
#else
  (void)signature;
  (void)features;
  (void)other_features;
  return false;
#endif
}

void write_stdout(const void* bytes, size_t length) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  const char* p = static_cast<const char*>(bytes);
  while (length > 0) {
    DWORD written = 0;
    if (!WriteFile(out, p, static_cast<DWORD>(length), &written, nullptr) || written == 0) return;
    p += written;
    length -= written;
  }
}

void set_fpu_precision_and_rounding() {
#if defined(__i386__)
  _controlfp(0, _MCW_PC | _MCW_RC);
#endif
}

}  // namespace sys
