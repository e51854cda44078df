// Feeds arbitrary bytes to the LZW decoder, and checks that the encoder's
// output for the same bytes decodes back to them.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gfx/data/builtin_data.h"
#include "gfx/data/lzw_encode.h"

namespace {

// Exact-size copies so that the sanitizer sees any read past the end.
int decode(const std::vector<uint8_t>& stream, std::vector<uint8_t>* out, int capacity) {
  out->assign(static_cast<size_t>(capacity), 0);
  int size = capacity;
  const int result = lzw_decode(stream.empty() ? nullptr : stream.data(),
                                static_cast<int>(stream.size()), out->data(), &size);
  if (size < 0 || size > capacity) std::abort();
  out->resize(static_cast<size_t>(size));
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t length) {
  if (length > (1u << 20)) return 0;

  // The first two bytes choose the capacity, so that running out of room
  // is explored as much as running out of input.
  if (length >= 2) {
    const int capacity = data[0] | (data[1] << 8);
    const std::vector<uint8_t> stream(data + 2, data + length);
    std::vector<uint8_t> first, second;
    const int r1 = decode(stream, &first, capacity);
    const int r2 = decode(stream, &second, capacity);
    if (r1 != r2 || first != second) std::abort();  // no state carried between decodes
  }

  if (length > 0) {
    const LzwEncoded packed = lzw_encode(data, static_cast<int>(length));
    std::vector<uint8_t> back;
    if (decode(packed.bytes, &back, static_cast<int>(length)) != 0) std::abort();
    if (back.size() != length || std::memcmp(back.data(), data, length) != 0) std::abort();
  }
  return 0;
}
