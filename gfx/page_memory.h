// Frame-buffer pages start on 16-byte boundaries so that the block routines
// and blitters can use aligned access.
#pragma once

#include <cstddef>
#include <cstdint>

// A zeroed page of size bytes, 16-byte aligned; null on failure.
uint8_t* page_allocate(size_t size);
void page_free(uint8_t* page);
