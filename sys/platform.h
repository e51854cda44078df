// What the portable code needs of the operating system, behind one header.
// One implementation for Windows (sys/win32) and one for POSIX (sys/posix).
#pragma once

#include <cstdint>
#include <cstddef>

namespace sys {

// Sleeps at least the given number of milliseconds; 0 yields the time slice.
void sleep_ms(uint32_t milliseconds);

// Sounds the speaker (Windows) or does nothing where there is none.
void beep(uint32_t frequency, uint32_t milliseconds);

// Milliseconds from an arbitrary start; wraps after about 49 days.
uint32_t tick_count_ms();

// Seconds from an arbitrary start with the best resolution available.
double precise_seconds();

// A counting semaphore with a maximum count. Null on failure.
struct Semaphore;
Semaphore* semaphore_new(int initial, int maximum);
void semaphore_delete(Semaphore* semaphore);
void semaphore_acquire(Semaphore* semaphore);
// Adds one to the count unless it is at the maximum, atomically.
void semaphore_signal(Semaphore* semaphore);
// Takes one count when there is one, without waiting; false otherwise.
bool semaphore_try_acquire(Semaphore* semaphore);

// Writes the program's full file path (zero-terminated, cut to size) and
// returns the number of bytes written without the terminator.
size_t module_path(char* buffer, size_t size);

// Raw processor identification: CPUID leaf 1 signature and feature flags
// (EDX), and when asked the other feature word (ECX: SSE3, SSSE3, ...).
// Returns false when the processor has no CPUID instruction.
bool cpuid_leaf1(uint32_t* signature, uint32_t* features, uint32_t* other_features = nullptr);
// The other feature word of CPUID leaf 1 (ECX: SSE3, SSSE3, ...); false
// without CPUID.
bool cpuid_leaf1_ecx(uint32_t* features);
// CPUID of leaf and subleaf into out (EAX, EBX, ECX, EDX); false without
// CPUID or when the processor does not have that leaf (basic or extended).
bool cpuid_leaf(uint32_t leaf, uint32_t subleaf, uint32_t out[4]);
// Whether a bit of the processor's flags register can be toggled (used to
// tell a 486 from a 386 when CPUID is missing). Always true on 64-bit hosts.
bool eflags_bit_toggles(uint32_t bit);

// Writes bytes to the process's standard output unchanged.
void write_stdout(const void* bytes, size_t length);

// Sets the floating-point unit to 64-bit precision, round to nearest,
// where the hardware has such a control.
void set_fpu_precision_and_rounding();

// The unshifted character the keyboard layout gives a virtual key (letters
// in upper case), 0 when it gives none; bit 31 marks a dead key.
uint32_t map_virtual_key_to_char(uint32_t virtual_key);

// The language id of the keyboard layout in use (0x0409 US English, 0x0407
// German, 0x0411 Japanese, ...), as Windows numbers languages.
uint16_t keyboard_language_id();

}  // namespace sys
