#include "sys/platform.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <sched.h>
#include <semaphore.h>
#include <unistd.h>
#include <mutex>
#include <new>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace sys {

void sleep_ms(uint32_t milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  timespec request{static_cast<time_t>(milliseconds / 1000),
                   static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&request, &request) == -1 && errno == EINTR) {
  }
}

void beep(uint32_t, uint32_t) {}

uint32_t tick_count_ms() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                               static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

double precise_seconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Semaphore {
  sem_t handle;
  int maximum;
  // Makes reading the count and posting one step: two releases at once
  // would otherwise both see room below the maximum. Waits need no lock, as
  // they only lower the count.
  std::mutex signal_lock;
};

Semaphore* semaphore_new(int initial, int maximum) {
  auto* semaphore = new (std::nothrow) Semaphore;
  if (!semaphore) return nullptr;
  if (sem_init(&semaphore->handle, 0, static_cast<unsigned>(initial)) != 0) {
    delete semaphore;
    return nullptr;
  }
  semaphore->maximum = maximum;
  return semaphore;
}

void semaphore_delete(Semaphore* semaphore) {
  if (!semaphore) return;
  sem_destroy(&semaphore->handle);
  delete semaphore;
}

void semaphore_acquire(Semaphore* semaphore) {
  if (!semaphore) return;
  while (sem_wait(&semaphore->handle) == -1 && errno == EINTR) {
  }
}

void semaphore_signal(Semaphore* semaphore) {
  if (!semaphore) return;
  // Like a Windows semaphore, a release past the maximum count is refused.
  const std::lock_guard<std::mutex> hold(semaphore->signal_lock);
  int value = 0;
  sem_getvalue(&semaphore->handle, &value);
  if (value < semaphore->maximum) sem_post(&semaphore->handle);
}

bool semaphore_try_acquire(Semaphore* semaphore) {
  if (!semaphore) return false;
  int result;
  while ((result = sem_trywait(&semaphore->handle)) == -1 && errno == EINTR) {
  }
  return result == 0;
}

size_t module_path(char* buffer, size_t size) {
  if (!buffer || size == 0) return 0;
  ssize_t n = readlink("/proc/self/exe", buffer, size - 1);
  if (n < 0) n = 0;
  buffer[n] = '\0';
  return static_cast<size_t>(n);
}

bool cpuid_leaf(uint32_t leaf, uint32_t subleaf, uint32_t out[4]) {
#if defined(__i386__) || defined(__x86_64__)
  unsigned a = 0, b = 0, c = 0, d = 0;
  // Checks the highest leaf of the leaf's range first.
  if (!out || !__get_cpuid_count(leaf, subleaf, &a, &b, &c, &d)) return false;
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
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
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

bool eflags_bit_toggles(uint32_t) { return true; }

void write_stdout(const void* bytes, size_t length) {
  const char* p = static_cast<const char*>(bytes);
  while (length > 0) {
    ssize_t n = write(1, p, length);
    if (n <= 0) {
      if (n < 0 && errno == EINTR) continue;
      return;
    }
    p += n;
    length -= static_cast<size_t>(n);
  }
}

void set_fpu_precision_and_rounding() {
  // x87 precision control only exists for 32-bit x86 code; SSE arithmetic on
  // 64-bit hosts already rounds to nearest in double precision.
}

}  // namespace sys
