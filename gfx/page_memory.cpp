#include "gfx/page_memory.h"

#include <cstdlib>
#include <cstring>

// The raw allocation address is kept just before the aligned start. The room
// reserved for it is a whole pointer, so that 64-bit builds and allocators
// that align to less than 8 bytes keep it intact as well.
uint8_t* page_allocate(size_t size) {
  constexpr size_t kExtra = 15 + sizeof(void*);
  if (size > SIZE_MAX - kExtra) return nullptr;
  auto* raw = static_cast<uint8_t*>(std::calloc(1, size + kExtra));
  if (!raw) return nullptr;
  auto address = reinterpret_cast<uintptr_t>(raw) + sizeof(void*);
  address = (address + 15) & ~static_cast<uintptr_t>(15);
  auto* page = reinterpret_cast<uint8_t*>(address);
  std::memcpy(page - sizeof(void*), &raw, sizeof(void*));
  return page;
}

void page_free(uint8_t* page) {
  if (!page) return;
  void* raw = nullptr;
  std::memcpy(&raw, page - sizeof(void*), sizeof(void*));
  std::free(raw);
}
